#include "test_system.h"

#include <csignal>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

namespace
{

int errorOf(FileFault fault)
{
    switch (fault) {
    case FileFault::MissingFolder:
    case FileFault::MissingFile:
        return ENOENT;
    case FileFault::IsAFolder:
        return EISDIR;
    case FileFault::UnderAFile:
        return ENOTDIR;
    case FileFault::NameTooLong:
        return ENAMETOOLONG;
    case FileFault::ReadOnly:
        return EACCES;
    case FileFault::FullDisk:
        return ENOSPC;
    case FileFault::TooLarge:
        return EFBIG;
    }
    return 0;
}

} // namespace

std::string systemReason(FileFault fault)
{
    return std::strerror(errorOf(fault));
}

testing::AssertionResult isSystemReason(const std::string& reason, FileFault fault)
{
    if (reason == systemReason(fault)) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << "\"" << reason << "\", not \"" << systemReason(fault) << "\"";
}

HeldLock::HeldLock(const FilePath& path) : handle_(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
{
    EXPECT_EQ(::flock(static_cast<int>(handle_), LOCK_EX | LOCK_NB), 0) << path;
}

HeldLock::~HeldLock()
{
    ::close(static_cast<int>(handle_));
}

const char* const kNoFullDisk = nullptr;
const char* const kNoFileSizeLimit = nullptr;
const char* const kNoFolderRemoval = nullptr;

void placeOnFullDisk(const FilePath& path)
{
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    std::filesystem::create_symlink("/dev/full", path);
}

// Past the limit a write fails with EFBIG, once SIGXFSZ no longer ends the
// process.
FileSizeLimit::FileSizeLimit(std::uintmax_t bytes)
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    previous_ = limit.rlim_cur;
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(previous_);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler_);
}

bool hiddenFromTheStudent(const FilePath& path)
{
    return std::filesystem::exists(path) && path.filename().string().starts_with('.');
}
