#include "report_window/staged_outputs.h"

#include "report_window/system.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace
{

fs::path systemPath(const QString& path)
{
    return fs::path(path.toStdU16String());
}

} // namespace

StagedOutputs::~StagedOutputs()
{
    discard();
}

QString StagedOutputs::open(const QString& folder)
{
    discard();
    folder_ = QDir::toNativeSeparators(QDir::cleanPath(folder));
    // Its name begins with a dot, hidden where that hides it, and is new:
    // two windows may run into one folder.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = QStringLiteral(".qa-tutor-report-%1")
                                 .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
        const QString path = folder_ + QDir::separator() + name;
        std::error_code error;
        if (fs::create_directory(systemPath(path), error)) {
            staging_ = path;
            return {};
        }
        if (error) {
            return folder_ + QStringLiteral(": ") + QString::fromStdString(error.message());
        }
    }
    return folder_ + QStringLiteral(": no new folder could be made in it");
}

QString StagedOutputs::staged(const QString& name) const
{
    return staging_ + QDir::separator() + name;
}

QString StagedOutputs::shownPath(const QString& text) const
{
    if (staging_.isEmpty()) {
        return text;
    }
    return QString(text).replace(staging_ + QDir::separator(), folder_ + QDir::separator());
}

StagedOutputs::Moved StagedOutputs::moveIntoPlace(const QStringList& names)
{
    Moved moved;
    for (const QString& name : names) {
        const QString from = staged(name);
        if (!QFileInfo::exists(from)) {
            continue;
        }
        const QString to = folder_ + QDir::separator() + name;
        if (const QString reason = replaceFile(from, to); !reason.isEmpty()) {
            moved.failures << to + QStringLiteral(": ") + reason;
        } else {
            moved.paths << to;
        }
    }
    discard();
    return moved;
}

void StagedOutputs::discard()
{
    if (!staging_.isEmpty()) {
        std::error_code ignored;
        fs::remove_all(systemPath(staging_), ignored);
        staging_.clear();
    }
}
