#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// Record files are appended to and never rewritten, so what a student typed
// survives a crash or a full disk. Paths are the system's own (wide on
// Windows), so no character of a name is lost on the way to the file.
using FilePath = std::filesystem::path;

struct FileAppend {
    FilePath path;
    std::string bytes;
};

struct FileFailure {
    FilePath path;
    std::string reason; // the system's own message, UTF-8
};

// What files held before a change of several runs, so that a change that
// fails part way can be undone whole.
struct FileMark {
    FilePath path;
    std::optional<std::uint64_t> size; // none: the file did not exist
};

class FileLayer
{
public:
    virtual ~FileLayer() = default;

    // Opens every file for appending (creating a missing one) before writing
    // to any, so a file that cannot be opened leaves every file untouched (a
    // file this call created is removed again). Then, in order, appends each
    // run of bytes in one write and flushes it to the disk itself. A run that
    // cannot be written whole is cut back so the file keeps exactly its
    // earlier contents, and no later run is written; the runs before it stay
    // written. Returns that failure, or nothing. Closes every file before
    // returning; the folder of a file it created is flushed too. Empty bytes:
    // open only.
    virtual std::optional<FileFailure> appendRuns(const std::vector<FileAppend>& runs) = 0;

    // Creates or empties the file and writes the bytes, flushed. (For a query
    // file that is rewritten whole.)
    virtual std::optional<FileFailure> replaceFile(const FilePath& path,
                                                   std::string_view bytes) = 0;

    // The whole file's bytes; a failure (missing file, a folder, unreadable).
    virtual std::variant<std::string, FileFailure> readFile(const FilePath& path) = 0;

    virtual std::vector<FileMark> markFiles(const std::vector<FilePath>& paths) = 0;

    // Cuts each file back to its marked size (flushed), and removes one that
    // did not exist before. Best effort: a file that cannot be reached stays
    // as it is.
    virtual void restoreFiles(const std::vector<FileMark>& marks) = 0;

    // Removes a lock file that a run killed while creating it left empty, so
    // that it names no process and would never count as stale. Removes only a
    // file still empty that no running process holds: a lock's holder keeps it
    // locked (flock) or, on Windows, open without delete sharing. True when
    // the file was removed.
    virtual bool removeTornLock(const FilePath& path) = 0;

    // Hides a lock file from the student's file browser, where it would lie
    // beside the files the student sends. Its name begins with a dot, which
    // hides it on Linux and macOS; Windows hides a file by its attribute,
    // set here. False when the file cannot be hidden.
    virtual bool hideLock(const FilePath& path) = 0;
};

// The running system's files.
FileLayer& systemFiles();
