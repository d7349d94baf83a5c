#include "q_a_template_.h"

#include "record_file.h"

#include <QFile>

namespace
{

QString failureMessage(const QString& doing, const FileFailure& failure)
{
    return QStringLiteral("Could not %1 the file %2: %3.")
        .arg(doing, QFile::decodeName(failure.path.c_str()),
             QString::fromLocal8Bit(failure.reason));
}

} // namespace

QString fileFailureMessage(const FileFailure& failure)
{
    return failureMessage(QStringLiteral("write to"), failure);
}

QString fileReadFailureMessage(const FileFailure& failure)
{
    return failureMessage(QStringLiteral("read"), failure);
}

std::string q_a_template_::filePath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

std::string q_a_template_::recordBytes(const QStringList& lines)
{
    std::vector<std::string> encoded;
    encoded.reserve(static_cast<std::size_t>(lines.size()));
    for (const QString& line : lines) {
        encoded.push_back(toWindows1252(line.toStdString()));
    }
    return recordLines(encoded);
}
