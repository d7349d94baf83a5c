// Preloaded into a test process: logs, for every file opened through open(),
// the order of its writes, flushes and close, together with the marks the
// test sets (a prompt shown, a handler returned). The test reads the log
// through qa_trace_take().
#undef _FORTIFY_SOURCE

#include <cstdarg>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

std::mutex& lock()
{
    static std::mutex m;
    return m;
}

std::string& log()
{
    static std::string text;
    return text;
}

std::map<int, std::string>& openFiles()
{
    static std::map<int, std::string> files;
    return files;
}

template <typename Function> Function next(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

void add(const std::string& line)
{
    log() += line;
    log() += '\n';
}

// Lines name the file last, as paths may hold blanks.
void opened(int fd, const char* path, int flags, bool existed)
{
    if (fd < 0) {
        return;
    }
    std::string how;
    how += (flags & O_ACCMODE) == O_RDONLY ? 'r' : 'w';
    if (!existed && (flags & O_CREAT) != 0) {
        how += 'c';
    }
    if ((flags & O_DIRECTORY) != 0) {
        how += 'd';
    }
    const std::lock_guard guard(lock());
    openFiles()[fd] = path;
    add("open " + std::to_string(fd) + " " + how + " " + path);
}

void onFile(const char* what, int fd, const std::string& detail = {})
{
    const std::lock_guard guard(lock());
    const auto file = openFiles().find(fd);
    if (file == openFiles().end()) {
        return;
    }
    add(std::string(what) + " " + std::to_string(fd) + " " + detail + " " + file->second);
    if (std::string_view(what) == "close") {
        openFiles().erase(file);
    }
}

bool exists(const char* path)
{
    struct stat info {
    };
    return ::lstat(path, &info) == 0;
}

mode_t modeOf(int flags, va_list& args)
{
    return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(args, unsigned)) : 0;
}

using OpenFunction = int (*)(const char*, int, ...);
using OpenAtFunction = int (*)(int, const char*, int, ...);

int tracedOpen(const char* name, const char* path, int flags, mode_t mode)
{
    const bool existed = exists(path);
    static const auto openFile = next<OpenFunction>("open");
    static const auto openFile64 = next<OpenFunction>("open64");
    const int fd = (std::string_view(name) == "open" ? openFile : openFile64)(path, flags, mode);
    opened(fd, path, flags, existed);
    return fd;
}

int tracedOpenAt(const char* name, int dirFd, const char* path, int flags, mode_t mode)
{
    // Only paths from the working folder or absolute ones name the file alone.
    const bool plain = dirFd == AT_FDCWD || (path != nullptr && path[0] == '/');
    const bool existed = plain && exists(path);
    static const auto openAt = next<OpenAtFunction>("openat");
    static const auto openAt64 = next<OpenAtFunction>("openat64");
    const int fd =
        (std::string_view(name) == "openat" ? openAt : openAt64)(dirFd, path, flags, mode);
    if (plain) {
        opened(fd, path, flags, existed);
    }
    return fd;
}

} // namespace

extern "C" {

int open(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    return tracedOpen("open", path, flags, mode);
}

int open64(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    return tracedOpen("open64", path, flags, mode);
}

int openat(int dirFd, const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    return tracedOpenAt("openat", dirFd, path, flags, mode);
}

int openat64(int dirFd, const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    return tracedOpenAt("openat64", dirFd, path, flags, mode);
}

ssize_t write(int fd, const void* data, size_t size)
{
    static const auto next_ = next<ssize_t (*)(int, const void*, size_t)>("write");
    const ssize_t n = next_(fd, data, size);
    onFile("write", fd, std::to_string(size) + " " + std::to_string(n));
    return n;
}

int fsync(int fd)
{
    static const auto next_ = next<int (*)(int)>("fsync");
    const int result = next_(fd);
    onFile("sync", fd, std::to_string(result));
    return result;
}

int fdatasync(int fd)
{
    static const auto next_ = next<int (*)(int)>("fdatasync");
    const int result = next_(fd);
    onFile("sync", fd, std::to_string(result));
    return result;
}

int close(int fd)
{
    onFile("close", fd);
    static const auto next_ = next<int (*)(int)>("close");
    return next_(fd);
}

// For the test, found with dlsym.
void qa_trace_mark(const char* what)
{
    const std::lock_guard guard(lock());
    add(std::string("mark ") + what);
}

// Everything logged since the last call; valid until the next.
const char* qa_trace_take()
{
    static std::string taken;
    const std::lock_guard guard(lock());
    taken.swap(log());
    log().clear();
    return taken.c_str();
}
}
