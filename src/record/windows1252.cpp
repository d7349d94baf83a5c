#include "record/windows1252.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <string>

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

struct AsciiForm {
    char32_t codePoint;
    std::string_view ascii;
};

// What students of this course type that the code page lacks, in the forms an
// instructor reads at a glance. Sorted by code point for the search below.
constexpr AsciiForm kAsciiForms[]{
    {0x2002, " "},           {0x2003, " "},        {0x2004, " "},        {0x2005, " "},
    {0x2006, " "},           {0x2007, " "},        {0x2008, " "},        {0x2009, " "},
    {0x200A, " "},           {0x2010, "-"},        {0x2011, "-"},        {0x2012, "-"},
    {0x2015, "-"},           {0x201B, "'"},        {0x201F, "\""},       {0x202F, " "},
    {0x2032, "'"},           {0x2033, "\""},       {0x2044, "/"},        {0x207A, "^+"},
    {0x207B, "^-"},          {0x207F, "^n"},       {0x2102, "C"},        {0x2115, "N"},
    {0x211A, "Q"},           {0x211D, "R"},        {0x2124, "Z"},        {0x2126, "Omega"},
    {0x2150, "1/7"},         {0x2151, "1/9"},      {0x2152, "1/10"},     {0x2153, "1/3"},
    {0x2154, "2/3"},         {0x2155, "1/5"},      {0x2156, "2/5"},      {0x2157, "3/5"},
    {0x2158, "4/5"},         {0x2159, "1/6"},      {0x215A, "5/6"},      {0x215B, "1/8"},
    {0x215C, "3/8"},         {0x215D, "5/8"},      {0x215E, "7/8"},      {0x2190, "<-"},
    {0x2192, "->"},          {0x2194, "<->"},      {0x21D2, "=>"},       {0x21D4, "<=>"},
    {0x2205, "{}"},          {0x2206, "Delta"},    {0x2208, " in "},     {0x2209, " not in "},
    {0x220F, "product"},     {0x2211, "sum"},      {0x2212, "-"},        {0x2213, "-+"},
    {0x2215, "/"},           {0x2217, "*"},        {0x2219, "*"},        {0x221A, "sqrt"},
    {0x221B, "cbrt"},        {0x221E, "infinity"}, {0x2220, "angle"},    {0x2223, "|"},
    {0x2229, " intersect "}, {0x222A, " U "},      {0x222B, "integral"}, {0x2234, "therefore"},
    {0x223C, "~"},           {0x2245, "~="},       {0x2248, "~="},       {0x2260, "!="},
    {0x2261, "=="},          {0x2264, "<="},       {0x2265, ">="},       {0x22C5, "*"},
    {0x22EF, "..."},
};

constexpr bool sortedByCodePoint()
{
    for (std::size_t i = 1; i < std::size(kAsciiForms); ++i) {
        if (kAsciiForms[i - 1].codePoint >= kAsciiForms[i].codePoint) {
            return false;
        }
    }
    return true;
}
static_assert(sortedByCodePoint());

// Greek letters by name, capitalised for the capital letters. The slot of the
// final sigma is empty among the capitals: no such code point.
constexpr std::array<std::string_view, 25> kGreek{
    "alpha", "beta",   "gamma",   "delta", "epsilon", "zeta",    "eta",  "theta", "iota",
    "kappa", "lambda", "mu",      "nu",    "xi",      "omicron", "pi",   "rho",   "sigma",
    "sigma", "tau",    "upsilon", "phi",   "chi",     "psi",     "omega"};
constexpr char32_t kCapitalAlpha = 0x0391;
constexpr char32_t kSmallAlpha = 0x03B1;
constexpr std::size_t kFinalSigma = 17;

bool appendGreek(char32_t codePoint, std::string& out)
{
    const bool capital = codePoint >= kCapitalAlpha && codePoint < kCapitalAlpha + kGreek.size() &&
                         codePoint - kCapitalAlpha != kFinalSigma;
    const bool small = codePoint >= kSmallAlpha && codePoint < kSmallAlpha + kGreek.size();
    if (!capital && !small) {
        return false;
    }
    const std::string_view name = kGreek[codePoint - (capital ? kCapitalAlpha : kSmallAlpha)];
    out += capital ? static_cast<char>(name[0] - 'a' + 'A') : name[0];
    out += name.substr(1);
    return true;
}

// Superscript and subscript digits as an exponent and an index. The code page
// has the superscripts one, two and three itself.
bool appendScriptDigit(char32_t codePoint, std::string& out)
{
    constexpr char32_t kSuperscriptZero = 0x2070;
    constexpr char32_t kSuperscriptFour = 0x2074;
    constexpr char32_t kSubscriptZero = 0x2080;
    if (codePoint == kSuperscriptZero ||
        (codePoint >= kSuperscriptFour && codePoint <= kSuperscriptZero + 9)) {
        out += '^';
        out += static_cast<char>('0' + (codePoint - kSuperscriptZero));
        return true;
    }
    if (codePoint >= kSubscriptZero && codePoint <= kSubscriptZero + 9) {
        out += '_';
        out += static_cast<char>('0' + (codePoint - kSubscriptZero));
        return true;
    }
    return false;
}

// Circled numbers one to twenty, as a numbered list: "(1)".
bool appendCircledNumber(char32_t codePoint, std::string& out)
{
    constexpr char32_t kCircledOne = 0x2460;
    if (codePoint < kCircledOne || codePoint >= kCircledOne + 20) {
        return false;
    }
    out += '(' + std::to_string(codePoint - kCircledOne + 1) + ')';
    return true;
}

void appendAsciiForm(char32_t codePoint, std::string& out)
{
    const auto* form =
        std::lower_bound(std::begin(kAsciiForms), std::end(kAsciiForms), codePoint,
                         [](const AsciiForm& f, char32_t c) { return f.codePoint < c; });
    if (form != std::end(kAsciiForms) && form->codePoint == codePoint) {
        out += form->ascii;
    } else if (!appendGreek(codePoint, out) && !appendScriptDigit(codePoint, out) &&
               !appendCircledNumber(codePoint, out)) {
        out += '?';
    }
}

} // namespace

std::string toWindows1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        const Decoded decoded = decodeUtf8(utf8);
        if (decoded.length == 0) {
            out += '?';
            utf8.remove_prefix(1);
            continue;
        }
        if (const auto byte = codePageByte(decoded.codePoint)) {
            out += *byte;
        } else {
            appendAsciiForm(decoded.codePoint, out);
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
