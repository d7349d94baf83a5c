// The code page and the record files, the same on every system: this file
// runs on Linux and, cross-built, on Windows.
#include "record/file_layer.h"
#include "record/windows1252.h"
#include "record_files_fixture.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <set>

namespace
{

using namespace std::string_literals;

struct ConversionCase {
    const char* name;
    std::string utf8;
    std::string expected;
};

using ToWindows1252 = testing::TestWithParam<ConversionCase>;

TEST_P(ToWindows1252, GivesExactBytes)
{
    EXPECT_EQ(hex(toWindows1252(GetParam().utf8)), hex(GetParam().expected));
}

TEST_P(ToWindows1252, HighBytesOnlyForCharactersOfTheInput)
{
    for (const char c : toWindows1252(GetParam().utf8)) {
        if (static_cast<unsigned char>(c) > 0x7F) {
            const std::string character = fromWindows1252(std::string(1, c));
            EXPECT_EQ(toWindows1252(character), std::string(1, c)) << hex(std::string(1, c));
            EXPECT_NE(GetParam().utf8.find(character), std::string::npos) << hex(character);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    InTheCodePage, ToWindows1252,
    testing::Values(
        ConversionCase{"Empty", "", ""},
        ConversionCase{"AsciiAndControlsUnchanged", "x^2\t\x01\x1B\x7F\0\r\ny\rz\n"s,
                       "x^2\t\x01\x1B\x7F\0\r\ny\rz\n"s},
        ConversionCase{"EAcute", "caf\u00E9", "caf\xE9"},
        ConversionCase{"Euro", "5 \u20AC", "5 \x80"},
        ConversionCase{"CurlyQuotesAndDashes", "\u201Cx\u201D \u2018y\u2019 \u2013\u2014",
                       "\x93x\x94 \x91y\x92 \x96\x97"},
        ConversionCase{"SuperscriptsOneTwoThree", "x\u00B9\u00B2\u00B3", "x\xB9\xB2\xB3"},
        ConversionCase{"HalfQuarterDegreePlusMinus", "\u00BD \u00BC 90\u00B0 \u00B1",
                       "\xBD \xBC 90\xB0 \xB1"},
        ConversionCase{"TimesDivideMiddleDot", "3\u00D7 4\u00F7 2\u00B7 a", "3\xD7 4\xF7 2\xB7 a"},
        ConversionCase{"MicroSignAndNoBreakSpace", "5\u00A0\u00B5m", "5\xA0\xB5m"}),
    [](const testing::TestParamInfo<ConversionCase>& param) { return param.param.name; });

INSTANTIATE_TEST_SUITE_P(
    AsciiForms, ToWindows1252,
    testing::Values(
        ConversionCase{"SquareRoot", "\u221A(x+1)", "sqrt(x+1)"},
        ConversionCase{"CubeRoot", "\u221B8", "cbrt8"}, ConversionCase{"Pi", "2\u03C0r", "2pir"},
        ConversionCase{"Comparisons", "a\u2264b\u2265c\u2260d\u2248e\u2245f\u2261g",
                       "a<=b>=c!=d~=e~=f==g"},
        ConversionCase{"Infinity", "(2, \u221E)", "(2, infinity)"},
        ConversionCase{"Arrows", "x\u21921 y\u2190z a\u2194b p\u21D2q p\u21D4q",
                       "x->1 y<-z a<->b p=>q p<=>q"},
        ConversionCase{"MinusSignAsHyphen", "\u22121 \u2213 \u2010\u2011\u2012\u2015",
                       "-1 -+ ----"},
        ConversionCase{"SuperscriptsOutsideTheCodePage",
                       "x\u2070\u2074\u2075\u2076\u2077\u2078\u2079", "x^0^4^5^6^7^8^9"},
        ConversionCase{"SuperscriptSignsAndN", "e\u207Ax\u207B\u207F", "e^+x^-^n"},
        ConversionCase{"Subscripts", "x\u2080\u2081\u2082\u2089", "x_0_1_2_9"},
        ConversionCase{"GreekSmall",
                       "\u03B1 \u03B2 \u03B3 \u03B4 \u03B5 \u03B6 \u03B7 \u03B8 \u03B9 \u03BA "
                       "\u03BB \u03BC \u03BD \u03BE \u03BF \u03C0 \u03C1 \u03C2 \u03C3 \u03C4 "
                       "\u03C5 \u03C6 \u03C7 \u03C8 \u03C9",
                       "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu nu "
                       "xi omicron pi rho sigma sigma tau upsilon phi chi psi omega"},
        ConversionCase{"GreekCapital",
                       "\u0391 \u0392 \u0393 \u0394 \u0395 \u0396 \u0397 \u0398 \u0399 \u039A "
                       "\u039B \u039C \u039D \u039E \u039F \u03A0 \u03A1 \u03A3 \u03A4 \u03A5 "
                       "\u03A6 \u03A7 \u03A8 \u03A9",
                       "Alpha Beta Gamma Delta Epsilon Zeta Eta Theta Iota Kappa Lambda Mu Nu "
                       "Xi Omicron Pi Rho Sigma Tau Upsilon Phi Chi Psi Omega"},
        ConversionCase{"GreekLookalikes", "\u2206x \u2126", "Deltax Omega"},
        ConversionCase{"NoCapitalFinalSigma", "\u03A2", "?"},
        ConversionCase{"Fractions",
                       "\u2150 \u2151 \u2152 \u2153 \u2154 \u2155 \u2156 \u2157 \u2158 \u2159 "
                       "\u215A \u215B \u215C \u215D \u215E",
                       "1/7 1/9 1/10 1/3 2/3 1/5 2/5 3/5 4/5 1/6 5/6 1/8 3/8 5/8 7/8"},
        ConversionCase{"FractionSlashes", "1\u20442 1\u22152", "1/2 1/2"},
        ConversionCase{"Products", "a\u22C5b\u2219c\u2217d", "a*b*c*d"},
        ConversionCase{"Primes", "f\u2032(x) f\u2033(x) \u201Bq\u201F", "f'(x) f\"(x) 'q\""},
        ConversionCase{"Spaces", "a\u2009b\u2002c\u2003d\u202Fe\u2007f", "a b c d e f"},
        ConversionCase{"SumProductIntegral", "\u2211\u220F\u222B", "sumproductintegral"},
        ConversionCase{"Sets", "x\u2208\u211D, y\u2209\u2124, \u2115\u211A\u2102, \u2205",
                       "x in R, y not in Z, NQC, {}"},
        ConversionCase{"UnionIntersection", "A\u222AB\u2229C", "A U B intersect C"},
        ConversionCase{"AngleTherefore", "\u2220A \u2234 \u223C \u2223 \u22EF",
                       "angleA therefore ~ | ..."},
        ConversionCase{"CircledNumbers", "\u2460\u2461\u2473", "(1)(2)(20)"}),
    [](const testing::TestParamInfo<ConversionCase>& param) { return param.param.name; });

INSTANTIATE_TEST_SUITE_P(
    QuestionMarks, ToWindows1252,
    testing::Values(ConversionCase{"EmojiIsOneQuestionMark", "a\U0001F600b", "a?b"},
                    ConversionCase{"CjkOneQuestionMarkEach", "\u4E2D\u6587", "??"},
                    ConversionCase{"CombiningAcuteUnknown", "e\u0301", "e?"},
                    ConversionCase{"ZeroWidthSpace", "a\u200Bb", "a?b"},
                    ConversionCase{"LatinOutsideTheCodePage", "\u0101\u0107", "??"},
                    ConversionCase{"NeighboursOfTheForms",
                                   "\u2201\u2263\u2266\u245F\u2474\u0390\u03CA\u2071\u208A",
                                   "?????????"},
                    ConversionCase{"C1ControlNotInCodePage", "\u0081\u009D", "??"},
                    ConversionCase{"TruncatedAtEnd", "\xE2\x88", "??"},
                    ConversionCase{"TruncatedBeforeAscii", "\xE2x", "?x"},
                    ConversionCase{"Overlong", "\xC0\xAF", "??"},
                    ConversionCase{"Surrogate", "\xED\xA0\x80", "???"},
                    ConversionCase{"AboveUnicode", "\xF4\x90\x80\x80", "????"},
                    ConversionCase{"AlreadyWindows1252", "caf\xE9", "caf?"}),
    [](const testing::TestParamInfo<ConversionCase>& param) { return param.param.name; });

TEST(ToWindows1252Locale, SameUnderAUtf8ProcessLocale)
{
    const std::string text = "\u03C0 \u2260 \u01C5 e\u0301 \u2212 \u2074";
    const std::string inC = toWindows1252(text);
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) {
        GTEST_SKIP() << "no C.UTF-8 locale";
    }
    const std::string inUtf8 = toWindows1252(text);
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(hex(inUtf8), hex(inC));
}

// The code page's chart, byte by byte. The five bytes it leaves undefined
// are read as their Latin-1 code points, and the writer has no byte for those.
// clang-format off
constexpr char32_t kCodePage[256] = {
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,
    0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F,
    0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F,
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F,
    0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F,
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F,
    0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F,
    0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 0x7E, 0x7F,
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF,
    0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF,
    0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF,
    0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF,
    0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF,
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF,
};
// clang-format on

bool isUndefinedByte(int byte)
{
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

// Written here rather than taken from the converter under test.
std::string utf8Of(char32_t codePoint)
{
    const auto unit = [](char32_t bits) { return static_cast<char>(bits); };
    if (codePoint < 0x80) {
        return std::string(1, unit(codePoint));
    }
    if (codePoint < 0x800) {
        return {unit(0xC0 | (codePoint >> 6)), unit(0x80 | (codePoint & 0x3F))};
    }
    return {unit(0xE0 | (codePoint >> 12)), unit(0x80 | ((codePoint >> 6) & 0x3F)),
            unit(0x80 | (codePoint & 0x3F))};
}

TEST(FromWindows1252, EveryDefinedByteRoundTrips)
{
    for (int byte = 0; byte < 256; ++byte) {
        const std::string original(1, static_cast<char>(byte));
        EXPECT_EQ(toWindows1252(fromWindows1252(original)), isUndefinedByte(byte) ? "?" : original)
            << byte;
    }
}

TEST(FromWindows1252, GivesEachByteItsCharacterInTheCodePagesChart)
{
    for (int byte = 0; byte < 256; ++byte) {
        const std::string original(1, static_cast<char>(byte));
        const std::string character = utf8Of(kCodePage[byte]);
        EXPECT_EQ(hex(fromWindows1252(original)), hex(character)) << byte;
        EXPECT_EQ(hex(toWindows1252(character)), hex(isUndefinedByte(byte) ? "?" : original))
            << byte;
    }
}

TEST(FromWindows1252, UndefinedBytesKeepTheirLatin1CodePoints)
{
    EXPECT_EQ(fromWindows1252("\x80\x81\x8D\x8F\x90\x9D\x9F"),
              "\u20AC\u0081\u008D\u008F\u0090\u009D\u0178");
}

TEST_F(RecordFiles, AppendKeepsEarlierBytesCreatesMissingFilesInOrder)
{
    const FilePath master = withContents("master", earlier_);
    const auto result = systemFiles().appendRuns({{master, "one\0\x93\r\n"s},
                                                  {path("send"), "s"},
                                                  {path("notes"), ""},
                                                  {master, "two\r\n"}});
    EXPECT_EQ(result, std::nullopt);
    EXPECT_EQ(hex(*contents(master)), hex(earlier_ + "one\0\x93\r\ntwo\r\n"s));
    EXPECT_EQ(contents(path("send")), "s");
    EXPECT_EQ(contents(path("notes")), "");
}

struct FailureCase {
    const char* name;
    std::string badName;
    FileFault fault;
};

class AppendOpenFailure : public RecordFiles, public testing::WithParamInterface<FailureCase>
{
};

TEST_P(AppendOpenFailure, ReportsPathAndTouchesNoFile)
{
    std::filesystem::create_directory(path("folder"));
    const FilePath kept = withContents("kept", earlier_);
    const FilePath readOnly = withContents("read-only", earlier_);
    std::filesystem::permissions(
        readOnly, std::filesystem::perms::all & ~std::filesystem::perms::owner_write &
                      ~std::filesystem::perms::group_write & ~std::filesystem::perms::others_write);
    if (GetParam().fault == FileFault::ReadOnly && std::ofstream(readOnly, std::ios::app)) {
        GTEST_SKIP() << "this process may write a read-only file (root on Linux)";
    }
    const FilePath bad = path(GetParam().badName);
    const auto failure = systemFiles().appendRuns({{kept, "x"}, {path("fresh"), "y"}, {bad, "z"}});
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->path, bad);
    EXPECT_TRUE(isSystemReason(failure->reason, GetParam().fault));
    EXPECT_EQ(contents(kept), earlier_);
    EXPECT_EQ(contents(readOnly), earlier_);
    EXPECT_FALSE(std::filesystem::exists(path("fresh")));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, AppendOpenFailure,
    testing::Values(FailureCase{"InMissingFolder", "missing/file", FileFault::MissingFolder},
                    FailureCase{"IsAFolder", "folder", FileFault::IsAFolder},
                    FailureCase{"UnderAFile", "kept/file", FileFault::UnderAFile},
                    FailureCase{"NameTooLong", std::string(300, 'n'), FileFault::NameTooLong},
                    FailureCase{"ReadOnlyFile", "read-only", FileFault::ReadOnly}),
    [](const testing::TestParamInfo<FailureCase>& param) { return param.param.name; });

struct UndoCase {
    const char* name;
    std::optional<std::string> earlier;
};

class UndoAfterFailure : public RecordFiles, public testing::WithParamInterface<UndoCase>
{
};

TEST_P(UndoAfterFailure, RestoresTheMarkedContents)
{
    const auto& earlier = GetParam().earlier;
    const FilePath file = earlier ? withContents("file", *earlier) : path("file");
    const auto marks = systemFiles().markFiles({file});
    ASSERT_EQ(systemFiles().appendRuns({{file, "a run the click wrote\r\n"}}), std::nullopt);
    systemFiles().restoreFiles(marks);
    EXPECT_EQ(contents(file), earlier);
}

INSTANTIATE_TEST_SUITE_P(
    Files, UndoAfterFailure,
    testing::Values(UndoCase{"ExistingFileKeepsItsBytes", "earlier\r\n\0\xFF"s},
                    UndoCase{"EmptyFileStaysEmpty", ""},
                    UndoCase{"NewFileIsRemoved", std::nullopt}),
    [](const testing::TestParamInfo<UndoCase>& param) { return param.param.name; });

struct NameCase {
    const char* name;
    std::string fileName; // UTF-8
};

class NonAsciiName : public RecordFiles, public testing::WithParamInterface<NameCase>
{
};

TEST_P(NonAsciiName, FileNameHoldsEveryCharacter)
{
    const FilePath file = path(GetParam().fileName);
    ASSERT_EQ(systemFiles().appendRuns({{file, "one\r\n"}, {file, "two\r\n"}}), std::nullopt);
    EXPECT_EQ(std::get<std::string>(systemFiles().readFile(file)), "one\r\ntwo\r\n");
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
        const std::u8string name = entry.path().filename().u8string();
        names.emplace(name.begin(), name.end());
    }
    EXPECT_EQ(names, std::set<std::string>{GetParam().fileName});
    const auto marks = systemFiles().markFiles({file});
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].size, 10u);
}

