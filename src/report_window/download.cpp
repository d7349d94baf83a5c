#include "report_window/download.h"

#include "report/input_names.h"

#include <QDir>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace
{

const QString kNotADownload = QStringLiteral(
    ": not a course site's download: expected a ZIP archive (.zip), a folder or send files "
    "(send_MMDDName.txt)");

QString withReason(const QString& path, const std::error_code& error)
{
    return QDir::toNativeSeparators(path) + QStringLiteral(": ") +
           QString::fromStdString(error.message());
}

// Why this one path is not part of a download; empty when it is.
QString pathProblem(const QString& path)
{
    const fs::path system(path.toStdU16String());
    std::error_code error;
    const fs::file_status status = fs::status(system, error);
    if (error) {
        return withReason(path, error);
    }
    if (fs::is_directory(status)) {
        // A folder that cannot be listed is told now, not as nothing found.
        const fs::directory_iterator listing(system, error);
        return error ? withReason(path, error) : QString();
    }
    const QString name = QFileInfo(path).fileName();
    if (name.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive)) {
        return {};
    }
    const std::string utf8 = name.toStdString();
    if (inputName(utf8)) {
        return {};
    }
    const FoundFile found = foundFile(utf8);
    if (!found.skipped.empty()) {
        return QDir::toNativeSeparators(path) + QStringLiteral(": ") +
               QString::fromUtf8(found.skipped.data(),
                                 static_cast<qsizetype>(found.skipped.size()));
    }
    return QDir::toNativeSeparators(path) + kNotADownload;
}

} // namespace

QString downloadText(const QStringList& paths)
{
    if (paths.size() == 1) {
        return QDir::toNativeSeparators(paths.front());
    }
    QStringList quoted;
    for (const QString& path : paths) {
        quoted << u'"' + QDir::toNativeSeparators(path) + u'"';
    }
    return quoted.join(u' ');
}

QStringList downloadPaths(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (!trimmed.startsWith(u'"')) {
        return trimmed.isEmpty() ? QStringList() : QStringList{trimmed};
    }
    QStringList paths;
    for (qsizetype at = 0; (at = trimmed.indexOf(u'"', at)) >= 0;) {
        const qsizetype end = trimmed.indexOf(u'"', at + 1);
        if (end < 0) {
            paths << trimmed.mid(at + 1);
            break;
        }
        paths << trimmed.mid(at + 1, end - at - 1);
        at = end + 1;
    }
    return paths;
}

QString downloadProblem(const QStringList& paths)
{
    if (paths.isEmpty()) {
        return QStringLiteral("Choose the course site's download first: a ZIP archive, a folder "
                              "or send files.");
    }
    for (const QString& path : paths) {
        if (const QString problem = pathProblem(path); !problem.isEmpty()) {
            return problem;
        }
    }
    return {};
}

QString besideTheDownload(const QStringList& paths)
{
    if (paths.isEmpty()) {
        return {};
    }
    const QFileInfo first(QDir::cleanPath(paths.front()));
    return QDir::toNativeSeparators(first.absolutePath());
}

QStringList outputNames(const QStringList& paths)
{
    QString base = QStringLiteral("report");
    if (paths.size() == 1) {
        const QFileInfo info(QDir::cleanPath(paths.front()));
        base = info.isDir() ? info.fileName() : info.completeBaseName();
    }
    if (base.isEmpty()) {
        base = QStringLiteral("report");
    }
    return {base + QStringLiteral(".html"), base + QStringLiteral(".xlsx"),
            base + QStringLiteral("-grades.csv")};
}
