#include "coding/line_coding.h"
#include "coding/program_random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{

using Codes = std::vector<int>;

const float kBelowOne = std::nextafter(1.0f, 0.0f);
const float kBelowPointOne = std::nextafter(0.1f, 0.0f);

Codes codesOf(std::string_view text)
{
    Codes codes;
    for (const char ch : text) {
        codes.push_back(static_cast<unsigned char>(ch));
    }
    return codes;
}

std::string textOf(const Codes& codes)
{
    std::string text;
    for (const int code : codes) {
        text += static_cast<char>(code);
    }
    return text;
}

Codes codeRange(int first, int last)
{
    Codes codes;
    for (int code = first; code <= last; ++code) {
        codes.push_back(code);
    }
    return codes;
}

struct MakeCase {
    const char* name;
    int codeNbr;
    std::vector<float> draws;
    Codes codes;
};

class MakeCodeLine : public testing::TestWithParam<MakeCase>
{
};

TEST_P(MakeCodeLine, TakesScriptedDrawsInOrder)
{
    const auto& param = GetParam();
    std::size_t next = 0;
    const auto draw = [&]() -> float {
        if (next == param.draws.size()) {
            ADD_FAILURE() << "drew past the script";
            return 0.0f;
        }
        return param.draws[next++];
    };
    EXPECT_EQ(codesOf(makeCodeLine(param.codeNbr, draw)), param.codes);
    EXPECT_EQ(next, param.draws.size());
}

INSTANTIATE_TEST_SUITE_P(
    Script, MakeCodeLine,
    testing::Values(MakeCase{"Zero", 0, {}, {}}, MakeCase{"Negative", -3, {}, {}},
                    MakeCase{"LowestCodes", 1, {0.05f, 0.0f, 0.0f}, {66, 118}},
                    MakeCase{"HighestCodes", 1, {0.0f, kBelowOne, kBelowOne}, {116, 255}},
                    MakeCase{"NoFillerTakesTwoDraws", 1, {0.5f, kBelowOne}, {255}},
                    MakeCase{"PointOneIsNotBelowPointOne", 1, {0.1f, 0.0f}, {118}},
                    MakeCase{
                        "JustBelowPointOneAddsFiller", 1, {kBelowPointOne, 0.0f, 0.0f}, {66, 118}},
                    MakeCase{"TieRoundsToEven", 1, {0.5f, 0.5f}, {186}},
                    MakeCase{"FillerTieRoundsToEven", 1, {0.0f, 0.25f, 0.0f}, {78, 118}},
                    MakeCase{"FillerTieNotAwayFromZero", 1, {0.0f, 0.01f, 0.0f}, {66, 118}},
                    MakeCase{"FillerComputedInFloat", 1, {0.0f, 0.03f, 0.0f}, {68, 118}},
                    MakeCase{"FillerDrawComesBeforeCodeDraw",
                             3,
                             {0.5f, 0.0f, 0.0f, 0.25f, 0.5f, 0.7f, kBelowOne},
                             {118, 78, 186, 255}}),
    [](const testing::TestParamInfo<MakeCase>& param) { return param.param.name; });

TEST(MakeCodeLineSeeded, HoldsCodeNbrCodesEachWithAtMostOneFiller)
{
    ProgramRandom random;
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
        random.seedFixed(seed);
        const Codes codes = codesOf(makeCodeLine(19, [&] { return random.draw(); }));
        ASSERT_GE(codes.size(), 19U);
        ASSERT_LE(codes.size(), 38U);
        ASSERT_EQ(std::count_if(codes.begin(), codes.end(), [](int c) { return c >= 118; }), 19);
        ASSERT_GE(codes.back(), 118);
        for (std::size_t i = 0; i < codes.size(); ++i) {
            ASSERT_GE(codes[i], 66) << "seed " << seed;
            ASSERT_NE(codes[i], 117) << "seed " << seed;
            if (codes[i] < 118) {
                ASSERT_GE(codes[i + 1], 118) << "two fillers in a row, seed " << seed;
            }
        }
    }
}

struct DecodeCase {
    const char* name;
    Codes line;
    int codeNbr;
    Codes text;
};

class Decode : public testing::TestWithParam<DecodeCase>
{
};

