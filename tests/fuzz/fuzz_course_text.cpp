#include "bank/course_text.h"
#include "bank/question_bank.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace
{

void require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

std::size_t markerLines(std::string_view file)
{
    std::size_t count = file.starts_with("@@") ? 1 : 0;
    for (auto lf = file.find('\n'); lf != std::string_view::npos; lf = file.find('\n', lf + 1)) {
        count += file.substr(lf + 1).starts_with("@@") ? 1 : 0;
    }
    return count;
}

bool holdsMarkerLine(std::string_view entry)
{
    return markerLines(entry) > 0;
}

// The same file as a Windows checkout writes it: CR LF wherever it had a bare LF.
std::string withCrLf(std::string_view file)
{
    std::string out;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (file[i] == '\n' && (i == 0 || file[i - 1] != '\r')) {
            out += '\r';
        }
        out += file[i];
    }
    return out;
}

// Calls f on each piece of text between the separators.
template <typename F> void forEachPiece(std::string_view text, char separator, F f)
{
    for (auto end = text.find(separator);; end = text.find(separator)) {
        f(text.substr(0, end));
        if (end == std::string_view::npos) {
            return;
        }
        text.remove_prefix(end + 1);
    }
}

struct Written {
    std::string file;
    std::vector<std::string> entries; // what the file must read as
};

// The input read as entries instead: each NUL-separated piece is an entry
// whose lines are the piece's LF-separated lines. Written as an author would:
// a comment, bare and labelled "@@" lines, LF or CR LF line ends, and no line
// end after a last line that is not empty.
Written writeEntries(std::string_view input)
{
    Written written{"A comment line\n@ is no marker\n", {}};
    written.file.reserve(2 * input.size() + 64);
    written.entries.reserve(std::count(input.begin(), input.end(), '\0') + 1);
    forEachPiece(input, '\0', [&](std::string_view piece) {
        const bool odd = written.entries.size() % 2 == 1;
        written.file += odd ? "@@ entry\n" : "@@\n";
        std::string& entry = written.entries.emplace_back();
        entry.reserve(2 * piece.size());
        bool first = true;
        forEachPiece(piece, '\n', [&](std::string_view line) {
            if (!first) {
                entry += "\r\n";
            }
            first = false;
            // No entry line can begin "@@", so the author indents such a line.
            if (line.starts_with("@@")) {
                entry += ' ';
                written.file += ' ';
            }
            entry += line;
            written.file += line;
            // The parser drops one CR before an LF, so a line ending in CR needs another.
            const bool crLf = line.ends_with('\r') || (line.size() % 2 == 1) != odd;
            written.file += crLf ? "\r\n" : "\n";
        });
    });
    const bool lastLineEmpty = written.file.ends_with("\n\n") || written.file.ends_with("\n\r\n");
    if (!lastLineEmpty && input.size() % 2 == 1) {
        written.file.resize(written.file.size() - (written.file.ends_with("\r\n") ? 2 : 1));
    }
    return written;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> entries = parseCourseText(file);

    require(entries.size() == markerLines(file), "one entry for each \"@@\" line");
    for (const std::string& entry : entries) {
        require(!holdsMarkerLine(entry), "no entry holds an \"@@\" line");
    }
    require(parseCourseText(withCrLf(file)) == entries, "CR LF line ends read the same");

    if (!file.ends_with('\n')) {
        // Ending the last line drops no CR of its own: only the added one goes.
        require(parseCourseText(std::string(file) + "\r\n") == entries,
                "a line end after the last line changes nothing");
    }

    const Written written = writeEntries(file);
    require(parseCourseText(written.file) == written.entries, "written entries read back");

    // On the heap, as it is too large for the stack; made once, as a fresh bank
    // per input would take most of the run time. Only the indices written are read.
    static const auto bank = std::make_unique<BankLines>();
    int cursor = 0;
    std::size_t stored = entries.size();
    try {
        loadQuestionBank(*bank, cursor, entries);
        require(cursor == 0, "the cursor is back at 0");
    } catch (const BankIndexOutOfRange& outOfRange) {
        require(entries.size() > kLastBankIndex, "only a bank too long is refused");
        require(outOfRange.index() == kLastBankIndex + 1, "the first index past the end is named");
        stored = kLastBankIndex;
    }
    require((*bank)[0].empty(), "index 0 stays empty");
    for (std::size_t i = 0; i < stored; ++i) {
        require((*bank)[i + 1] == entries[i], "entries land at 1, 2, 3, ...");
    }
    return 0;
}
