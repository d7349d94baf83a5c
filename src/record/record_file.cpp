#include "record_file.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <set>

#include <fcntl.h>
#include <iconv.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Code points of bytes 0x80-0x9F; the five undefined bytes keep their Latin-1 value.
constexpr std::array<char32_t, 32> kHighBytes{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<char> codePageByte(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<char>(codePoint);
    }
    // Only code points above 0xFF may match, so the undefined five never do.
    for (std::size_t i = 0; codePoint > 0xFF && i < kHighBytes.size(); ++i) {
        if (kHighBytes[i] == codePoint) {
            return static_cast<char>(0x80 + i);
        }
    }
    return std::nullopt;
}

struct Decoded {
    char32_t codePoint = 0;
    std::size_t length = 0; // 0: the first byte starts no valid sequence
};

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
Decoded decodeUtf8(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) {
        return {lead, 1};
    }
    std::size_t length = 0;
    char32_t codePoint = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0Fu;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07u;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return {};
    }
    if (text.size() < length) {
        return {};
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < low || byte > high) {
            return {};
        }
        low = 0x80;
        high = 0xBF;
        codePoint = (codePoint << 6) | (byte & 0x3Fu);
    }
    return {codePoint, length};
}

// Up to U+FFFF, which covers every character of the code page.
void appendUtf8(char32_t codePoint, std::string& out)
{
    const auto put = [&out](char32_t bits) { out += static_cast<char>(bits); };
    if (codePoint < 0x80) {
        put(codePoint);
    } else if (codePoint < 0x800) {
        put(0xC0 | (codePoint >> 6));
        put(0x80 | (codePoint & 0x3F));
    } else {
        put(0xE0 | (codePoint >> 12));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    }
}

// glibc transliterates by the thread's LC_CTYPE; pinning one locale makes the
// result the same under any process locale. C.UTF-8 knows the better forms for
// mathematics ("!=" for the not-equal sign, "?" rather than a Latin letter for
// a Greek one); the built-in "C" stands in where it is not installed.
class Transliterator
{
public:
    Transliterator() : cd_(iconv_open("WINDOWS-1252//TRANSLIT", "UTF-8"))
    {
        static const locale_t cLocale = [] {
            const locale_t utf8 = newlocale(LC_ALL_MASK, "C.UTF-8", locale_t{});
            return utf8 != locale_t{} ? utf8 : newlocale(LC_ALL_MASK, "C", locale_t{});
        }();
        if (cLocale != locale_t{}) {
            previous_ = uselocale(cLocale);
        }
    }
    ~Transliterator()
    {
        if (previous_ != locale_t{}) {
            uselocale(previous_);
        }
        if (cd_ != kNoConversion) {
            iconv_close(cd_);
        }
    }
    Transliterator(const Transliterator&) = delete;
    Transliterator& operator=(const Transliterator&) = delete;

    // One character at a time, so a character iconv rejects costs only itself.
    void append(std::string_view character, std::string& out)
    {
        std::array<char, 256> buffer{};
        char* in = const_cast<char*>(character.data());
        std::size_t inLeft = character.size();
        char* next = buffer.data();
        std::size_t outLeft = buffer.size();
        const bool converted = cd_ != kNoConversion &&
                               iconv(cd_, &in, &inLeft, &next, &outLeft) != kIconvFailed &&
                               inLeft == 0 && next != buffer.data();
        if (converted) {
            out.append(buffer.data(), next);
        } else {
            out += '?';
        }
        if (cd_ != kNoConversion) {
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
    }

private:
    static inline const iconv_t kNoConversion = reinterpret_cast<iconv_t>(-1);
    static constexpr std::size_t kIconvFailed = static_cast<std::size_t>(-1);
    iconv_t cd_;
    locale_t previous_{};
};

FileFailure failure(const std::string& path, int error)
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
    // Pipes and character devices cannot be synced and hold nothing to keep.
    return ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
}

// A new file's name survives a crash only once its folder is synced.
std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

void syncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

struct OpenFile {
    int fd = -1;
    bool created = false;
};

// Returns fd -1 with errno set on failure.
OpenFile openForAppend(const std::string& path)
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

constexpr char32_t kMinusSign = 0x2212;

} // namespace

std::string toWindows1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::optional<Transliterator> transliterator;
    while (!utf8.empty()) {
        const Decoded decoded = decodeUtf8(utf8);
        if (decoded.length == 0) {
            out += '?';
            utf8.remove_prefix(1);
            continue;
        }
        if (const auto byte = codePageByte(decoded.codePoint)) {
            out += *byte;
        } else if (decoded.codePoint == kMinusSign) {
            // In a mathematics answer the minus sign is a hyphen, not a dash.
            out += '-';
        } else {
            if (!transliterator) {
                transliterator.emplace();
            }
            transliterator->append(utf8.substr(0, decoded.length), out);
        }
        utf8.remove_prefix(decoded.length);
    }
    return out;
}

std::string fromWindows1252(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        appendUtf8(byte >= 0x80 && byte <= 0x9F ? kHighBytes[byte - 0x80] : byte, out);
    }
    return out;
}

std::string recordLines(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

std::optional<FileFailure> appendRuns(const std::vector<FileAppend>& runs)
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
    std::set<std::string> folders;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (files[i].created) {
            folders.insert(folderOf(runs[i].path));
        }
    }
    for (const std::string& folder : folders) {
        syncFolder(folder);
    }
    finish(runs.size());
    return std::nullopt;
}

std::optional<FileFailure> replaceFile(const std::string& path, std::string_view bytes)
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

std::variant<std::string, FileFailure> readFile(const std::string& path)
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

std::vector<FileMark> markFiles(const std::vector<std::string>& paths)
{
    std::vector<FileMark> marks;
    for (const std::string& path : paths) {
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

void restoreFiles(const std::vector<FileMark>& marks)
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
