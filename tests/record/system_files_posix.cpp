#include "record_files_fixture.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

HeldLock::HeldLock(const FilePath& path) : handle_(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
{
    EXPECT_EQ(::flock(static_cast<int>(handle_), LOCK_EX | LOCK_NB), 0) << path;
}

HeldLock::~HeldLock()
{
    ::close(static_cast<int>(handle_));
}

testing::AssertionResult isSystemReason(const std::string& reason, OpenFault fault)
{
    const char* expected = "";
    switch (fault) {
    case OpenFault::MissingFolder:
    case OpenFault::MissingFile:
        expected = "No such file or directory";
        break;
    case OpenFault::IsAFolder:
        expected = "Is a directory";
        break;
    case OpenFault::UnderAFile:
        expected = "Not a directory";
        break;
    case OpenFault::NameTooLong:
        expected = "File name too long";
        break;
    case OpenFault::ReadOnly:
        expected = "Permission denied";
        break;
    }
    if (reason == expected) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "\"" << reason << "\", not \"" << expected << "\"";
}
