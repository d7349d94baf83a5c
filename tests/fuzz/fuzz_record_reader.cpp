#include "record/record_reader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// Everything read, in order, as text to compare two readings by.
class Trace : public RecordSink
{
public:
    void opening(const ReadOpening& r) override
    {
        line(r.line);
        text += "O" + r.codeLine + '|' + r.assignment + '|' + r.header + '|' + r.courseTitle + '|' +
                std::to_string(r.date.toJulianDay()) + '\n';
    }
    void entry(const ReadEntry& r) override
    {
        line(r.line);
        text += "E" + std::to_string(static_cast<int>(r.kind)) + '|' +
                std::to_string(r.time.msecsSinceStartOfDay()) + '|' + r.entryFirstLine + '|' +
                std::to_string(r.entryHash) + '|' + r.text + '|' +
                std::to_string(static_cast<int>(r.rating)) + '|' + r.reply + '\n';
    }
    void problem(const ReadProblem& p) override
    {
        line(p.line);
        require(p.message.starts_with("expected "), "a problem says what was expected");
        text += "P" + std::to_string(p.line) + p.message + '\n';
    }
    std::size_t lastLine = 0;
    std::string text;

private:
    void line(std::size_t number)
    {
        require(number >= 1 && number >= lastLine, "lines are told in file order");
        lastLine = number;
    }
};

} // namespace

// The first byte chooses the size of the pieces the file arrives in; the
// records read must not depend on it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    const std::size_t piece = 1 + data[0] % 13;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

    Trace whole;
    readRecords(input, whole);
    // A problem at the end is told on the line after the last.
    const auto lines = static_cast<std::size_t>(std::count(input.begin(), input.end(), '\n')) +
                       (input.empty() || input.ends_with('\n') ? 0 : 1);
    require(whole.lastLine <= lines + 1, "no line past the end is told");

    Trace pieces;
    std::string_view rest = input;
    readRecords(
        [&rest, piece](char* buffer, std::size_t room) {
            const std::size_t n = std::min({room, piece, rest.size()});
            std::memcpy(buffer, rest.data(), n);
            rest.remove_prefix(n);
            return static_cast<std::ptrdiff_t>(n);
        },
        pieces);
    require(pieces.text == whole.text, "the pieces a file arrives in change nothing");
    return 0;
}
