#include "bank/course_text.h"
#include "bank/question_bank.h"

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
