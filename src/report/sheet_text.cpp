#include "report/sheet_text.h"

#include "text/byte_scan.h"

#include <algorithm>

namespace
{

// Excel's most characters in a cell, counted as UTF-16 does.
constexpr std::size_t kCellChars = 32767;
constexpr std::string_view kCut = "\u2026 (cut: a cell holds 32767 characters)";

// The length of the UTF-8 sequence at the start of `text`, 0 when it is not
// one (overlong, a surrogate, past U+10FFFF or cut short).
std::size_t sequenceLength(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0 || length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
    }
    const unsigned char second = length > 1 ? byte(1) : 0x80;
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90)) {
        return 0;
    }
    return length;
}

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// What Excel reads of a text as a character of its own: "_x0041_" is "A".
bool isExcelEscape(std::string_view text)
{
    return text.size() >= 7 && text.starts_with("_x") &&
           std::all_of(text.begin() + 2, text.begin() + 6, isHex) && text[6] == '_';
}

} // namespace

// libxlsxwriter writes control characters as escapes itself.
const char* cellText(const std::string& text, std::string& scratch)
{
    if (text.size() <= kCellChars && byteScan::isAscii(text) &&
        !byteScan::holdsAny<'\0', '_'>(text)) {
        return text.c_str();
    }
    scratch.clear();
    std::size_t units = 0;
    for (std::string_view rest = text; !rest.empty();) {
        const std::size_t length = rest[0] == '\0' ? 0 : sequenceLength(rest);
        const bool escape = isExcelEscape(rest);
        const std::size_t size = (length == 4 ? 2 : 1) + (escape ? 6 : 0);
        if (units + size > kCellChars - kCut.size()) {
            scratch += kCut;
            break;
        }
        units += size;
        if (length == 0) {
            scratch += "\uFFFD";
            rest.remove_prefix(1);
            continue;
        }
        if (escape) {
            scratch += "_x005F";
        }
        scratch.append(rest.substr(0, length));
        rest.remove_prefix(length);
    }
    return scratch.c_str();
}

std::size_t readRow(std::string_view text, std::size_t at,
                    std::array<std::string, kCsvColumns>& fields)
{
    for (std::string& field : fields) {
        field.clear();
    }
    for (std::size_t column = 0; at < text.size(); ++column) {
        std::string& field = fields[std::min(column, kCsvColumns - 1)];
        if (text[at] == '"') {
            for (++at;;) {
                const std::size_t quote = text.find('"', at);
                field.append(text.substr(at, quote - at));
                at = quote == std::string_view::npos ? text.size() : quote + 1;
                if (at >= text.size() || text[at] != '"') {
                    break;
                }
                field += '"';
                ++at;
            }
        }
        const std::size_t end = std::min(text.find_first_of(",\r\n", at), text.size());
        field.append(text.substr(at, end - at));
        at = end;
        if (at == text.size()) {
            return at;
        }
        if (text[at] != ',') {
            return at + (text.compare(at, 2, "\r\n") == 0 ? 2 : 1);
        }
        ++at;
    }
    return at;
}

bool readTriple(std::string_view text, std::size_t width, char separator, int& a, int& b, int& c)
{
    const std::size_t size = width + 6;
    if (text.size() != size || text[width] != separator || text[width + 3] != separator) {
        return false;
    }
    int* parts[] = {&a, &b, &c};
    std::size_t at = 0;
    for (int* part : parts) {
        const std::size_t digits = part == &a ? width : 2;
        *part = 0;
        for (std::size_t i = 0; i < digits; ++i, ++at) {
            if (text[at] < '0' || text[at] > '9') {
                return false;
            }
            *part = *part * 10 + (text[at] - '0');
        }
        ++at;
    }
    return true;
}
