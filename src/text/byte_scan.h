#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

// Questions asked of every byte of a long text, answered eight bytes at a
// time: a loop over single bytes is most of the time of reading a class.
namespace byteScan
{

inline constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
inline constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

inline std::uint64_t word(const char* bytes)
{
    std::uint64_t w = 0;
    std::memcpy(&w, bytes, sizeof w);
    return w;
}

// Not zero when a byte of w is zero (which one is not told).
inline std::uint64_t zeroByte(std::uint64_t w)
{
    return (w - kOnes) & ~w & kHighBits;
}

// True when the text holds any of the bytes of `set`.
template <char... Set> bool holdsAny(std::string_view text)
{
    std::uint64_t found = 0;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        const std::uint64_t w = word(text.data() + i);
        found |= (zeroByte(w ^ (kOnes * static_cast<unsigned char>(Set))) | ...);
    }
    for (; i < text.size(); ++i) {
        found |= ((text[i] == Set) | ...);
    }
    return found != 0;
}

inline bool isAscii(std::string_view text)
{
    std::uint64_t high = 0;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        high |= word(text.data() + i);
    }
    for (; i < text.size(); ++i) {
        high |= static_cast<unsigned char>(text[i]);
    }
    return (high & kHighBits) == 0;
}

} // namespace byteScan
