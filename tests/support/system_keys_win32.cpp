#include "system_keys.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <windows.h>

namespace
{

quint32 virtualKey(Qt::Key key)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return static_cast<quint32>(key); // '0' to '9', as Windows numbers them
    }
    return key == Qt::Key_Space ? VK_SPACE : VK_RETURN;
}

// The key-down message, then the press Qt makes of it.
void sendKeyDown(QWidget* to, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text,
                 bool alreadyDown, bool flagged)
{
    MSG message{};
    message.message = WM_KEYDOWN;
    message.wParam = virtualKey(key);
    message.lParam = 1 | (alreadyDown ? LPARAM{1} << 30 : 0);
    qintptr result = 0;
    QAbstractEventDispatcher::instance()->filterNativeEvent(
        QByteArrayLiteral("windows_generic_MSG"), &message, &result);
    QKeyEvent press(QEvent::KeyPress, key, modifiers, 0, virtualKey(key), 0, text, flagged);
    QApplication::sendEvent(to, &press);
}

} // namespace

// A key held since before the program saw it go down: a key-down message
// marked as of a key already down, which Qt passes on as a fresh press.
void sendUnflaggedRepeat(QWidget* to, Qt::Key key, Qt::KeyboardModifiers modifiers,
                         const QString& text)
{
    sendKeyDown(to, key, modifiers, text, true, false);
}

// After the key was let go while no window of the program had the focus, Qt
// still counts it as down and flags the next press as a repeat.
void sendFreshPress(QWidget* to, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    sendKeyDown(to, key, modifiers, text, false, true);
}
