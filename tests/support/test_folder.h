#pragma once

#include "record/student_records.h"
#include "test_system.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A name in a folder as the program joins them: with the system's separator.
inline QString inFolder(const QString& folder, const QString& name)
{
    return folder + QDir::separator() + name;
}

// The system's words for a fault, as the program's messages give them.
inline QString reasonFor(FileFault fault)
{
    return QString::fromStdString(systemReason(fault));
}

// A fresh folder for one test, removed with everything in it afterwards.
class TestFolder
{
public:
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

    static QByteArray read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) {
            f.write(bytes);
        }
    }

private:
    QTemporaryDir dir_;
};