TEST_P(Decode, GivesExactText)
{
    EXPECT_EQ(codesOf(decode(textOf(GetParam().line), GetParam().codeNbr)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Decode,
    testing::Values(DecodeCase{"BlanksUnchanged", {32, 32}, 19, {32, 32}},
                    DecodeCase{"BlankUnchangedForAnyCodeNbr", {32}, 500, {32}},
                    DecodeCase{"FillersDropped", codeRange(66, 118), 19, {}},
                    DecodeCase{"PrintableFromCodeNbr19", codeRange(152, 245), 19,
                               codeRange(33, 126)},
                    DecodeCase{"HighCodesShiftDown", {119, 255}, 19, {0, 136}},
                    DecodeCase{"LowCodesShiftUp", {0, 31, 33, 65}, 19, {190, 221, 223, 255}},
                    DecodeCase{"HighCodeBelowZeroDropped", {119, 127, 128}, 28, {0}},
                    DecodeCase{"LowCodeAbove255Dropped", {64, 65}, 18, {255}},
                    DecodeCase{"NegativeCodeNbrAbove255Dropped", {0, 254, 255}, -101, {255}},
                    DecodeCase{"LargeCodeNbrBelowZeroDropped", {0, 1}, 210, {0}},
                    DecodeCase{"OrderKept", {152, 66, 32, 200, 0}, 19, {33, 32, 81, 190}}),
    [](const testing::TestParamInfo<DecodeCase>& param) { return param.param.name; });

TEST(CodeQueryTextEmpty, GivesNothing)
{
    EXPECT_EQ(codeQueryText(""), std::nullopt);
}

struct QueryCase {
    const char* name;
    std::string input;
    int codeNumber;
    std::string output;
};

class CodeQueryText : public testing::TestWithParam<QueryCase>
{
};

TEST_P(CodeQueryText, GivesCodeNumberAndLines)
{
    const auto coding = codeQueryText(GetParam().input);
    ASSERT_TRUE(coding.has_value());
    EXPECT_EQ(coding->codeNumber, GetParam().codeNumber);
    EXPECT_EQ(coding->output, GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(
    Files, CodeQueryText,
    testing::Values(QueryCase{"FirstLineSetsCodeNumber", "abc\r\nxyz", 3, "abc\r\nxyz\r\n"},
                    QueryCase{"LfLinesEndInCrLf", "ab\ncd\n", 2, "ab\r\ncd\r\n"},
                    QueryCase{"LoneLfIsOneEmptyLine", "\n", 0, "\r\n"},
                    QueryCase{"EmptyLinesKept", "\n\nx\n", 0, "\r\n\r\nx\r\n"},
                    QueryCase{"LoneCrsKept", "a\rb\nc\r", 3, "a\rb\r\nc\r\r\n"},
                    QueryCase{"AssignAnyCaseCopied", "ASSIGN 3\r\nAssignment x\n", 8,
                              "ASSIGN 3\r\nAssignment x\r\n"},
                    QueryCase{"QueryDropsSeventhCharacter", "query #abc\n", 10, "queryabc\r\n"},
                    QueryCase{"QueryAnyCase", "x\nQuErY  name\r\n", 1, "x\r\nqueryname\r\n"},
                    QueryCase{"QueryWithEmptyRest", "query \nquery x\n", 6, "query\r\nquery\r\n"},
                    QueryCase{"QueryWithoutBlankCopied", "query\nqueryx y\n", 5,
                              "query\r\nqueryx y\r\n"},
                    QueryCase{"QueryNotAtStartCopied", " query x\n", 8, " query x\r\n"}),
    [](const testing::TestParamInfo<QueryCase>& param) { return param.param.name; });

std::vector<float> drawsAfterSeed(double seconds, int count)
{
    ProgramRandom random;
    random.seed(seconds);
    std::vector<float> draws;
    for (int i = 0; i < count; ++i) {
        draws.push_back(random.draw());
    }
    return draws;
}

TEST(ProgramRandom, SameSeedSameSequence)
{
    EXPECT_EQ(drawsAfterSeed(45296.75, 50), drawsAfterSeed(45296.75, 50));
    ProgramRandom first;
    ProgramRandom second;
    first.seedFixed(7);
    second.seedFixed(7);
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(first.draw(), second.draw());
    }
}

TEST(ProgramRandom, FractionsOfASecondChangeSequence)
{
    const auto whole = drawsAfterSeed(45296.0, 8);
    EXPECT_NE(whole, drawsAfterSeed(45296.5, 8));
    EXPECT_NE(whole, drawsAfterSeed(45296.01, 8));
    EXPECT_NE(drawsAfterSeed(45296.5, 8), drawsAfterSeed(45296.01, 8));
}

TEST(ProgramRandom, DrawsStayInHalfOpenUnitInterval)
{
    for (const float r : drawsAfterSeed(0.0, 100000)) {
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
    }
}

struct CodeNumberCase {
    const char* name;
    float r;
    int codeNumber;
};

class CodeNumberFrom : public testing::TestWithParam<CodeNumberCase>
{
};

TEST_P(CodeNumberFrom, StaysWithin19To28)
{
    EXPECT_EQ(codeNumberFrom(GetParam().r), GetParam().codeNumber);
}

INSTANTIATE_TEST_SUITE_P(Draws, CodeNumberFrom,
                         testing::Values(CodeNumberCase{"Zero", 0.0f, 19},
                                         CodeNumberCase{"JustBelowPointOne", kBelowPointOne, 19},
                                         CodeNumberCase{"PointOne", 0.1f, 20},
                                         CodeNumberCase{"Half", 0.5f, 24},
                                         CodeNumberCase{"LargestBelowOne", kBelowOne, 28}),
                         [](const testing::TestParamInfo<CodeNumberCase>& param) {
                             return param.param.name;
                         });

} // namespace
