#pragma once

#include "record/file_layer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

// What the tests expect of the system they run on, and the faults they make
// there; one source file each (system_posix.cpp, system_win32.cpp).

// Why a record file cannot be opened or written; each system has its own
// words for it.
enum class FileFault {
    MissingFolder,
    IsAFolder,
    UnderAFile,
    NameTooLong,
    ReadOnly,
    MissingFile,
    FullDisk,
    TooLarge
};

// Whether `reason` is what this system says for the fault.
testing::AssertionResult isSystemReason(const std::string& reason, FileFault fault);

// What this system says for the fault, as the program shows it (without the
// closing period).
std::string systemReason(FileFault fault);

// Holds a file as a running program holds its lock file, until destroyed.
class HeldLock
{
public:
    explicit HeldLock(const FilePath& path);
    ~HeldLock();
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;

private:
    std::intptr_t handle_;
};

// Whether the system's file browser hides the file: on Windows by its hidden
// attribute, elsewhere by the dot its name begins with.
bool hiddenFromTheStudent(const FilePath& path);

// Why a test cannot make its fault on this system, or null where it can:
// Windows has no device that is always full to link a file to, no limit on
// the size of the files a process writes, and keeps a folder while a file in
// it is open (as a run keeps its lock file open).
extern const char* const kNoFullDisk;
extern const char* const kNoFileSizeLimit;
extern const char* const kNoFolderRemoval;

// Makes `path` a link to a disk that is always full (unless kNoFullDisk).
void placeOnFullDisk(const FilePath& path);

// Limits the size of every file the process writes, while it lives (unless
// kNoFileSizeLimit).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(std::uintmax_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    std::uintmax_t previous_ = 0;
    void (*previousHandler_)(int) = nullptr;
};
