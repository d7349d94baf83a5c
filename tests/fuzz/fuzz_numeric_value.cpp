#include "text/number_text.h"

#include <QString>

#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>

namespace
{

void require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// Bit equality, so a lost sign of zero shows as well.
bool same(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool startsNumberBody(const QString& text)
{
    return !text.isEmpty() && ((text[0] >= u'0' && text[0] <= u'9') || text[0] == u'.');
}

struct Reading {
    qsizetype end = 0;  // just past the number; 0 when there is none
    std::string number; // the same number as std::from_chars reads it
};

// The number the text begins with, scanned apart from numericValue: blanks,
// a sign, digits with an optional point, then an "E" or "D" exponent only if
// digits follow it.
Reading readNumber(QStringView text)
{
    const auto isDigit = [&](qsizetype i) {
        return i < text.size() && text[i] >= u'0' && text[i] <= u'9';
    };
    const auto isOneOf = [&](qsizetype i, QStringView set) {
        return i < text.size() && set.contains(text[i]);
    };
    const auto digitsFrom = [&](qsizetype& i) {
        std::string digits;
        for (; isDigit(i); ++i) {
            digits += static_cast<char>(text[i].unicode());
        }
        return digits;
    };

    qsizetype i = 0;
    while (isOneOf(i, u" \t")) {
        ++i;
    }
    Reading reading;
    if (isOneOf(i, u"+-")) {
        // from_chars takes no plus sign.
        if (text[i++] == u'-') {
            reading.number += '-';
        }
    }
    const std::string whole = digitsFrom(i);
    std::string fraction;
    if (isOneOf(i, u".")) {
        ++i;
        fraction = digitsFrom(i);
    }
    if (whole.empty() && fraction.empty()) {
        return {};
    }
    reading.number += (whole.empty() ? "0" : whole) + '.' + (fraction.empty() ? "0" : fraction);
    reading.end = i;
    if (isOneOf(i, u"EeDd")) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (isOneOf(j, u"+-")) {
            exponent += text[j++] == u'-' ? "-" : "";
        }
        if (const std::string digits = digitsFrom(j); !digits.empty()) {
            reading.number += exponent + digits;
            reading.end = j;
        }
    }
    return reading;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const double value = numericValue(text);
    require(std::isfinite(value), "the value is finite");

    require(same(numericValue(QStringLiteral(" \t ") + text), value), "leading blanks are skipped");

    // The value against a second reader of the same number: libstdc++'s
    // from_chars shares no code with the strtod behind numericValue.
    const Reading reading = readNumber(text);
    if (reading.end == 0) {
        require(same(value, 0.0), "no number reads 0");
    } else {
        double expected = 0.0;
        const char* first = reading.number.data();
        const char* last = first + reading.number.size();
        const auto [end, error] = std::from_chars(first, last, expected);
        require(end == last, "the reading is one whole number");
        if (error == std::errc::result_out_of_range) {
            // Too large reads 0; too small, 0 or what is left of it.
            require(std::fabs(value) < DBL_MIN, "a number out of range reads 0 or almost 0");
        } else {
            require(error == std::errc{} && same(value, expected), "the value is the number read");
        }
        require(same(numericValue(text.left(reading.end)), value),
                "what follows the number changes nothing");
    }

    // A character no number holds ends the reading wherever it stands, even
    // right after an "E" or a sign whose digits would follow.
    const qsizetype cut = text.isEmpty() ? 0 : static_cast<qsizetype>(data[0]) % (text.size() + 1);
    const QString head = text.left(cut);
    require(same(numericValue(head + u'x' + text.mid(cut)), numericValue(head)),
            "junk ends the number");

    // Rounding is symmetric, and an overflow reads 0 with either sign.
    if (startsNumberBody(text)) {
        require(numericValue(u'-' + text) == -value, "a minus sign negates");
        require(same(numericValue(u'+' + text), value), "a plus sign changes nothing");
    }

    // nextAssignmentNumber reads back what numberText wrote; 15 digits survive a
    // double for every normal number that does not round up past the largest.
    if (value == 0.0 || (std::fabs(value) >= DBL_MIN && std::fabs(value) <= 1e308)) {
        const QString written = numberText(value);
        require(numberText(numericValue(written)) == written, "numberText reads back");
    }
    return 0;
}
