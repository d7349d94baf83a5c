#include "report/zip_input.h"

#include <QString>

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace
{

// The system's own message where the failure is the system's.
std::string zipMessage(zip_error_t* error)
{
    if (zip_error_system_type(error) == ZIP_ET_SYS) {
        return std::strerror(zip_error_code_system(error));
    }
    if (zip_error_code_zip(error) == ZIP_ER_NOENT) {
        return std::strerror(ENOENT);
    }
    return zip_error_strerror(error);
}

// A cut download keeps the start of an archive and loses its end, where the
// list of its members is.
bool startsAsAnArchive(zip_source_t* source)
{
    char start[4] = {};
    if (zip_source_open(source) != 0) {
        return false;
    }
    const bool read = zip_source_read(source, start, sizeof start) == sizeof start;
    zip_source_close(source);
    return read && std::memcmp(start, "PK\3\4", sizeof start) == 0;
}

// As libzip guesses it (UTF-8, else the code page 437 of older ZIP
// programs), with what a terminal would take as control made harmless.
std::string shownName(const char* guessed)
{
    QString name = QString::fromUtf8(guessed);
    for (QChar& c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            c = QChar::ReplacementCharacter;
        }
    }
    return name.toStdString();
}

bool isSeparator(char c)
{
    return c == '/' || c == '\\';
}

std::string mib(std::uint64_t bytes)
{
    return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MiB";
}

// Deflate, which ZIP programs use for text, unpacks to at most 1032 bytes for
// each byte stored, and a member is read no further than its declared size;
// one megabyte more for the headers of small members.
constexpr std::uint64_t kMostExpansion = 1032;
constexpr std::uint64_t kSlack = std::uint64_t{1} << 20;

} // namespace

Archive::~Archive()
{
    close();
}

void Archive::close()
{
    if (zip_) {
        zip_discard(zip_);
        zip_ = nullptr;
    }
}

bool Archive::open(const std::string& path, std::string& message)
{
    close();
    path_ = path;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_file_create(path.c_str(), 0, -1, &error);
    const bool opened = source && openSource(source, message);
    if (!source) {
        message = zipMessage(&error);
    }
    zip_error_fini(&error);
    return opened;
}

bool Archive::openBytes(std::string_view bytes, std::string& message)
{
    close();
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    const bool opened = source && openSource(source, message);
    if (!source) {
        message = zipMessage(&error);
    }
    zip_error_fini(&error);
    return opened;
}

bool Archive::openSource(zip_source_t* source, std::string& message)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    bytes_ = zip_source_stat(source, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) ? stat.size : 0;
    zip_error_t error;
    zip_error_init(&error);
    zip_ = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!zip_) {
        message = zip_error_code_zip(&error) == ZIP_ER_NOZIP && startsAsAnArchive(source)
                      ? "not a whole ZIP archive: its end, which lists its files, is missing"
                      : zipMessage(&error);
        zip_source_free(source);
    }
    zip_error_fini(&error);
    return zip_ != nullptr;
}

bool Archive::list(std::vector<ArchiveMember>& members, std::string& message) const
{
    const zip_int64_t count = zip_get_num_entries(zip_, 0);
    members.reserve(members.size() + static_cast<std::size_t>(std::max<zip_int64_t>(count, 0)));
    std::uint64_t declared = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        const char* raw = zip_get_name(zip_, index, ZIP_FL_ENC_RAW);
        const char* guessed = zip_get_name(zip_, index, ZIP_FL_ENC_GUESS);
        zip_stat_t stat;
        if (!raw || !guessed || zip_stat_index(zip_, index, 0, &stat) != 0) {
            message = zip_strerror(zip_);
            return false;
        }
        const std::string_view rawName = raw;
        if (rawName.empty() || isSeparator(rawName.back())) {
            continue;
        }
        const std::uint64_t size = stat.valid & ZIP_STAT_SIZE ? stat.size : kLargestMember + 1;
        declared += std::min(size, kLargestMember);
        members.push_back({path_, index, std::string(rawName), shownName(guessed), size});
    }
    if (declared > bytes_ * kMostExpansion + kSlack) {
        message = "its files would unpack to " + mib(declared) +
                  ", more than an archive of its size can hold; not read";
        members.clear();
        return false;
    }
    return true;
}

std::string Archive::read(const ArchiveMember& member, RecordSink& sink) const
{
    const char* now = zip_get_name(zip_, member.index, ZIP_FL_ENC_RAW);
    if (!now || member.rawName != now) {
        return "the archive changed while it was read";
    }
    if (member.size > kLargestMember) {
        return "not read: " + mib(member.size) + " unpacked, more than any send file (" +
               mib(kLargestMember) + " at most)";
    }
    zip_file_t* file = zip_fopen_index(zip_, member.index, 0);
    if (!file) {
        return zipMessage(zip_get_error(zip_));
    }
    std::string failure;
    std::uint64_t left = member.size;
    // One byte more than declared is asked for, to find a member that holds more.
    const int error = readRecords(
        [&](char* buffer, std::size_t size) -> std::ptrdiff_t {
            if (failure.empty()) {
                const zip_int64_t n =
                    zip_fread(file, buffer, std::min<std::uint64_t>(size, left + 1));
                if (n >= 0 && static_cast<std::uint64_t>(n) <= left) {
                    left -= static_cast<std::uint64_t>(n);
                    return static_cast<std::ptrdiff_t>(n);
                }
                failure = n < 0 ? zipMessage(zip_file_get_error(file))
                                : "holds more than the archive declares (" +
                                      std::to_string(member.size) + " bytes); read up to there";
                if (n > 0 && left > 0) {
                    return static_cast<std::ptrdiff_t>(std::exchange(left, 0));
                }
            }
            errno = EIO;
            return -1;
        },
        sink);
    zip_fclose(file);
    if (!failure.empty()) {
        return failure;
    }
    return error ? std::strerror(error) : "";
}

const Archive* ArchiveOpener::open(const std::string& path, std::string& message)
{
    if (!opened_ || path != path_) {
        path_ = path;
        failure_.clear();
        opened_ = true;
        archive_.open(path, failure_);
    }
    message = failure_;
    return failure_.empty() ? &archive_ : nullptr;
}

void readTimeZoneOnce()
{
#ifndef _WIN32
    if (!std::getenv("TZ")) {
        ::setenv("TZ", ":/etc/localtime", 0);
    }
#endif
}

bool leavesItsFolder(std::string_view name)
{
    const bool drive =
        name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0]));
    if (name.empty() || isSeparator(name.front()) || drive) {
        return true;
    }
    for (std::size_t start = 0; start <= name.size();) {
        std::size_t end = start;
        while (end < name.size() && !isSeparator(name[end])) {
            ++end;
        }
        if (name.substr(start, end - start) == "..") {
            return true;
        }
        start = end + 1;
    }
    return false;
}

std::string_view memberFileName(std::string_view name)
{
    const std::size_t end = name.find_last_of("/\\");
    return end == std::string_view::npos ? name : name.substr(end + 1);
}

bool memberBefore(const ArchiveMember& a, const ArchiveMember& b)
{
    // A separator before any other character: "a/x" before "a-b".
    const auto key = [](char c) { return isSeparator(c) ? '\0' : c; };
    return std::lexicographical_compare(
        a.name.begin(), a.name.end(), b.name.begin(), b.name.end(), [&](char x, char y) {
            return static_cast<unsigned char>(key(x)) < static_cast<unsigned char>(key(y));
        });
}
