#include "report/report_files.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

const std::string_view kPathSeparators = "/";

int listFolder(const std::string& folder, std::vector<FolderEntry>& entries)
{
    DIR* listing = ::opendir(folder.c_str());
    if (!listing) {
        return errno;
    }
    // The entry's own type, as the listing gives it, saves a look-up per file.
    errno = 0;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            bool isFolder = entry->d_type == DT_DIR;
            if (entry->d_type == DT_UNKNOWN) {
                struct stat info {
                };
                isFolder =
                    ::fstatat(::dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                    S_ISDIR(info.st_mode);
            }
            entries.push_back({std::string(name), isFolder});
        }
        errno = 0;
    }
    const int error = errno;
    ::closedir(listing);
    return error;
}

InputOpener::~InputOpener()
{
    if (folderFd_ >= 0) {
        ::close(folderFd_);
    }
}

int InputOpener::open(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0) {
        return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (path.compare(0, slash, folder_) != 0) {
        if (folderFd_ >= 0) {
            ::close(folderFd_);
        }
        folder_.assign(path, 0, slash);
        folderFd_ = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    return folderFd_ < 0 ? ::open(path.c_str(), O_RDONLY | O_CLOEXEC)
                         : ::openat(folderFd_, path.c_str() + slash + 1, O_RDONLY | O_CLOEXEC);
}

std::ptrdiff_t readInput(int fd, char* buffer, std::size_t size)
{
    return ::read(fd, buffer, size);
}

void closeInput(int fd)
{
    ::close(fd);
}

std::FILE* openOutput(const std::string& path)
{
    return std::fopen(path.c_str(), "wb");
}

int writeTexts(std::FILE* file, const std::vector<std::string>& texts)
{
    // The texts as they are, without copying them into one.
    std::vector<iovec> pieces;
    for (const std::string& text : texts) {
        if (!text.empty()) {
            pieces.push_back({const_cast<char*>(text.data()), text.size()});
        }
    }
    const int fd = fileno(file);
    for (std::size_t at = 0; at < pieces.size();) {
        const int count = static_cast<int>(std::min<std::size_t>(pieces.size() - at, IOV_MAX));
        const ssize_t n = ::writev(fd, pieces.data() + at, count);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n < 0 ? errno : EIO;
        }
        // A write may take less than it was given: on from where it stopped.
        for (auto left = static_cast<std::size_t>(n); left > 0;) {
            iovec& piece = pieces[at];
            const std::size_t taken = std::min(left, piece.iov_len);
            piece.iov_base = static_cast<char*>(piece.iov_base) + taken;
            piece.iov_len -= taken;
            left -= taken;
            at += piece.iov_len == 0 ? 1 : 0;
        }
    }
    return 0;
}

std::vector<std::string> programWords(int argc, char* argv[])
{
    return {argv, argv + argc};
}

void prepareMemory()
{
#ifdef __GLIBC__
    // Heaps then grow 32 MiB at a time; pages are still only taken when used.
    mallopt(M_TOP_PAD, 32 << 20);
#endif
}