INSTANTIATE_TEST_SUITE_P(
    Students, NonAsciiName,
    testing::Values(NameCase{"AccentAndTilde", "send_0416Jos\u00E9_N\u00FA\u00F1ez.txt"},
                    NameCase{"Cjk", "notes_\u738B\u5C0F\u660E.txt"},
                    NameCase{"OutsideTheCodePage", "masterFile_\u0141ukasz_\u0160\u0103n.txt"}),
    [](const testing::TestParamInfo<NameCase>& param) { return param.param.name; });

TEST_F(RecordFiles, AppendsWhileAnotherProgramReadsTheFile)
{
    const FilePath send = withContents("send", earlier_);
    std::ifstream reader(send, std::ios::binary);
    ASSERT_TRUE(reader);
    // From where the last read ended: a stream at its end keeps no promise to
    // see what was appended after it.
    std::streamoff at = 0;
    const auto readRest = [&reader, &at] {
        reader.clear();
        reader.seekg(at);
        std::string rest(std::istreambuf_iterator<char>(reader), {});
        at += static_cast<std::streamoff>(rest.size());
        return rest;
    };
    EXPECT_EQ(readRest(), earlier_);
    ASSERT_EQ(systemFiles().appendRuns({{send, "first\r\n"}}), std::nullopt);
    EXPECT_EQ(readRest(), "first\r\n");
    ASSERT_EQ(systemFiles().appendRuns({{send, "second\r\n"}}), std::nullopt);
    EXPECT_EQ(readRest(), "second\r\n");
    EXPECT_EQ(std::get<std::string>(systemFiles().readFile(send)),
              earlier_ + "first\r\nsecond\r\n");
}

