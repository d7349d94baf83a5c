#pragma once

#include <QObject>

// Enter presses the push button that has the focus, as Space does and as it
// does on Windows and in the student's program; a Qt button outside a dialog
// takes only Space. Installed on each button of the window.
class EnterClicks : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
