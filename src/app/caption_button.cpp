#include "caption_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace
{

constexpr int kTextFlags = Qt::AlignCenter | Qt::TextWordWrap;
constexpr double kSmallestPointSize = 6.0;
constexpr int kMargin = 2;

} // namespace

CaptionButton::CaptionButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
}

void CaptionButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    const QRect area = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    QFont caption = font();
    for (double size = caption.pointSizeF(); size > kSmallestPointSize; size -= 0.5) {
        caption.setPointSizeF(size);
        const QRect needed = QFontMetrics(caption).boundingRect(area, kTextFlags, text());
        if (area.contains(needed)) {
            break;
        }
    }
    painter.setFont(caption);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(area, kTextFlags, text());
}