TEST_F(RecordFiles, ReplaceEmptiesLongerFile)
{
    const FilePath query = withContents("query", earlier_);
    EXPECT_EQ(systemFiles().replaceFile(query, "new\r\n"), std::nullopt);
    EXPECT_EQ(contents(query), "new\r\n");
    const auto failure = systemFiles().replaceFile(path("missing/query"), "x");
    ASSERT_TRUE(failure.has_value());
    EXPECT_TRUE(isSystemReason(failure->reason, FileFault::MissingFolder));
}

TEST_F(RecordFiles, ReadGivesEveryByte)
{
    const std::string large = earlier_ + std::string(200000, 'L') + "\xE9";
    EXPECT_EQ(std::get<std::string>(systemFiles().readFile(withContents("large", large))), large);
    EXPECT_EQ(std::get<std::string>(systemFiles().readFile(withContents("empty", ""))), "");
}

TEST_F(RecordFiles, ReadFailures)
{
    const auto missing = std::get<FileFailure>(systemFiles().readFile(path("missing")));
    EXPECT_EQ(missing.path, path("missing"));
    EXPECT_TRUE(isSystemReason(missing.reason, FileFault::MissingFile));
    EXPECT_TRUE(isSystemReason(std::get<FileFailure>(systemFiles().readFile(folder_)).reason,
                               FileFault::IsAFolder));
}

