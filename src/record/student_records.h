#pragma once

#include "record/file_layer.h"
#include "record/records.h"

#include <QDate>
#include <QString>

#include <initializer_list>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QLockFile;

// Characters that cannot stand in a file name on Windows; control characters
// are refused as well.
inline constexpr char16_t kForbiddenNameCharacters[] = u"\\/:*?\"<>|";
bool isSafeFileName(const QString& name);

// Linux and macOS allow 255 bytes of UTF-8 in one file name, Windows 255
// UTF-16 units; a name within the bytes is within the units too.
inline constexpr qsizetype kLongestFileNameBytes = 255;
// Whether every file name the program makes from this name is short enough.
bool fitsInFileNames(const QString& fullName);
// The most bytes of UTF-8 a name may have.
qsizetype longestFullNameBytes();

struct RecordPaths {
    QString master;
    QString send;
    QString notes;
};

// The file that marks a student's folder as taken by a run; hidden, and with
// an ending that no record file has.
QString lockFileName(const QString& fullName);

// The three record files: blanks of the name become underscores, nothing is
// trimmed, and the folder is joined with one separator whatever it ends with.
RecordPaths composeRecordPaths(const QString& folder, const QString& fullName, QDate today,
                               QChar separator);

// Whose file a file name is and which of the three, underscores back to
// blanks; nothing for a name composeRecordPaths does not give.
struct RecordFileName {
    FileRole role;
    QString fullName;
};
std::optional<RecordFileName> recordFileName(const QString& fileName);

// A path as the system names it, and back.
FilePath filePath(const QString& path);
QString pathText(const FilePath& path);

// A failed write or read, as the student is told of it: the file and the
// system's reason.
QString fileFailureMessage(const FileFailure& failure);
QString fileReadFailureMessage(const FileFailure& failure);

// One student's record files in one folder: where they are, appending runs of
// records to them with the undo of a failed click, and reading them back.
class StudentRecords
{
public:
    explicit StudentRecords(FileLayer& files = systemFiles());
    ~StudentRecords();

    // Two runs for one student and folder would interleave their records, so
    // a run takes the folder, with a hidden lock file, before it writes there.
    // A folder that cannot hold the lock (missing, read-only) is not taken:
    // writing to it fails and is reported as for any record file.
    enum class Claim { taken, heldByAnotherRun, notTaken };

    // The one place the paths are set, at start-up and when the folder is
    // chosen again; the folder chosen before is given up.
    Claim setFolder(const QString& folder, const QString& fullName, QDate today);
    const QString& path(FileRole role) const;

    // What the files held before a click, to put back if the click fails.
    using Marks = std::vector<FileMark>;
    Marks mark(std::initializer_list<FileRole> roles) const;

    // Appends each run in order. When one fails, every marked file is put back
    // as it was and the failure is returned: the message for the student and
    // the system's reason alone.
    using Run = std::pair<FileRole, std::string>;
    struct Failure {
        QString message;
        QString reason;
    };
    std::optional<Failure> append(const std::vector<Run>& runs, const Marks& before);

    // A file's bytes, or the message for the student when it cannot be read.
    struct Read {
        std::string bytes;
        std::optional<QString> failure;
    };
    Read read(const QString& path) const;

    // Rewrites a file whole; the message for the student when that fails.
    std::optional<QString> replace(const QString& path, std::string_view bytes);

private:
    FileLayer& files_;
    RecordPaths paths_;
    std::unique_ptr<QLockFile> lock_;
};
