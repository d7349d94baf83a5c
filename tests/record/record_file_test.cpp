#include "record/file_layer.h"
#include "record/windows1252.h"

#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

using namespace std::string_literals;

std::string hex(std::string_view bytes)
{
    std::string out;
    for (const char c : bytes) {
        constexpr const char* digits = "0123456789ABCDEF";
        const auto byte = static_cast<unsigned char>(c);
        out += {digits[byte >> 4], digits[byte & 0xF], ' '};
    }
    return out;
}

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
    Text, ToWindows1252,
    testing::Values(ConversionCase{"Empty", "", ""},
                    ConversionCase{"AsciiAndControlsUnchanged", "x^2\t\x01\x1B\x7F\0\r\ny\rz\n"s,
                                   "x^2\t\x01\x1B\x7F\0\r\ny\rz\n"s},
                    ConversionCase{"EAcute", "caf\u00E9", "caf\xE9"},
                    ConversionCase{"Euro", "5 \u20AC", "5 \x80"},
                    ConversionCase{"CurlyQuotes", "\u201Cx\u201D", "\x93x\x94"},
                    ConversionCase{"SquareRootUnknown", "\u221A2", "?2"},
                    ConversionCase{"RightArrowAsAscii", "x\u21921", "x->1"},
                    ConversionCase{"MinusSignAsHyphen", "\u22121", "-1"},
                    ConversionCase{"GreekLetterUnknown", "2\u03C0", "2?"},
                    ConversionCase{"NotEqualAsAscii", "a\u2260b", "a!=b"},
                    ConversionCase{"EmojiIsOneQuestionMark", "a\U0001F600b", "a?b"},
                    ConversionCase{"CjkOneQuestionMarkEach", "\u4E2D\u6587", "??"},
                    ConversionCase{"CombiningAcuteUnknown", "e\u0301", "e?"},
                    ConversionCase{"ZeroWidthSpaceGivesNothingSoQuestionMark", "a\u200Bb", "a?b"},
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

class RecordFiles : public testing::Test
{
protected:
    void SetUp() override
    {
        std::string name = testing::TempDir() + "record_file.XXXXXX";
        ASSERT_NE(mkdtemp(name.data()), nullptr);
        folder_ = name;
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string path(const std::string& name) const { return folder_ + "/" + name; }
    std::string withContents(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }
    static std::optional<std::string> contents(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            return std::nullopt;
        }
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    const std::string earlier_ = "earlier\r\n\0\xFF\x81 no line end"s;
    std::string folder_;
};

TEST_F(RecordFiles, AppendKeepsEarlierBytesCreatesMissingFilesInOrder)
{
    const std::string master = withContents("master", earlier_);
    const mode_t previousMask = umask(022);
    const auto result = systemFiles().appendRuns({{master, "one\0\x93\r\n"s},
                                                  {path("send"), "s"},
                                                  {path("notes"), ""},
                                                  {master, "two\r\n"}});
    umask(previousMask);
    EXPECT_EQ(result, std::nullopt);
    EXPECT_EQ(hex(*contents(master)), hex(earlier_ + "one\0\x93\r\ntwo\r\n"s));
    EXPECT_EQ(contents(path("send")), "s");
    EXPECT_EQ(contents(path("notes")), "");
    using std::filesystem::perms;
    EXPECT_EQ(std::filesystem::status(path("send")).permissions(), perms(0644));
}

struct FailureCase {
    const char* name;
    std::string badName;
    std::string reason;
};

class AppendOpenFailure : public RecordFiles, public testing::WithParamInterface<FailureCase>
{
};

TEST_P(AppendOpenFailure, ReportsPathAndTouchesNoFile)
{
    std::filesystem::create_directory(path("folder"));
    const std::string kept = withContents("kept", earlier_);
    const std::string bad = path(GetParam().badName);
    const auto failure = systemFiles().appendRuns({{kept, "x"}, {path("fresh"), "y"}, {bad, "z"}});
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->path, bad);
    EXPECT_EQ(failure->reason, GetParam().reason);
    EXPECT_EQ(contents(kept), earlier_);
    EXPECT_FALSE(std::filesystem::exists(path("fresh")));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, AppendOpenFailure,
    testing::Values(FailureCase{"InMissingFolder", "missing/file", "No such file or directory"},
                    FailureCase{"IsAFolder", "folder", "Is a directory"},
                    FailureCase{"UnderAFile", "kept/file", "Not a directory"}),
    [](const testing::TestParamInfo<FailureCase>& param) { return param.param.name; });

TEST_F(RecordFiles, AppendStopsAtFullDevice)
{
    const std::string before = withContents("before", earlier_);
    const std::string after = withContents("after", earlier_);
    std::filesystem::create_symlink("/dev/full", path("full"));
    const auto failure = systemFiles().appendRuns(
        {{before, "b"}, {path("full"), "x"}, {after, "a"}, {path("fresh"), "f"}});
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->path, path("full"));
    EXPECT_EQ(failure->reason, "No space left on device");
    EXPECT_EQ(contents(before), earlier_ + "b");
    EXPECT_EQ(contents(after), earlier_);
    EXPECT_FALSE(std::filesystem::exists(path("fresh")));
}

struct CutBackCase {
    const char* name;
    std::optional<std::string> earlier;
};

class AppendPartialWrite : public RecordFiles, public testing::WithParamInterface<CutBackCase>
{
};

TEST_P(AppendPartialWrite, CutsBackToEarlierContents)
{
    const auto& earlier = GetParam().earlier;
    const std::string file = earlier ? withContents("file", *earlier) : path("file");
    // A file size limit makes the kernel write only some of the run, then refuse.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previousLimit{};
    getrlimit(RLIMIT_FSIZE, &previousLimit);
    const rlimit limit{earlier.value_or("").size() + 5, previousLimit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
    const auto failure = systemFiles().appendRuns({{file, std::string(100, 'x')}});
    setrlimit(RLIMIT_FSIZE, &previousLimit);
    std::signal(SIGXFSZ, previousHandler);

    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->reason, "File too large");
    EXPECT_EQ(contents(file), earlier);
}

INSTANTIATE_TEST_SUITE_P(
    Files, AppendPartialWrite,
    testing::Values(CutBackCase{"ExistingFileKeepsItsBytes", "earlier\r\n\0\xFF"s},
                    CutBackCase{"NewFileIsRemoved", std::nullopt}),
    [](const testing::TestParamInfo<CutBackCase>& param) { return param.param.name; });

TEST_F(RecordFiles, ReplaceEmptiesLongerFile)
{
    const std::string query = withContents("query", earlier_);
    EXPECT_EQ(systemFiles().replaceFile(query, "new\r\n"), std::nullopt);
    EXPECT_EQ(contents(query), "new\r\n");
    EXPECT_EQ(systemFiles().replaceFile(path("missing/query"), "x").value_or(FileFailure{}).reason,
              "No such file or directory");
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
    EXPECT_EQ(missing.reason, "No such file or directory");
    EXPECT_EQ(std::get<FileFailure>(systemFiles().readFile(folder_)).reason, "Is a directory");
}

} // namespace
