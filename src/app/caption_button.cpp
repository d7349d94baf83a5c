#include "app/caption_button.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace
{

constexpr int kButtonTextFlags = Qt::AlignCenter | Qt::TextWordWrap;
constexpr int kButtonMargin = 2;

QRect captionArea(const QWidget& button)
{
    return shownPart(button).adjusted(kButtonMargin, kButtonMargin, -kButtonMargin, -kButtonMargin);
}

} // namespace

CaptionButton::CaptionButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
}

const QFont& CaptionButton::captionFont() const
{
    return fit_.font(font(), captionArea(*this), kButtonTextFlags, text());
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
    painter.drawText(captionArea(*this), kButtonTextFlags, text());
}

// Students who work with the keyboard expect Enter to press the focused
// button, as it does on Windows; a Qt button outside a dialog takes only Space.
void CaptionButton::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QPushButton::keyPressEvent(event);
        return;
    }
    event->accept();
    // Enter held down would run through the questions to the end of the program.
    if (!event->isAutoRepeat()) {
        click();
    }
}

CaptionLabel::CaptionLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {}

QRect CaptionLabel::captionArea() const
{
    return contentsRect() & shownPart(*this);
}

int CaptionLabel::captionFlags() const
{
    return static_cast<int>(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
}

const QFont& CaptionLabel::captionFont() const
{
    return fit_.font(font(), captionArea(), captionFlags(), text());
}

void CaptionLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(captionFont());
    style()->drawItemText(&painter, captionArea(), captionFlags(), palette(), isEnabled(), text(),
                          foregroundRole());
}
