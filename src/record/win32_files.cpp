#include "record/file_layer.h"
#include "record/win32_text.h"

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <utility>

#include <windows.h>

namespace
{

// Another program may read, write or delete a record file while the program
// appends: the student opens the send file in an editor or attaches it to a
// mail.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The program's message ends the sentence itself, so the system's period and
// line end go.
std::string systemMessage(DWORD error)
{
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer != nullptr ? buffer : L"", length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L'.' ||
                             text.back() == L' ')) {
        text.pop_back();
    }
    return text.empty() ? "system error " + std::to_string(error) : utf8FromWide(text);
}

FileFailure failure(const FilePath& path, DWORD error)
{
    return {path, systemMessage(error)};
}

class Handle
{
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    Handle& operator=(Handle&& other) noexcept
    {
        std::swap(handle_, other.handle_);
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { close(); }

    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    void close()
    {
        if (valid()) {
            CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE));
        }
    }

private:
    HANDLE handle_;
};

Handle openFile(const FilePath& path, DWORD access, DWORD disposition)
{
    return Handle(CreateFileW(path.c_str(), access, kShareAll, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Returns 0 or the error; `written` counts what reached the file either way.
// A run of lines on a disk file goes in one WriteFile; the loop is for runs
// beyond what one call can take.
DWORD writeAll(HANDLE handle, std::string_view bytes, std::size_t& written)
{
    constexpr std::size_t kLargestWrite = 1u << 30;
    while (written < bytes.size()) {
        const auto chunk = static_cast<DWORD>(std::min(bytes.size() - written, kLargestWrite));
        DWORD n = 0;
        if (!WriteFile(handle, bytes.data() + written, chunk, &n, nullptr)) {
            return GetLastError();
        }
        if (n == 0) {
            return ERROR_WRITE_FAULT; // no progress would loop forever
        }
        written += n;
    }
    return ERROR_SUCCESS;
}

DWORD syncFile(HANDLE handle)
{
    return FlushFileBuffers(handle) ? ERROR_SUCCESS : GetLastError();
}

// A handle with FILE_APPEND_DATA alone cannot cut a file, so the undo opens
// the file again for writing.
void cutBack(const FilePath& path, std::uint64_t size)
{
    const Handle file = openFile(path, GENERIC_WRITE, OPEN_EXISTING);
    LARGE_INTEGER now{};
    if (!file.valid() || !GetFileSizeEx(file.get(), &now) ||
        static_cast<std::uint64_t>(now.QuadPart) <= size) {
        return;
    }
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(size);
    if (SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) && SetEndOfFile(file.get())) {
        syncFile(file.get());
    }
}

struct OpenFile {
    Handle handle;
    bool created = false;
};

// With FILE_APPEND_DATA and without FILE_WRITE_DATA every write lands at the
// end of the file, wherever other programs have moved it.
OpenFile openForAppend(const FilePath& path)
{
    Handle handle =
        openFile(path, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE, OPEN_ALWAYS);
    const bool created = handle.valid() && GetLastError() != ERROR_ALREADY_EXISTS;
    return {std::move(handle), created};
}

// Returns 0 or the error; on failure the file is cut back to its size before.
DWORD appendRun(HANDLE handle, const FilePath& path, std::string_view bytes)
{
    LARGE_INTEGER before{};
    if (!GetFileSizeEx(handle, &before)) {
        return GetLastError();
    }
    std::size_t written = 0;
    DWORD error = writeAll(handle, bytes, written);
    if (error == ERROR_SUCCESS) {
        error = syncFile(handle);
    }
    if (error != ERROR_SUCCESS && written > 0) {
        cutBack(path, static_cast<std::uint64_t>(before.QuadPart));
    }
    return error;
}

class Win32Files final : public FileLayer
{
public:
    std::optional<FileFailure> appendRuns(const std::vector<FileAppend>& runs) override;
    std::optional<FileFailure> replaceFile(const FilePath& path, std::string_view bytes) override;
    std::variant<std::string, FileFailure> readFile(const FilePath& path) override;
    std::vector<FileMark> markFiles(const std::vector<FilePath>& paths) override;
    void restoreFiles(const std::vector<FileMark>& marks) override;
    bool removeTornLock(const FilePath& path) override;
    bool hideLock(const FilePath& path) override;
};

std::optional<FileFailure> Win32Files::appendRuns(const std::vector<FileAppend>& runs)
{
    std::vector<OpenFile> files;
    files.reserve(runs.size());

    // Closes every file; removes those this call created for runs from `first` on.
    const auto finish = [&](std::size_t first) {
        for (std::size_t i = 0; i < files.size(); ++i) {
            files[i].handle.close();
            if (i >= first && files[i].created) {
                DeleteFileW(runs[i].path.c_str());
            }
        }
    };

    for (const auto& run : runs) {
        OpenFile file = openForAppend(run.path);
        if (!file.handle.valid()) {
            const DWORD error = GetLastError();
            finish(0);
            return failure(run.path, error);
        }
        files.push_back(std::move(file));
    }

    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (!runs[i].bytes.empty()) {
            const DWORD error = appendRun(files[i].handle.get(), runs[i].path, runs[i].bytes);
            if (error != ERROR_SUCCESS) {
                finish(i);
                return failure(runs[i].path, error);
            }
        }
    }
    // NTFS journals a new file's name with the folder; no folder flush is needed.
    finish(runs.size());
    return std::nullopt;
}

std::optional<FileFailure> Win32Files::replaceFile(const FilePath& path, std::string_view bytes)
{
    const Handle file = openFile(path, GENERIC_WRITE, CREATE_ALWAYS);
    if (!file.valid()) {
        return failure(path, GetLastError());
    }
    std::size_t written = 0;
    DWORD error = writeAll(file.get(), bytes, written);
    if (error == ERROR_SUCCESS) {
        error = syncFile(file.get());
    }
    if (error != ERROR_SUCCESS) {
        return failure(path, error);
    }
    return std::nullopt;
}

std::variant<std::string, FileFailure> Win32Files::readFile(const FilePath& path)
{
    const Handle file = openFile(path, GENERIC_READ, OPEN_EXISTING);
    if (!file.valid()) {
        return failure(path, GetLastError());
    }
    std::string bytes;
    std::array<char, 65536> buffer{};
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr)) {
            return failure(path, GetLastError());
        }
        if (n == 0) {
            break;
        }
        bytes.append(buffer.data(), n);
    }
    return bytes;
}

