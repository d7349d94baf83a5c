#include "record/windows1252.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <string_view>
#include <unordered_map>

namespace
{

void require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

bool isUndefinedByte(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

bool isAscii(char c)
{
    return static_cast<unsigned char>(c) < 0x80;
}

// The characters of bytes 0x80-0x9F, from the code page's chart.
struct HighByte {
    std::string_view utf8;
    unsigned char byte;
};
constexpr HighByte kHighBytes[] = {
    {"€", 0x80}, {"‚", 0x82}, {"ƒ", 0x83}, {"„", 0x84}, {"…", 0x85}, {"†", 0x86}, {"‡", 0x87},
    {"ˆ", 0x88}, {"‰", 0x89}, {"Š", 0x8A}, {"‹", 0x8B}, {"Œ", 0x8C}, {"Ž", 0x8E}, {"‘", 0x91},
    {"’", 0x92}, {"“", 0x93}, {"”", 0x94}, {"•", 0x95}, {"–", 0x96}, {"—", 0x97}, {"˜", 0x98},
    {"™", 0x99}, {"š", 0x9A}, {"›", 0x9B}, {"œ", 0x9C}, {"ž", 0x9E}, {"Ÿ", 0x9F}};

// Runs in which every byte is invalid UTF-8 whatever stands around them:
// overlong forms, a surrogate, a code point past U+10FFFF, and sequences cut
// short by an ASCII byte (which is valid and stays).
constexpr std::string_view kInvalidRuns[] = {
    "\xC0\xAF", "\xE0\x80\xAF", "\xF0\x80\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
    "\xC3x",    "\xE2\x82x",    "\xF0\x9F\x98x",    "\xE2x\x82",    "\xF5\x80\x80\x80"};

// A byte that starts no sequence: a continuation byte, C0, C1 or F5 to FF.
char loneInvalidByte(unsigned char pick)
{
    const int index = pick % 77;
    return static_cast<char>(index < 64   ? 0x80 + index
                             : index < 66 ? 0xC0 + index - 64
                                          : 0xF5 + index - 66);
}

void appendUtf8(char32_t codePoint, std::string& out)
{
    const auto put = [&out](char32_t bits) { out += static_cast<char>(bits); };
    if (codePoint < 0x800) {
        put(0xC0 | (codePoint >> 6));
    } else if (codePoint < 0x10000) {
        put(0xE0 | (codePoint >> 12));
        put(0x80 | ((codePoint >> 6) & 0x3F));
    } else {
        put(0xF0 | (codePoint >> 18));
        put(0x80 | ((codePoint >> 12) & 0x3F));
        put(0x80 | ((codePoint >> 6) & 0x3F));
    }
    put(0x80 | (codePoint & 0x3F));
}

// A character outside the code page: a C1 control or anything above U+00FF
// but a surrogate; where the pick is one of kHighBytes, the square root sign.
std::string characterOutside(unsigned a, unsigned b, unsigned c)
{
    char32_t codePoint = ((a << 16) | (b << 8) | c) % 0x110000;
    if (codePoint < 0x100) {
        codePoint = 0x80 + codePoint % 0x20;
    }
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
        codePoint += 0x800;
    }
    std::string utf8; // short enough to need no allocation
    appendUtf8(codePoint, utf8);
    const auto inCodePage = [&](const HighByte& high) { return high.utf8 == utf8; };
    return std::any_of(std::begin(kHighBytes), std::end(kHighBytes), inCodePage) ? "\u221A" : utf8;
}

// What a character gives converted alone, remembered: converting one outside
// the code page costs as much as the rest of the run together.
const std::string& convertedAlone(const std::string& character)
{
    static std::unordered_map<std::string, std::string> known;
    if (known.size() > 65536) {
        known.clear();
    }
    const auto [at, added] = known.try_emplace(character);
    if (added) {
        at->second = toWindows1252(character);
    }
    return at->second;
}

struct Mixed {
    std::string utf8;
    std::string expected; // its Windows-1252 bytes
};

// Text built from the fuzz bytes, character by character, with the bytes each
// character must become known in advance.
Mixed mixedText(std::string_view input)
{
    std::size_t at = 0;
    const auto next = [&]() -> unsigned {
        return at < input.size() ? static_cast<unsigned char>(input[at++]) : 0;
    };
    Mixed mixed;
    mixed.utf8.reserve(2 * input.size());
    mixed.expected.reserve(2 * input.size());
    while (at < input.size()) {
        const unsigned kind = next() % 6;
        const unsigned pick = next();
        if (kind == 0) {
            mixed.utf8 += static_cast<char>(pick & 0x7F);
            mixed.expected += static_cast<char>(pick & 0x7F);
        } else if (kind == 1) {
            const auto latin1 = static_cast<char32_t>(0xA0 + pick % 0x60);
            appendUtf8(latin1, mixed.utf8);
            mixed.expected += static_cast<char>(latin1);
        } else if (kind == 2) {
            const HighByte& high = kHighBytes[pick % std::size(kHighBytes)];
            mixed.utf8 += high.utf8;
            mixed.expected += static_cast<char>(high.byte);
        } else if (kind == 3) {
            mixed.utf8 += loneInvalidByte(pick);
            mixed.expected += '?';
        } else if (kind == 4) {
            const std::string_view run = kInvalidRuns[pick % std::size(kInvalidRuns)];
            mixed.utf8 += run;
            for (const char c : run) {
                mixed.expected += isAscii(c) ? c : '?';
            }
        } else {
            // What it becomes is not fixed (glibc writes Ǆ as "D" and Ž), only
            // that it is something, so it stands as it converts alone.
            const std::string character = characterOutside(pick, next(), next());
            const std::string& alone = convertedAlone(character);
            require(!alone.empty() && std::none_of(alone.begin(), alone.end(), isUndefinedByte),
                    "a character outside the code page becomes code page bytes");
            mixed.utf8 += character;
            mixed.expected += alone;
        }
    }
    return mixed;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const std::string bytes = toWindows1252(input);
    require(std::none_of(bytes.begin(), bytes.end(), isUndefinedByte),
            "no byte the code page leaves undefined is written");
    if (std::all_of(input.begin(), input.end(), isAscii)) {
        require(bytes == input, "ASCII passes unchanged");
    }

    // No sequence, valid or broken, reaches across an ASCII byte, so the text
    // converts the same in two pieces cut before one.
    std::size_t cut = size == 0 ? 0 : data[0] % (size + 1);
    while (cut < size && !isAscii(input[cut])) {
        ++cut;
    }
    require(toWindows1252(input.substr(0, cut)) + toWindows1252(input.substr(cut)) == bytes,
            "a cut before an ASCII byte changes nothing");

    std::string defined(input);
    std::erase_if(defined, isUndefinedByte);
    require(toWindows1252(fromWindows1252(defined)) == defined,
            "defined bytes survive fromWindows1252 and back");
    require(toWindows1252(fromWindows1252(bytes)) == bytes, "converting twice changes nothing");

    const Mixed mixed = mixedText(input);
    require(toWindows1252(mixed.utf8) == mixed.expected,
            "each character becomes its byte, each invalid byte a \"?\"");
    return 0;
}
