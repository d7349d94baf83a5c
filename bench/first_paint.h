#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QWidget>

// Ends the event loop once the widget has been painted for the first time.
// The exit is queued so that the paint under way, children included, finishes.
class ExitOnFirstPaint : public QObject
{
public:
    explicit ExitOnFirstPaint(QWidget* widget) : QObject(widget)
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [] { QCoreApplication::exit(0); },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool painted_ = false;
};
