#include "record/windows1252.h"

#include <algorithm>
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

bool isUndefinedByte(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

bool isAscii(char c)
{
    return static_cast<unsigned char>(c) < 0x80;
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
    return 0;
}
