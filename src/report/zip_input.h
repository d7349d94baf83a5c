#pragma once

#include "record/record_reader.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// ZIP archives of record files, read member by member straight from the
// archive: nothing is unpacked to disk.

struct zip;
struct zip_source;

// A file in an archive.
struct ArchiveMember {
    std::string archive; // the archive's path
    std::uint64_t index = 0;
    std::string rawName;    // as stored, to find the member again
    std::string name;       // UTF-8, as told
    std::uint64_t size = 0; // uncompressed, as the archive declares it
};

// Far beyond any send file: a member declared larger is not read, and no
// member is read past its declared size, so a ZIP bomb stops here.
inline constexpr std::uint64_t kLargestMember = std::uint64_t{256} << 20;

class Archive
{
public:
    Archive() = default;
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;
    ~Archive();

    // False with the reason in `message`. The bytes must outlive the archive.
    bool open(const std::string& path, std::string& message);
    bool openBytes(std::string_view bytes, std::string& message);

    // Its files, not its folders, in the archive's order; false with the
    // reason when their declared sizes are more than an archive of its size
    // can hold (members that overlap, to unpack the same bytes again and again).
    bool list(std::vector<ArchiveMember>& members, std::string& message) const;

    // Reads the member through readRecords: "" or what stopped it. The
    // records before a failure have been given to the sink.
    std::string read(const ArchiveMember& member, RecordSink& sink) const;

private:
    void close();
    bool openSource(zip_source* source, std::string& message);

    zip* zip_ = nullptr;
    std::string path_;
    std::uint64_t bytes_ = 0;
};

// Keeps the archive read last open, one for each thread that reads.
class ArchiveOpener
{
public:
    // Null with the reason in `message`.
    const Archive* open(const std::string& path, std::string& message);

private:
    Archive archive_;
    std::string path_;
    bool opened_ = false;
    std::string failure_;
};

// libzip turns each member's time into the system's with mktime, which
// reads the time zone file again for each member unless TZ is set: an
// archive of 6000 members took 25 ms to open instead of 2. No such time is
// shown, so where TZ is unset it is set to the file read anyway. To be called
// before other threads run.
void readTimeZoneOnce();

// Whether a member's path would lead out of the folder it were unpacked in:
// "../x", "/x", "C:x", "a\..\..\x".
bool leavesItsFolder(std::string_view name);

// A member's name after its last folder.
std::string_view memberFileName(std::string_view name);

// The order of a folder's entries, each folder at the place of its name.
bool memberBefore(const ArchiveMember& a, const ArchiveMember& b);
