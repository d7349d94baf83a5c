#include "app/held_keys.h"

#include "app/system.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

HeldKeys::HeldKeys()
{
    watchSystemKeys();
    QCoreApplication::instance()->installEventFilter(this);
}

HeldKeys::~HeldKeys()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

namespace
{

// A press the system told other than Qt goes on as the system told it, so
// that a button, which ignores repeats, ignores a repeat and takes a press.
void deliverAs(QObject* receiver, const QKeyEvent& told, bool repeat)
{
    QKeyEvent corrected(told.type(), told.key(), told.modifiers(), told.nativeScanCode(),
                        told.nativeVirtualKey(), told.nativeModifiers(), told.text(), repeat,
                        told.count(), told.device());
    corrected.setTimestamp(told.timestamp());
    QCoreApplication::sendEvent(receiver, &corrected);
}

} // namespace

bool HeldKeys::eventFilter(QObject* watched, QEvent* event)
{
    const bool press = event->type() == QEvent::KeyPress;
    if ((!press && event->type() != QEvent::KeyRelease) || !watched->isWidgetType()) {
        return false;
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    const bool repeat = systemRepeat(*key).value_or(key->isAutoRepeat());
    QWidget* window = static_cast<QWidget*>(watched)->window();
    QPointer<QWidget>& wentDownIn = wentDownIn_[key->key()];
    if (press && !repeat) {
        wentDownIn = window;
    } else if (wentDownIn != window) {
        return true;
    }
    if (repeat != key->isAutoRepeat()) {
        deliverAs(watched, *key, repeat);
        return true;
    }
    return false;
}
