#include "report_window/enter_clicks.h"

#include <QAbstractButton>
#include <QKeyEvent>

bool EnterClicks::eventFilter(QObject* watched, QEvent* event)
{
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (button == nullptr || event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!enter || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        return false;
    }
    // Enter held down presses the button once.
    if (!key->isAutoRepeat()) {
        button->click();
    }
    return true;
}
