#include "record/windows1252.h"

#include <array>
#include <optional>

#include <iconv.h>
#include <locale.h>

namespace
{

// Code points of bytes 0x80-0x9F; the five undefined bytes keep their Latin-1 value.
constexpr std::array<char32_t, 32> kHighBytes{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<char> codePageByte(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<char>(codePoint);
    }
    // Only code points above 0xFF may match, so the undefined five never do.
    for (std::size_t i = 0; codePoint > 0xFF && i < kHighBytes.size(); ++i) {
        if (kHighBytes[i] == codePoint) {
            return static_cast<char>(0x80 + i);
        }
    }
    return std::nullopt;
}

struct Decoded {
    char32_t codePoint = 0;
    std::size_t length = 0; // 0: the first byte starts no valid sequence
};

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
Decoded decodeUtf8(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) {
        return {lead, 1};
    }
    std::size_t length = 0;
    char32_t codePoint = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0Fu;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07u;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return {};
    }
    if (text.size() < length) {
        return {};
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < low || byte > high) {
            return {};
        }
        low = 0x80;
        high = 0xBF;
        codePoint = (codePoint << 6) | (byte & 0x3Fu);
    }
    return {codePoint, length};
}

// Up to U+FFFF, which covers every character of the code page.
void appendUtf8(char32_t codePoint, std::string& out)
{
    const auto put = [&out](char32_t bits) { out += static_cast<char>(bits); };
    if (codePoint < 0x80) {
        put(codePoint);
    } else if (codePoint < 0x800) {
        put(0xC0 | (codePoint >> 6));
        put(0x80 | (codePoint & 0x3F));
    } else {
        put(0xE0 | (codePoint >> 12));
        put(0x80 | ((codePoint >> 6) & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    }
}

// glibc transliterates by the thread's LC_CTYPE; pinning one locale makes the
// result the same under any process locale. C.UTF-8 knows the better forms for
// mathematics ("!=" for the not-equal sign, "?" rather than a Latin letter for
// a Greek one); the built-in "C" stands in where it is not installed.
class Transliterator
{
public:
    Transliterator() : cd_(iconv_open("WINDOWS-1252//TRANSLIT", "UTF-8"))
    {
        static const locale_t cLocale = [] {
            const locale_t utf8 = newlocale(LC_ALL_MASK, "C.UTF-8", locale_t{});
            return utf8 != locale_t{} ? utf8 : newlocale(LC_ALL_MASK, "C", locale_t{});
        }();
        if (cLocale != locale_t{}) {
            previous_ = uselocale(cLocale);
        }
    }
    ~Transliterator()
    {
        if (previous_ != locale_t{}) {
            uselocale(previous_);
        }
        if (cd_ != kNoConversion) {
            iconv_close(cd_);
        }
    }
    Transliterator(const Transliterator&) = delete;
    Transliterator& operator=(const Transliterator&) = delete;

    // One character at a time, so a character iconv rejects costs only itself.
    void append(std::string_view character, std::string& out)
    {
        std::array<char, 256> buffer{};
        char* in = const_cast<char*>(character.data());
        std::size_t inLeft = character.size();
        char* next = buffer.data();
        std::size_t outLeft = buffer.size();
        const bool converted = cd_ != kNoConversion &&
                               iconv(cd_, &in, &inLeft, &next, &outLeft) != kIconvFailed &&
                               inLeft == 0 && next != buffer.data();
        if (converted) {
            out.append(buffer.data(), next);
        } else {
            out += '?';
        }
        if (cd_ != kNoConversion) {
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
    }

private:
    static inline const iconv_t kNoConversion = reinterpret_cast<iconv_t>(-1);
    static constexpr std::size_t kIconvFailed = static_cast<std::size_t>(-1);
    iconv_t cd_;
    locale_t previous_{};
};

constexpr char32_t kMinusSign = 0x2212;

} // namespace

std::string toWindows1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::optional<Transliterator> transliterator;
    while (!utf8.empty()) {
        const Decoded decoded = decodeUtf8(utf8);
        if (decoded.length == 0) {
            out += '?';
            utf8.remove_prefix(1);
            continue;
        }
        if (const auto byte = codePageByte(decoded.codePoint)) {
            out += *byte;
        } else if (decoded.codePoint == kMinusSign) {
            // In a mathematics answer the minus sign is a hyphen, not a dash.
            out += '-';
        } else {
            if (!transliterator) {
                transliterator.emplace();
            }
            transliterator->append(utf8.substr(0, decoded.length), out);
        }
        utf8.remove_prefix(decoded.length);
    }
    return out;
}

std::string fromWindows1252(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        appendUtf8(byte >= 0x80 && byte <= 0x9F ? kHighBytes[byte - 0x80] : byte, out);
    }
    return out;
}
