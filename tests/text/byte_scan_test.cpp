#include "text/byte_scan.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

bool needsQuotes(std::string_view text)
{
    return byteScan::holdsAny<',', '"', '\r', '\n'>(text);
}

struct ScanCase {
    const char* name;
    std::string text;
    bool special;
    bool ascii;
};

class ByteScan : public testing::TestWithParam<ScanCase>
{
};

TEST_P(ByteScan, FindsWhatALoopOverEachByteFinds)
{
    EXPECT_EQ(needsQuotes(GetParam().text), GetParam().special);
    EXPECT_EQ(byteScan::isAscii(GetParam().text), GetParam().ascii);
}

INSTANTIATE_TEST_SUITE_P(
    Text, ByteScan,
    testing::Values(ScanCase{"Empty", "", false, true},
                    ScanCase{"AComma", "x = 2 and y = 1, checked", true, true},
                    ScanCase{"NoneOfThem", "x = 2 and y = 1; checked in both", false, true},
                    ScanCase{"QuoteInTheTail", "0123456789abcdef\"", true, true},
                    ScanCase{"LineFeedFirst", "\nabcdefgh", true, true},
                    ScanCase{"CarriageReturnLast", "abcdefgh\r", true, true},
                    // Bytes one away from those looked for, and a high byte
                    // that is one of them less 0x80.
                    ScanCase{"Neighbours", "+-!#\x0b\x0c\x09\x0e", false, true},
                    ScanCase{"HighByteLikeAComma",
                             "abc\xAC"
                             "defgh",
                             false, false},
                    ScanCase{"NonBreakingSpace", "a\xA0" "b", false, false},
                    ScanCase{"HighByteAfterEight", "abcdefgh\xE9", false, false}),
    [](const auto& param) { return std::string(param.param.name); });

// Every place in a word and in the tail after the last whole word.
TEST(ByteScanAt, EveryPlaceOfTextsUpToThreeWordsLong)
{
    for (std::size_t size = 1; size <= 25; ++size) {
        for (std::size_t at = 0; at < size; ++at) {
            for (const char c : {',', '"', '\r', '\n'}) {
                std::string text(size, 'a');
                text[at] = c;
                EXPECT_TRUE(needsQuotes(text)) << size << ' ' << at << ' ' << int(c);
            }
            std::string high(size, 'a');
            high[at] = '\x80';
            EXPECT_FALSE(byteScan::isAscii(high)) << size << ' ' << at;
            EXPECT_FALSE(needsQuotes(high)) << size << ' ' << at;
        }
    }
}

} // namespace
