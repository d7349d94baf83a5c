#include "report/report_files.h"

#include "record/win32_text.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <memory>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>

// The first is the one the program puts between a folder and a name.
const std::string_view kPathSeparators = "\\/:";

namespace
{

// The C library's words for the listing's failures, as for every other one.
int errnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return ENOENT;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_NOT_ENOUGH_MEMORY:
        return ENOMEM;
    default:
        return EIO;
    }
}

struct FindCloser {
    void operator()(HANDLE find) const { FindClose(find); }
};

} // namespace

int listFolder(const std::string& folder, std::vector<FolderEntry>& entries)
{
    const DWORD attributes = GetFileAttributesW(wideFromUtf8(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return errnoOf(GetLastError());
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return ENOTDIR;
    }
    WIN32_FIND_DATAW found{};
    const HANDLE first =
        FindFirstFileExW(wideFromUtf8(inFolder(folder, "*")).c_str(), FindExInfoBasic, &found,
                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (first == INVALID_HANDLE_VALUE) {
        // An empty drive's root has no entries at all.
        return GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : errnoOf(GetLastError());
    }
    const std::unique_ptr<void, FindCloser> find(first);
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..") {
            // A junction or a link to a folder is a reparse point.
            const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                                  (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
            entries.push_back({utf8FromWide(name), isFolder});
        }
    } while (FindNextFileW(first, &found));
    const DWORD error = GetLastError();
    return error == ERROR_NO_MORE_FILES ? 0 : errnoOf(error);
}

InputOpener::~InputOpener() = default;

// Windows opens a file by its whole path in any case.
int InputOpener::open(const std::string& path)
{
    return ::_wopen(wideFromUtf8(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

std::ptrdiff_t readInput(int fd, char* buffer, std::size_t size)
{
    return ::_read(fd, buffer, static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX)));
}

void closeInput(int fd)
{
    ::_close(fd);
}

std::FILE* openOutput(const std::string& path)
{
    return ::_wfopen(wideFromUtf8(path).c_str(), L"wb");
}

int writeTexts(std::FILE* file, const std::vector<std::string>& texts)
{
    const int fd = ::_fileno(file);
    for (const std::string& text : texts) {
        for (std::size_t at = 0; at < text.size();) {
            const unsigned size =
                static_cast<unsigned>(std::min<std::size_t>(text.size() - at, INT_MAX));
            const int n = ::_write(fd, text.data() + at, size);
            if (n <= 0) {
                return n < 0 ? errno : EIO;
            }
            at += static_cast<std::size_t>(n);
        }
    }
    return 0;
}

std::vector<std::string> programWords(int argc, char* argv[])
{
    SetConsoleOutputCP(CP_UTF8);
    // The words as typed: the narrow ones lose what the code page lacks.
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!words) {
        return {argv, argv + argc};
    }
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) {
        out.push_back(utf8FromWide(words[i]));
    }
    LocalFree(words);
    return out;
}

void prepareMemory() {}
