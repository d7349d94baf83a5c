#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

class QKeyEvent;
class QWidget;

// A key acts in the window where it went down. Held there, it repeats there
// as usual; its repeats in a window that opened since (a prompt opened by the
// key's own press, or at start-up by a key held since before) neither type
// nor press a button, and a fresh press works at once. A repeat is told as
// Qt flags it, or as the system tells it where Qt does not (system.h).
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
    // Where each key last went down.
    QHash<int, QPointer<QWidget>> wentDownIn_;
};
