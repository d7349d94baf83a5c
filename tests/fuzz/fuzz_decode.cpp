#include "coding/line_coding.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
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

constexpr int kBlank = 32;

// The two codes a coder may write for a byte of text: one above the fillers,
// one below them (never the blank, which stands for itself).
std::optional<int> highCode(int text, int codeNbr)
{
    const int code = text + codeNbr + 100;
    return code >= 119 && code <= 255 ? std::optional(code) : std::nullopt;
}

std::optional<int> lowCode(int text, int codeNbr)
{
    const int code = text + codeNbr - 209;
    return code >= 0 && code <= 65 && code != kBlank ? std::optional(code) : std::nullopt;
}

// decode's answer for each code, found from the coder's side: the text byte
// that codes to it, or -1 where none does.
std::array<int, 256> textOfCode(int codeNbr)
{
    std::array<int, 256> table;
    table.fill(-1);
    for (int text = 0; text <= 255; ++text) {
        for (const auto code : {highCode(text, codeNbr), lowCode(text, codeNbr)}) {
            if (code) {
                table[*code] = text;
            }
        }
    }
    table[kBlank] = kBlank;
    return table;
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

    // Built once per codeNbr: for a short line it costs more than the checks.
    static int tableCodeNbr = -1;
    static std::array<int, 256> table;
    if (codeNbr != tableCodeNbr) {
        table = textOfCode(codeNbr);
        tableCodeNbr = codeNbr;
    }
    std::string expected;
    for (const char ch : line) {
        if (const int byte = table[static_cast<unsigned char>(ch)]; byte >= 0) {
            expected += static_cast<char>(byte);
        }
    }
    require(text == expected, "each code decodes to the byte coded to it, or vanishes");

    // The line read as text instead: coded, with fillers mixed in, it decodes
    // back to every byte that has a code.
    std::string coded;
    std::string codable;
    for (const char ch : line) {
        const int byte = static_cast<unsigned char>(ch);
        if (byte % 3 == 0) {
            coded += static_cast<char>(66 + byte % 53);
        }
        std::optional<int> code = byte == kBlank ? kBlank : highCode(byte, codeNbr);
        if (!code) {
            code = lowCode(byte, codeNbr);
        }
        if (code) {
            coded += static_cast<char>(*code);
            codable += ch;
        }
    }
    require(decode(coded, codeNbr) == codable, "coded text decodes back");
    return 0;
}