struct TornLockCase {
    const char* name;
    std::optional<std::string> bytes; // none: a folder of that name
    bool held;
    bool removed;
};

void PrintTo(const TornLockCase& c, std::ostream* os)
{
    *os << c.name;
}

class TornLock : public RecordFiles, public testing::WithParamInterface<TornLockCase>
{
protected:
    // The lock as the case leaves it, held while the test lasts if its run holds it.
    FilePath leaveLock()
    {
        const auto& bytes = GetParam().bytes;
        const FilePath lock = path(".qa-tutor-Ann.lock");
        if (bytes) {
            withContents(".qa-tutor-Ann.lock", *bytes);
        } else {
            std::filesystem::create_directory(lock);
        }
        if (GetParam().held) {
            holder_.emplace(lock);
        }
        return lock;
    }
    // Windows removes no folder while a file in it is held open.
    void TearDown() override
    {
        holder_.reset();
        RecordFiles::TearDown();
    }

    std::optional<HeldLock> holder_;
};

TEST_P(TornLock, IsRemovedOnlyWhenEmptyAndHeldByNoRun)
{
    const FilePath lock = leaveLock();
    EXPECT_EQ(systemFiles().removeTornLock(lock), GetParam().removed);
    EXPECT_EQ(std::filesystem::exists(lock), !GetParam().removed);
    EXPECT_FALSE(systemFiles().removeTornLock(path("missing.lock")));
}