std::vector<FileMark> Win32Files::markFiles(const std::vector<FilePath>& paths)
{
    std::vector<FileMark> marks;
    for (const FilePath& path : paths) {
        WIN32_FILE_ATTRIBUTE_DATA info{};
        if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info)) {
            marks.push_back({path, (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow});
        } else {
            marks.push_back({path, std::nullopt});
        }
    }
    return marks;
}

void Win32Files::restoreFiles(const std::vector<FileMark>& marks)
{
    for (const FileMark& mark : marks) {
        if (mark.size) {
            cutBack(mark.path, *mark.size);
        } else {
            DeleteFileW(mark.path.c_str());
        }
    }
}

bool Win32Files::removeTornLock(const FilePath& path)
{
    WIN32_FILE_ATTRIBUTE_DATA info{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || info.nFileSizeHigh != 0 ||
        info.nFileSizeLow != 0) {
        return false;
    }
    // A lock's holder has it open, without delete sharing, from the moment it
    // creates it, so a lock of a running process is never deleted here.
    return DeleteFileW(path.c_str()) != 0;
}

// A leading dot hides nothing on Windows. Setting an attribute needs no
// access to the data, so the run holding its lock open can set it.
bool Win32Files::hideLock(const FilePath& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    // "Normal" stands only for a file with no other attribute.
    return attributes != INVALID_FILE_ATTRIBUTES &&
           SetFileAttributesW(path.c_str(), (attributes & ~DWORD{FILE_ATTRIBUTE_NORMAL}) |
                                                FILE_ATTRIBUTE_HIDDEN) != 0;
}

} // namespace

std::string utf8FromWide(std::wstring_view wide)
{
    if (wide.empty()) {
        return {};
    }
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), length,
                        nullptr, nullptr);
    return out;
}

std::wstring wideFromUtf8(std::string_view utf8)
{
    if (utf8.empty()) {
        return {};
    }
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), length);
    return out;
}

FileLayer& systemFiles()
{
    static Win32Files files;
    return files;
}
