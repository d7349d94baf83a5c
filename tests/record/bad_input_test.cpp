// Whatever a student types, at any prompt or box, is taken without a crash and
// written as typed (in the code page of the record files).
#include "app/startup_text.h"
#include "record/record_text.h"
#include "record/student_records.h"
#include "record_run.h"

#include <QDir>

#include <gtest/gtest.h>

#include <csignal>

namespace
{

struct TextCase {
    const char* name;
    QString typed;
    QByteArray written;
};

class TypedResponse : public testing::TestWithParam<TextCase>
{
};

TEST_P(TypedResponse, RecordedAsTypedInTheCodePage)
{
    RecordRun r({"2"});
    r.press();
    r.type(GetParam().typed);
    r.w().cmd_enter_response_Click();
    const QByteArray send = r.sendAdded();
    EXPECT_TRUE(send.contains("RESPONSE -->  \r\n" + GetParam().written +
                              "\r\nconfidence assessment:  2\r\n"));
    EXPECT_TRUE(r.run->platform.messages.isEmpty());
    EXPECT_EQ(r.w().txt_answer->toPlainText(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Responses, TypedResponse,
    testing::Values(TextCase{"TabsAndControls",
                             QString::fromUtf8("a\tb\x01"
                                               "c\x7f"),
                             "a\tb\x01"
                             "c\x7f"},
                    TextCase{"SquareRootArrowEmoji", QString::fromUtf8("\u221a2 \u2192 \U0001F600"),
                             "sqrt2 -> ?"},
                    TextCase{
                        "MathAsStudentsTypeIt",
                        QString::fromUtf8("\u221a(x\u00b2+1) \u2264 \u03c0\u2074 \u2260 \u221e"),
                        "sqrt(x\xb2+1) <= pi^4 != infinity"},
                    TextCase{"Cjk", QString::fromUtf8("\u4e2d\u6587"), "??"},
                    TextCase{"CombiningAccent", QString::fromUtf8("e\u0301"), "e?"},
                    TextCase{"InTheCodePage", QString::fromUtf8("caf\u00e9 \u20ac5 \u201cq\u201d"),
                             "caf\xe9 \x80"
                             "5 \x93q\x94"},
                    TextCase{"NoBreakSpaces", QString::fromUtf8("x\u00a0=\u00a02"),
                             "x\xa0=\xa0"
                             "2"},
                    TextCase{"OneMegabyte", QString(1 << 20, u'x'), QByteArray(1 << 20, 'x')}),
    [](const testing::TestParamInfo<TextCase>& param) { return param.param.name; });

class TypedRating : public testing::TestWithParam<TextCase>
{
};

TEST_P(TypedRating, WrittenAfterTheLabelAsTyped)
{
    RecordRun r({GetParam().typed});
    r.press();
    r.type("4");
    r.w().cmd_enter_response_Click();
    EXPECT_TRUE(
        r.sendAdded().contains("\r\nconfidence assessment:  " + GetParam().written +
                               "\r\n.................................................\r\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Ratings, TypedRating,
    testing::Values(TextCase{"Empty", "", ""}, TextCase{"Word", "abc", "abc"},
                    TextCase{"Blanks", " 2 ", " 2 "}, TextCase{"Negative", "-1", "-1"},
                    TextCase{"Huge", "99999999999999999999", "99999999999999999999"},
                    TextCase{"Tab", "2\t3", "2\t3"},
                    TextCase{"CircledDigitAsAscii", QString::fromUtf8("\u2461"), "(2)"},
                    TextCase{"Long", QString(1000, u'3'), QByteArray(1000, '3')}),
    [](const testing::TestParamInfo<TextCase>& param) { return param.param.name; });

TEST(BadNames, NameTooLongForAFileNameIsRefusedAtTheNamePrompt)
{
    WindowRun run({QString(300, u'n'), "Ann", "", "1"});
    run.window->Form_Load();
    EXPECT_EQ(run.platform.messages, QStringList{nameTooLongMessage()});
    EXPECT_EQ(run.platform.prompts.mid(0, 2), QStringList({namePrompt(), namePrompt()}));
    EXPECT_FALSE(run.window->ended());
    EXPECT_EQ(QDir(run.defaultFolder()).entryList(QDir::Files),
              QStringList({"masterFile_Ann.txt", "send_0416Ann.txt"}));
}

TEST(BadNames, DotsAreAnOrdinaryName)
{
    WindowRun run({"..", "", "1"});
    run.window->Form_Load();
    EXPECT_TRUE(run.platform.messages.isEmpty());
    EXPECT_TRUE(QFileInfo(run.defaultFolder() + "/masterFile_...txt").isFile());
}

TEST(FileSizeLimit, RecordOverTheLimitIsReportedAndTakenBack)
{
    if (kNoFileSizeLimit) {
        GTEST_SKIP() << kNoFileSizeLimit;
    }
    RecordRun r({"2"});
    r.press();
    r.type(QString(4000, u'y'));
    const QByteArray master = TestFolder::read(r.w().masterFilePath());
    const QByteArray send = TestFolder::read(r.w().sendFilePath());
    {
        const FileSizeLimit limit(
            static_cast<std::uintmax_t>(std::max(master.size(), send.size())) + 1000);
        r.w().cmd_enter_response_Click();
    }

    EXPECT_EQ(r.run->platform.messages,
              QStringList{"Could not write to the file " + r.w().masterFilePath() + ": " +
                          reasonFor(FileFault::TooLarge) + "."});
    EXPECT_EQ(TestFolder::read(r.w().masterFilePath()), master);
    EXPECT_EQ(TestFolder::read(r.w().sendFilePath()), send);
    EXPECT_EQ(r.w().txt_answer->toPlainText(), QString(4000, u'y'));
    EXPECT_FALSE(r.w().ended());
}

} // namespace
