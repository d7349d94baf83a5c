// The members of a ZIP archive, read as the report reads them. The input is
// a ZIP's bytes when it starts as one; otherwise the first byte chooses, and
// the rest is files to zip first: each a name, a line break and the file,
// up to a line "@@".
#include "class_files.h"
#include "record_trace.h"

#include "report/zip_input.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace
{

// Valid UTF-8 with nothing a terminal takes as control.
bool safeToShow(const std::string& name)
{
    if (QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).toStdString() != name) {
        return false;
    }
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            return false;
        }
    }
    return true;
}

std::map<std::string, std::string> filesOf(std::string_view text)
{
    std::map<std::string, std::string> files;
    while (!text.empty()) {
        const std::size_t end = text.find("\n@@\n");
        const std::string_view file = text.substr(0, end);
        const std::size_t line = file.find('\n');
        files.emplace(std::string(file.substr(0, line)),
                      line == std::string_view::npos ? "" : std::string(file.substr(line + 1)));
        text = end == std::string_view::npos ? "" : text.substr(end + 4);
    }
    return files;
}

} // namespace

// Bit 0 of the first byte deflates the files, bit 1 damages one byte of the
// archive written. Undamaged, each member reads as its file does.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string zip(input);
    std::map<std::string, std::string> files;
    bool damaged = true;
    if (!input.starts_with("PK") && !input.empty()) {
        files = filesOf(input.substr(1));
        zip = zipBytes({files.begin(), files.end()}, (data[0] & 1) != 0);
        damaged = (data[0] & 2) != 0 && !zip.empty();
        if (damaged) {
            zip[size * 7919 % zip.size()] ^= static_cast<char>(data[0] | 1);
        }
    }

    Archive archive;
    std::string message;
    std::vector<ArchiveMember> members;
    if (!archive.openBytes(zip, message) || !archive.list(members, message)) {
        require(!message.empty(), "an archive not read is told why");
        require(damaged, "an archive as libzip writes it is read");
        return 0;
    }
    for (const ArchiveMember& member : members) {
        require(safeToShow(member.name), "a member's name is shown safely");
        Trace read;
        const std::string failure = archive.read(member, read);
        // The reading stops at the declared size.
        require(read.lastLine <= member.size + 1, "no line past the declared size is told");
        const auto file = files.find(member.rawName);
        if (!damaged && file != files.end()) {
            Trace whole;
            readRecords(file->second, whole);
            require(failure.empty() || member.size > kLargestMember,
                    "a member as libzip writes it is read whole");
            require(read.text == whole.text, "a member reads as its file does");
        }
    }
    return 0;
}
