#include "system_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

// As X sends it: a release and a press with one time stamp.
void sendUnflaggedRepeat(QWidget* to, Qt::Key key, Qt::KeyboardModifiers modifiers,
                         const QString& text)
{
    static quint64 clock = 1000;
    ++clock;
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    release.setTimestamp(clock);
    QApplication::sendEvent(to, &release);
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    press.setTimestamp(clock);
    QApplication::sendEvent(to, &press);
}

// X sends a fresh press alone, which Qt never flags.
void sendFreshPress(QWidget* to, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(to, &press);
}