// Hidden, by its run or by none, a lock keeps its bytes and is removed or
// kept as before.
TEST_P(TornLock, HiddenKeepsItsBytesAndItsRemoval)
{
    const FilePath lock = leaveLock();
    if (const auto& bytes = GetParam().bytes) {
        EXPECT_TRUE(systemFiles().hideLock(lock));
        EXPECT_TRUE(hiddenFromTheStudent(lock));
        EXPECT_EQ(contents(lock), *bytes);
    }
    EXPECT_EQ(systemFiles().removeTornLock(lock), GetParam().removed);
    EXPECT_EQ(std::filesystem::exists(lock), !GetParam().removed);
    EXPECT_FALSE(systemFiles().hideLock(path(".missing.lock")));
}

INSTANTIATE_TEST_SUITE_P(
    Locks, TornLock,
    testing::Values(TornLockCase{"EmptyAndHeldByNoRun", "", false, true},
                    TornLockCase{"EmptyWhileItsRunHoldsIt", "", true, false},
                    TornLockCase{"NamingItsProcess", "4242\nqa-tutor\nhost\n", false, false},
                    TornLockCase{"NamingItsProcessWhileHeld", "4242\nqa-tutor\n", true, false},
                    TornLockCase{"AFolder", std::nullopt, false, false}),
    [](const testing::TestParamInfo<TornLockCase>& param) { return param.param.name; });

} // namespace
