#include "record/student_records.h"

#include <QDir>
#include <QLockFile>
#include <QStringList>

#include <algorithm>
#include <variant>

bool isSafeFileName(const QString& name)
{
    const QStringView forbidden(kForbiddenNameCharacters);
    for (const QChar c : name) {
        if (c.unicode() < 32 || c.unicode() == 127 || forbidden.contains(c)) {
            return false;
        }
    }
    return true;
}

namespace
{

const QString kMasterPrefix = QStringLiteral("masterFile_");
const QString kSendPrefix = QStringLiteral("send_");
const QString kNotesPrefix = QStringLiteral("notes_");
const QString kExtension = QStringLiteral(".txt");
constexpr qsizetype kMonthDayLength = 4;

QString nameInFiles(const QString& fullName)
{
    QString name = fullName;
    return name.replace(u' ', u'_');
}

// Every name the program gives a file in the folder; QLockFile takes over a
// stale lock through a second file named after the lock.
QStringList folderFileNames(const QString& fullName, QDate today)
{
    const QString name = nameInFiles(fullName);
    const QString lock = lockFileName(fullName);
    return {kMasterPrefix + name + kExtension,
            kSendPrefix + today.toString(QStringLiteral("MMdd")) + name + kExtension,
            kNotesPrefix + name + kExtension, lock, lock + QStringLiteral(".rmlock")};
}

qsizetype longestFileNameBytes(const QString& fullName)
{
    qsizetype longest = 0;
    for (const QString& name : folderFileNames(fullName, QDate(2000, 1, 1))) {
        longest = std::max(longest, name.toUtf8().size());
    }
    return longest;
}

} // namespace

bool fitsInFileNames(const QString& fullName)
{
    return longestFileNameBytes(fullName) <= kLongestFileNameBytes;
}

qsizetype longestFullNameBytes()
{
    return kLongestFileNameBytes - longestFileNameBytes(QString());
}

QString lockFileName(const QString& fullName)
{
    return QStringLiteral(".qa-tutor-") + nameInFiles(fullName) + QStringLiteral(".lock");
}

RecordPaths composeRecordPaths(const QString& folder, const QString& fullName, QDate today,
                               QChar separator)
{
    const QStringList names = folderFileNames(fullName, today);
    return {folder + separator + names[0], folder + separator + names[1],
            folder + separator + names[2]};
}

std::optional<RecordFileName> recordFileName(const QString& fileName)
{
    if (!fileName.endsWith(kExtension)) {
        return std::nullopt;
    }
    const QStringView stem = QStringView(fileName).chopped(kExtension.size());
    std::optional<RecordFileName> found;
    if (stem.startsWith(kSendPrefix)) {
        const QStringView monthDay = stem.mid(kSendPrefix.size(), kMonthDayLength);
        const bool digits =
            monthDay.size() == kMonthDayLength &&
            std::all_of(monthDay.begin(), monthDay.end(), [](QChar c) { return c.isDigit(); });
        if (digits) {
            found = {FileRole::send, stem.mid(kSendPrefix.size() + kMonthDayLength).toString()};
        }
    } else if (stem.startsWith(kMasterPrefix)) {
        found = {FileRole::master, stem.mid(kMasterPrefix.size()).toString()};
    } else if (stem.startsWith(kNotesPrefix)) {
        found = {FileRole::notes, stem.mid(kNotesPrefix.size()).toString()};
    }
    if (!found || found->fullName.isEmpty()) {
        return std::nullopt;
    }
    found->fullName.replace(u'_', u' ');
    return found;
}

// Through UTF-8, which the path converts to the system's own form; a lone
// surrogate becomes a replacement character instead of an exception.
FilePath filePath(const QString& path)
{
    const QByteArray utf8 = path.toUtf8();
    return FilePath(std::u8string(reinterpret_cast<const char8_t*>(utf8.constData()),
                                  static_cast<std::size_t>(utf8.size())));
}

QString pathText(const FilePath& path)
{
    const std::u8string utf8 = path.u8string();
    return QString::fromUtf8(reinterpret_cast<const char*>(utf8.data()),
                             static_cast<qsizetype>(utf8.size()));
}

namespace
{

QString failureMessage(const QString& doing, const FileFailure& failure)
{
    return QStringLiteral("Could not %1 the file %2: %3.")
        .arg(doing, pathText(failure.path), QString::fromStdString(failure.reason));
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

StudentRecords::StudentRecords(FileLayer& files) : files_(files) {}

StudentRecords::~StudentRecords() = default;

StudentRecords::Claim StudentRecords::setFolder(const QString& folder, const QString& fullName,
                                                QDate today)
{
    lock_.reset();
    paths_ = composeRecordPaths(folder, fullName, today, QDir::separator());
    const QString lockPath = folder + QDir::separator() + lockFileName(fullName);
    auto lock = std::make_unique<QLockFile>(lockPath);
    // A run may last for hours without touching its lock: only a lock whose
    // process is gone is stale.
    lock->setStaleLockTime(0);
    bool taken = lock->tryLock(0);
    // A run killed as it created its lock, or the stale lock's guard while
    // taking one over, leaves an empty file that names no process.
    if (!taken && lock->error() == QLockFile::LockFailedError) {
        const bool lockTorn = files_.removeTornLock(filePath(lockPath));
        const bool guardTorn =
            files_.removeTornLock(filePath(lockPath + QStringLiteral(".rmlock")));
        taken = (lockTorn || guardTorn) && lock->tryLock(0);
    }
    if (taken) {
        files_.hideLock(filePath(lockPath));
        lock_ = std::move(lock);
        return Claim::taken;
    }
    return lock->error() == QLockFile::LockFailedError ? Claim::heldByAnotherRun : Claim::notTaken;
}

const QString& StudentRecords::path(FileRole role) const
{
    switch (role) {
    case FileRole::master:
        return paths_.master;
    case FileRole::send:
        return paths_.send;
    case FileRole::notes:
        break;
    }
    return paths_.notes;
}

StudentRecords::Marks StudentRecords::mark(std::initializer_list<FileRole> roles) const
{
    std::vector<FilePath> paths;
    for (const FileRole role : roles) {
        paths.push_back(filePath(path(role)));
    }
    return files_.markFiles(paths);
}

std::optional<StudentRecords::Failure> StudentRecords::append(const std::vector<Run>& runs,
                                                              const Marks& before)
{
    std::vector<FileAppend> appends;
    appends.reserve(runs.size());
    for (const auto& [role, bytes] : runs) {
        appends.push_back({filePath(path(role)), bytes});
    }
    const auto failure = files_.appendRuns(appends);
    if (!failure) {
        return std::nullopt;
    }
    files_.restoreFiles(before);
    return Failure{fileFailureMessage(*failure), QString::fromStdString(failure->reason)};
}

StudentRecords::Read StudentRecords::read(const QString& path) const
{
    auto result = files_.readFile(filePath(path));
    if (const auto* failure = std::get_if<FileFailure>(&result)) {
        return {{}, fileReadFailureMessage(*failure)};
    }
    return {std::move(std::get<std::string>(result)), std::nullopt};
}

std::optional<QString> StudentRecords::replace(const QString& path, std::string_view bytes)
{
    if (const auto failure = files_.replaceFile(filePath(path), bytes)) {
        return fileFailureMessage(*failure);
    }
    return std::nullopt;
}
