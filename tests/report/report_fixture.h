#pragma once

// What the report's tests share: the class writer, a folder of files and a
// run of the report with its outputs.
#include "class_files.h"

#include "report/report_run.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sstream>
#include <string>

namespace
{

using Rating = ResponseTail::Rating;

inline const ClassWriter& writer()
{
    static const ClassWriter w;
    return w;
}

const QDate kDay(2026, 4, 16);

inline const ClassWriter::Question& q(const char* assignment, int i)
{
    return writer().questions(assignment)[static_cast<std::size_t>(i)];
}

// Question i of an assignment answered "x" with `entry` shown, then rated.
inline std::string answered(FileRole role, const char* assignment, int i, const QString& entry,
                            Rating rating, const QString& reply = "2")
{
    return ClassWriter::head(role, QTime(9, 0, i), assignment, q(assignment, i).number, entry,
                             "x") +
           ClassWriter::tail(rating, reply);
}

struct Folder {
    QTemporaryDir dir;
    std::string path(const QString& name) const { return dir.filePath(name).toStdString(); }
    void write(const QString& name, const std::string& bytes) const
    {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    QByteArray read(const QString& name) const
    {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

struct Outcome {
    int status = 0;
    std::string out;
    std::string err;
};

inline Outcome report(const ReportOptions& options)
{
    std::ostringstream out;
    std::ostringstream err;
    const int status = runReport(options, out, err);
    return {status, out.str(), err.str()};
}

} // namespace
