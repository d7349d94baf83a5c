#include "app/held_keys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

HeldKeys::HeldKeys()
{
    QCoreApplication::instance()->installEventFilter(this);
}

HeldKeys::~HeldKeys()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool HeldKeys::eventFilter(QObject* watched, QEvent* event)
{
    const bool press = event->type() == QEvent::KeyPress;
    if ((!press && event->type() != QEvent::KeyRelease) || !watched->isWidgetType()) {
        return false;
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    QWidget* window = static_cast<QWidget*>(watched)->window();
    Key& state = keys_[key->key()];
    const bool pairedRepeat =
        press && key->timestamp() != 0 && key->timestamp() == state.releasedAt;
    if (!press) {
        state.releasedAt = key->timestamp();
    }
    if (press && !key->isAutoRepeat() && !pairedRepeat) {
        state.window = window;
        return false;
    }
    if (state.window != window) {
        return true;
    }
    return pairedRepeat && !key->isAutoRepeat() && deliverRepeat(watched, *key);
}

// The press of X's pair goes on as the repeat it is, so a button that ignores
// repeats ignores it too.
bool HeldKeys::deliverRepeat(QObject* watched, const QKeyEvent& unflagged)
{
    QKeyEvent repeat(unflagged.type(), unflagged.key(), unflagged.modifiers(),
                     unflagged.nativeScanCode(), unflagged.nativeVirtualKey(),
                     unflagged.nativeModifiers(), unflagged.text(), true, unflagged.count(),
                     unflagged.device());
    repeat.setTimestamp(unflagged.timestamp());
    QCoreApplication::sendEvent(watched, &repeat);
    return true;
}
