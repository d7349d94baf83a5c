#include "test_system.h"

#include <array>
#include <string_view>
#include <vector>

#include <windows.h>

namespace
{

// The system's message for the error as the program shows it: without the
// closing period and line end.
std::string messageOf(DWORD error)
{
    std::array<char, 512> buffer{};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                        buffer.data(), static_cast<DWORD>(buffer.size()), nullptr);
    std::string text(buffer.data(), length);
    while (!text.empty() && std::string_view(". \r\n").find(text.back()) != std::string::npos) {
        text.pop_back();
    }
    return text;
}

// Windows versions differ in the error of some faults; each listed one stands.
// For a name too long wine passes on what Linux says of such a name: not found.
std::vector<DWORD> errorsOf(FileFault fault)
{
    switch (fault) {
    case FileFault::MissingFolder:
    case FileFault::UnderAFile:
        return {ERROR_PATH_NOT_FOUND};
    case FileFault::MissingFile:
        return {ERROR_FILE_NOT_FOUND};
    case FileFault::IsAFolder:
    case FileFault::ReadOnly:
        return {ERROR_ACCESS_DENIED};
    case FileFault::NameTooLong:
        return {ERROR_FILENAME_EXCED_RANGE, ERROR_INVALID_NAME, ERROR_PATH_NOT_FOUND,
                ERROR_FILE_NOT_FOUND};
    case FileFault::FullDisk:
        return {ERROR_DISK_FULL};
    case FileFault::TooLarge:
        return {ERROR_FILE_TOO_LARGE};
    }
    return {};
}

} // namespace

// As a lock's holder opens it: others may read it, but not delete it.
HeldLock::HeldLock(const FilePath& path)
    : handle_(reinterpret_cast<std::intptr_t>(
          CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)))
{
    EXPECT_NE(reinterpret_cast<HANDLE>(handle_), INVALID_HANDLE_VALUE) << path;
}

HeldLock::~HeldLock()
{
    CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::string systemReason(FileFault fault)
{
    return messageOf(errorsOf(fault).front());
}

testing::AssertionResult isSystemReason(const std::string& reason, FileFault fault)
{
    std::string expected;
    for (const DWORD error : errorsOf(fault)) {
        if (reason == messageOf(error)) {
            return testing::AssertionSuccess();
        }
        expected += " \"" + messageOf(error) + "\"";
    }
    return testing::AssertionFailure() << "\"" << reason << "\", not one of" << expected;
}

const char* const kNoFullDisk = "Windows has no device that is always full to link a file to";
const char* const kNoFileSizeLimit = "Windows sets no limit on the size of a process's files";
const char* const kNoFolderRemoval =
    "Windows keeps a folder while a file in it is open, as the run's lock file is";

void placeOnFullDisk(const FilePath&) {}

FileSizeLimit::FileSizeLimit(std::uintmax_t) {}

FileSizeLimit::~FileSizeLimit() = default;

// Wine shows every name that begins with a dot as hidden, whatever the file's
// attribute, but a query through an open file gives the attribute itself, as
// on Windows; reading attributes is no access to the data, so a file its run
// holds can be asked.
bool hiddenFromTheStudent(const FilePath& path)
{
    const HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool read = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    return read && (info.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
}
