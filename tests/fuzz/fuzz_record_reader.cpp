#include "record_trace.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

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
