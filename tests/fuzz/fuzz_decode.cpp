#include "coding/line_coding.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace
{

void require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

} // namespace

// The first line holds codeNbr in decimal, so the seeds stay readable; the
// rest is the line to decode.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto lf = input.find('\n');
    if (lf == std::string_view::npos) {
        return -1;
    }
    int codeNbr = 0;
    const auto [end, error] = std::from_chars(input.data(), input.data() + lf, codeNbr);
    // The program's codeNbr is a line length, never negative.
    if (error != std::errc{} || end != input.data() + lf || codeNbr < 0) {
        return -1;
    }
    const std::string_view line = input.substr(lf + 1);

    const std::string text = decode(line, codeNbr);
    require(text.size() <= line.size(), "decoding never lengthens a line");
    require(std::count(text.begin(), text.end(), ' ') >= std::count(line.begin(), line.end(), ' '),
            "every blank stays");

    // Each character decodes alone, so a cut anywhere changes nothing, and a
    // piece that starts with a blank decodes to text that starts with one.
    const std::size_t cut =
        line.empty() ? 0 : static_cast<unsigned char>(line[0]) % (line.size() + 1);
    require(decode(line.substr(0, cut), codeNbr) + decode(line.substr(cut), codeNbr) == text,
            "characters decode alone");
    if (const auto blank = line.find(' ', cut); blank != std::string_view::npos) {
        require(decode(line.substr(blank), codeNbr).starts_with(' '), "a blank decodes to a blank");
    }

    // A filler (66 to 118) vanishes wherever it is put.
    const int fillerChoice = line.empty() ? 0 : static_cast<unsigned char>(line.back());
    const char filler = static_cast<char>(66 + fillerChoice % 53);
    std::string padded(line);
    padded.insert(cut, 1, filler);
    require(decode(padded, codeNbr) == text, "a filler vanishes");
    return 0;
}
