#include "text/number_text.h"

#include <QString>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const double value = numericValue(text);
    require(std::isfinite(value), "the value is finite");

    require(same(numericValue(QStringLiteral(" \t ") + text), value), "leading blanks are skipped");

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
