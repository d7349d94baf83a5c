#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// Record files are Windows-1252 text with CR LF line ends, appended to and
// never rewritten, so what a student typed survives a crash or a full disk.

// Windows-1252 bytes for UTF-8 text. Characters the code page lacks are
// transliterated where iconv knows an ASCII form (glibc
// "WINDOWS-1252//TRANSLIT", always under the C.UTF-8 transliteration table,
// whatever the process locale), otherwise written as "?"; so is a
// character iconv transliterates to nothing. The result never holds a
// multi-byte sequence. Each invalid UTF-8 byte becomes "?". ASCII, CR and LF
// included, passes unchanged.
std::string toWindows1252(std::string_view utf8);

// UTF-8 text for Windows-1252 bytes (for showing a record file again). Bytes
// 0x81, 0x8D, 0x8F, 0x90 and 0x9D (undefined in the code page) map to their
// Latin-1 code points, U+0081 etc., so no byte is lost.
std::string fromWindows1252(std::string_view bytes);

// The lines (already Windows-1252 bytes) each followed by CR LF, concatenated.
std::string recordLines(const std::vector<std::string>& lines);

struct FileAppend {
    std::string path;
    std::string bytes;
};

struct FileFailure {
    std::string path;
    std::string reason; // the system's message, strerror(errno)
};

// Opens every file for appending (creating a missing one, mode 0644) before
// writing to any, so a file that cannot be opened leaves every file untouched
// (a file this call created is removed again). Then, in order, appends each
// run of bytes in one write (looping on short writes) and fsyncs it. A run
// that cannot be written whole is cut back (ftruncate to the size before) so
// the file keeps exactly its earlier contents, and no later run is written;
// the runs before it stay written. Returns that failure, or nothing. Closes
// every file before returning. Empty bytes: open only.
std::optional<FileFailure> appendRuns(const std::vector<FileAppend>& runs);

// Creates or empties the file and writes the bytes, fsynced. (For a query
// file that is rewritten whole.)
std::optional<FileFailure> replaceFile(const std::string& path, std::string_view bytes);

// The whole file's bytes; a failure (missing file, a folder, unreadable) as
// FileFailure.
std::variant<std::string, FileFailure> readFile(const std::string& path);

// What files held before a change of several runs, so that a change that
// fails part way can be undone whole.
struct FileMark {
    std::string path;
    std::optional<std::uint64_t> size; // none: the file did not exist
};
std::vector<FileMark> markFiles(const std::vector<std::string>& paths);

// Cuts each file back to its marked size (fsynced), and removes one that did
// not exist before. Best effort: a file that cannot be reached stays as it is.
void restoreFiles(const std::vector<FileMark>& marks);
