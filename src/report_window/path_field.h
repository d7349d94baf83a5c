#pragma once

#include <QLineEdit>
#include <QStringList>

#include <functional>

class QMimeData;

// A line for a path, typed, chosen or dropped: files and folders dropped
// from the file manager on it are offered to `taken` rather than pasted as
// text.
class PathField : public QLineEdit
{
public:
    using Taken = std::function<void(const QStringList& paths)>;
    PathField(const QString& name, Taken taken, QWidget* parent);

    // The local files and folders a drop carries; none when it carries
    // anything else.
    static QStringList droppedPaths(const QMimeData* data);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    Taken taken_;
};
