#include "report_window/path_field.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

PathField::PathField(const QString& name, Taken taken, QWidget* parent)
    : QLineEdit(parent), taken_(std::move(taken))
{
    setObjectName(name);
}

QStringList PathField::droppedPaths(const QMimeData* data)
{
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) {
            return {};
        }
        paths << url.toLocalFile();
    }
    return paths;
}

void PathField::dragEnterEvent(QDragEnterEvent* event)
{
    if (droppedPaths(event->mimeData()).isEmpty()) {
        QLineEdit::dragEnterEvent(event);
        return;
    }
    event->acceptProposedAction();
}

void PathField::dragMoveEvent(QDragMoveEvent* event)
{
    if (droppedPaths(event->mimeData()).isEmpty()) {
        QLineEdit::dragMoveEvent(event);
        return;
    }
    event->acceptProposedAction();
}

void PathField::dropEvent(QDropEvent* event)
{
    const QStringList paths = droppedPaths(event->mimeData());
    if (paths.isEmpty()) {
        QLineEdit::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    taken_(paths);
}
