#include "app/caption_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace
{

constexpr int kTextFlags = Qt::AlignCenter | Qt::TextWordWrap;
constexpr double kSmallestPointSize = 6.0;
constexpr int kMargin = 2;

QRect captionArea(const QRect& button)
{
    return button.adjusted(kMargin, kMargin, -kMargin, -kMargin);
}

} // namespace

CaptionButton::CaptionButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
}

const QFont& CaptionButton::captionFont()
{
    if (fittedFor_ == size() && fittedText_ == text() && fittedFrom_ == font()) {
        return fitted_;
    }
    const QRect area = captionArea(rect());
    QFont caption = font();
    for (double points = caption.pointSizeF(); points > kSmallestPointSize; points -= 0.5) {
        caption.setPointSizeF(points);
        if (area.contains(QFontMetrics(caption).boundingRect(area, kTextFlags, text()))) {
            break;
        }
    }
    fitted_ = caption;
    fittedFor_ = size();
    fittedText_ = text();
    fittedFrom_ = font();
    return fitted_;
}

void CaptionButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    painter.setFont(captionFont());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(captionArea(rect()), kTextFlags, text());
}
