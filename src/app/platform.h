#pragma once

#include <QDateTime>
#include <QString>

class QWidget;

// Everything the window asks of the world outside the program. The real one
// shows dialogs and reads the clock; tests hand the window a scripted one.
class Platform
{
public:
    virtual ~Platform() = default;

    // A modal prompt with a message, an entry field, OK and Cancel. The typed
    // text on OK; the empty text on Cancel or close.
    virtual QString prompt(QWidget* parent, const QString& message) = 0;
    // A modal message box for a failure the program reports.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // The local date and time of day.
    virtual QDateTime now() = 0;
    // Asks the event loop to stop; the window has already closed itself.
    virtual void endProgram() = 0;
    virtual void beep() = 0;
};
