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

TEST(FromWindows1252, EveryDefinedByteRoundTrips)
{
    for (int byte = 0; byte < 256; ++byte) {
        const std::string original(1, static_cast<char>(byte));
        const bool undefined =
            byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
        EXPECT_EQ(toWindows1252(fromWindows1252(original)), undefined ? "?" : original) << byte;
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
};

TEST_P(TornLock, IsRemovedOnlyWhenEmptyAndHeldByNoRun)
{
    const auto& bytes = GetParam().bytes;
    const FilePath lock = path(".qa-tutor-Ann.lock");
    if (bytes) {
        withContents(".qa-tutor-Ann.lock", *bytes);
    } else {
        std::filesystem::create_directory(lock);
    }
    std::optional<HeldLock> holder;
    if (GetParam().held) {
        holder.emplace(lock);
    }
    EXPECT_EQ(systemFiles().removeTornLock(lock), GetParam().removed);
    EXPECT_EQ(std::filesystem::exists(lock), !GetParam().removed);
    EXPECT_FALSE(systemFiles().removeTornLock(path("missing.lock")));
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
