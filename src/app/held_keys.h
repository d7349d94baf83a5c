#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

class QKeyEvent;
class QWidget;

// A key acts in the window where it went down. Held there, it repeats there
// as usual; its repeats in a window that opened since (a prompt opened by the
// key's own press, or at start-up by a key held since before) neither type
// nor press a button, and a fresh press works at once. X repeats a held key
// as a release and a press with one time stamp, which Qt flags as a repeat
// only when both have arrived together; such a pair is told here as it comes.
class HeldKeys : public QObject
{
    Q_OBJECT
public:
    // Watches every key of the application while it lives.
    HeldKeys();
    ~HeldKeys() override;
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool deliverRepeat(QObject* watched, const QKeyEvent& unflagged);

    struct Key {
        QPointer<QWidget> window; // where it last went down
        quint64 releasedAt = 0;
    };
    QHash<int, Key> keys_;
};
