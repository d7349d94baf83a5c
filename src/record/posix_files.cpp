#include "record/file_layer.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <set>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

FileFailure failure(const FilePath& path, int error)
{
    return {path, std::strerror(error)};
}

// Returns 0 or errno; `written` counts what reached the file either way.
int writeAll(int fd, std::string_view bytes, std::size_t& written)
{
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (n == 0) {
            return EIO; // no progress would loop forever
        }
        written += static_cast<std::size_t>(n);
    }
    return 0;
}

int syncFile(int fd)
{
#ifdef F_FULLFSYNC
    // On macOS fsync leaves the data in the drive's own cache; F_FULLFSYNC
    // empties that too. File systems that lack it refuse, and get fsync.
    if (::fcntl(fd, F_FULLFSYNC) == 0) {
        return 0;
    }
#endif
    // Pipes and character devices cannot be synced and hold nothing to keep.
    return ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
}

// A new file's name survives a crash only once its folder is synced.
FilePath folderOf(const FilePath& path)
{
    const FilePath folder = path.parent_path();
    return folder.empty() ? FilePath(".") : folder;
}

void syncFolder(const FilePath& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        syncFile(fd);
        ::close(fd);
    }
}

struct OpenFile {
    int fd = -1;
    bool created = false;
};

// Returns fd -1 with errno set on failure.
OpenFile openForAppend(const FilePath& path)
{
    constexpr int flags = O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC;
    // O_EXCL tells whether this call made the file, so a failure can remove it again.
    const int fd = ::open(path.c_str(), flags | O_EXCL, 0644);
    if (fd >= 0 || errno != EEXIST) {
        return {fd, fd >= 0};
    }
    return {::open(path.c_str(), flags, 0644), false};
}

// Returns 0 or errno; on failure the file is cut back to its size before.
int appendRun(int fd, std::string_view bytes)
{
    struct stat before {
    };
    if (::fstat(fd, &before) != 0) {
        return errno;
    }
    std::size_t written = 0;
    int error = writeAll(fd, bytes, written);
    if (error == 0) {
        error = syncFile(fd);
    }
    if (error != 0 && written > 0 && S_ISREG(before.st_mode) &&
        ::ftruncate(fd, before.st_size) == 0) {
        syncFile(fd);
    }
    return error;
}

class PosixFiles final : public FileLayer
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

std::optional<FileFailure> PosixFiles::appendRuns(const std::vector<FileAppend>& runs)
{
    std::vector<OpenFile> files;
    files.reserve(runs.size());

    // Closes every file; removes those this call created for runs from `first` on.
    const auto finish = [&](std::size_t first) {
        for (std::size_t i = 0; i < files.size(); ++i) {
            ::close(files[i].fd);
            if (i >= first && files[i].created) {
                ::unlink(runs[i].path.c_str());
            }
        }
    };

    for (const auto& run : runs) {
        const OpenFile file = openForAppend(run.path);
        if (file.fd < 0) {
            const int error = errno;
            finish(0);
            return failure(run.path, error);
        }
        files.push_back(file);
    }

    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (!runs[i].bytes.empty()) {
            if (const int error = appendRun(files[i].fd, runs[i].bytes); error != 0) {
                finish(i);
                return failure(runs[i].path, error);
            }
        }
    }
    // Each folder once, however many of its files this call created.
    std::set<FilePath> folders;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (files[i].created) {
            folders.insert(folderOf(runs[i].path));
        }
    }
    for (const FilePath& folder : folders) {
        syncFolder(folder);
    }
    finish(runs.size());
    return std::nullopt;
}

std::optional<FileFailure> PosixFiles::replaceFile(const FilePath& path, std::string_view bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return failure(path, errno);
    }
    std::size_t written = 0;
    int error = writeAll(fd, bytes, written);
    if (error == 0) {
        error = syncFile(fd);
    }
    ::close(fd);
    if (error != 0) {
        return failure(path, error);
    }
    return std::nullopt;
}

std::variant<std::string, FileFailure> PosixFiles::readFile(const FilePath& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return failure(path, errno);
    }
    std::string bytes;
    std::array<char, 65536> buffer{};
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            ::close(fd);
            return failure(path, error);
        }
        if (n == 0) {
            break;
        }
        bytes.append(buffer.data(), static_cast<std::size_t>(n));
    }
    ::close(fd);
    return bytes;
}

std::vector<FileMark> PosixFiles::markFiles(const std::vector<FilePath>& paths)
{
    std::vector<FileMark> marks;
    for (const FilePath& path : paths) {
        struct stat info {
        };
        if (::stat(path.c_str(), &info) == 0) {
            marks.push_back({path, static_cast<std::uint64_t>(info.st_size)});
        } else {
            marks.push_back({path, std::nullopt});
        }
    }
    return marks;
}

void PosixFiles::restoreFiles(const std::vector<FileMark>& marks)
{
    for (const FileMark& mark : marks) {
        if (!mark.size) {
            ::unlink(mark.path.c_str());
            continue;
        }
        const int fd = ::open(mark.path.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        struct stat info {
        };
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
            static_cast<std::uint64_t>(info.st_size) > *mark.size &&
            ::ftruncate(fd, static_cast<off_t>(*mark.size)) == 0) {
            syncFile(fd);
        }
        ::close(fd);
    }
}

bool isEmptyFile(int fd)
{
    struct stat info {
    };
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size == 0;
}

bool PosixFiles::removeTornLock(const FilePath& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return false;
    }
    bool removed = false;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && isEmptyFile(fd)) {
        // A run locks its new lock file and writes it at once; one that is
        // still empty a moment later belongs to a run that died. The name
        // must still be this file: another run may have replaced it.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        struct stat opened {
        }, named{};
        removed = isEmptyFile(fd) && ::fstat(fd, &opened) == 0 &&
                  ::lstat(path.c_str(), &named) == 0 && opened.st_ino == named.st_ino &&
                  opened.st_dev == named.st_dev && ::unlink(path.c_str()) == 0;
    }
    ::close(fd);
    return removed;
}

// The dot that begins its name hides it.
bool PosixFiles::hideLock(const FilePath& path)
{
    struct stat info {
    };
    return path.filename().string().starts_with('.') && ::lstat(path.c_str(), &info) == 0;
}

} // namespace

FileLayer& systemFiles()
{
    static PosixFiles files;
    return files;
}
