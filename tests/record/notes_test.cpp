#include "record_run.h"

#include <gtest/gtest.h>

namespace
{

const QByteArray kDots = ".................................................";
const QByteArray kIndent(36, ' ');

QByteArray noteRecord(const QByteArray& entry, const QByteArray& note, bool master)
{
    return kStart + kIndent + "14:05:09\r\n" + kIndent + "04-16-202614:05:09\r\n" + entry + "\r\n" +
           kStart + "NOTES -------> " + note + "\r\n" + kDots + (master ? "\r\n" : "       ");
}

TEST(SaveAsNotes, OneRecordInEachOfTheThreeFiles)
{
    RecordRun r;
    r.press();
    r.type("remember\nthis");
    r.w().cmd_save_as_notes_Click();
    const QByteArray entry = "`q004.  What is 2+2?";
    EXPECT_EQ(r.masterAdded(), noteRecord(entry, "remember\r\nthis", true));
    EXPECT_EQ(r.sendAdded(), noteRecord(entry, "remember\r\nthis", false));
    EXPECT_EQ(r.notes(), noteRecord(entry, "remember\r\nthis", false));
    EXPECT_EQ(r.w().displayedText, "NOTES -------> remember\r\nthis");
    EXPECT_FALSE(r.w().promptDue);
    EXPECT_EQ(r.w().txt_question->toPlainText(), "");
    EXPECT_EQ(r.w().txt_answer->toPlainText(), "");
}

TEST(SaveAsNotes, NoBreakSpaceReachesEveryFileAsItsByte)
{
    RecordRun r;
    r.press();
    r.type(QString::fromUtf8("5\u00a0cm"));
    r.w().cmd_save_as_notes_Click();
    const QByteArray entry = "`q004.  What is 2+2?";
    const QByteArray note = "5\xa0"
                            "cm";
    EXPECT_EQ(r.masterAdded(), noteRecord(entry, note, true));
    EXPECT_EQ(r.sendAdded(), noteRecord(entry, note, false));
    EXPECT_EQ(r.notes(), noteRecord(entry, note, false));
}

TEST(SaveAsNotes, SecondNoteContinuesTheLineExceptInTheMasterFile)
{
    RecordRun r;
    r.type("one");
    r.w().cmd_save_as_notes_Click();
    r.type("");
    r.w().cmd_save_as_notes_Click();
    EXPECT_EQ(r.notes(), noteRecord("", "one", false) + noteRecord("", "", false));
    EXPECT_TRUE(r.notes().contains(kDots + "       " + kStart));
    EXPECT_EQ(r.masterAdded(), noteRecord("", "one", true) + noteRecord("", "", true));
}

TEST(SaveAsNotes, ResponseAfterANoteContinuesItsLineInTheSendFile)
{
    RecordRun r({"2"});
    r.press();
    r.type("note");
    r.w().cmd_save_as_notes_Click();
    r.type("4");
    r.w().cmd_enter_response_Click();
    EXPECT_TRUE(
        r.sendAdded().contains(kDots + "       " + kStart + kIndent + "14:05:09\r\n`q004."));
    EXPECT_TRUE(r.masterAdded().contains(kDots + "\r\n" + kStart));
}

TEST(SaveAsNotes, DefaultPromptWritesNothing)
{
    RecordRun r;
    q_a_template_::setBoxText(r.w().txt_answer, r.w().defaultPrompt);
    r.w().cmd_save_as_notes_Click();
    EXPECT_EQ(r.masterAdded(), "");
    EXPECT_FALSE(QFileInfo::exists(r.w().notesFilePath()));
    EXPECT_EQ(r.w().txt_answer->toPlainText(), "");
}

struct StampCase {
    const char* name;
    QDateTime clock; // when the click begins; each reading moves it a second on
    bool note;       // a note, else a response
    // Each file's stamp lines, after the record's first rule.
    std::vector<QByteArray> master, send, notes;
};

void PrintTo(const StampCase& c, std::ostream* os)
{
    *os << c.name;
}

class Stamps : public testing::TestWithParam<StampCase>
{
};

QByteArray stampLines(const std::vector<QByteArray>& stamps)
{
    QByteArray lines = kStart;
    for (const QByteArray& stamp : stamps) {
        lines += kIndent + stamp + "\r\n";
    }
    return lines;
}

TEST_P(Stamps, EachStampLineReadsTheClockInEveryFile)
{
    const StampCase& c = GetParam();
    RecordRun r({"2"});
    r.press();
    r.type("text");
    r.run->platform.clock = c.clock;
    r.run->platform.secondsPerReading = 1;
    if (c.note) {
        r.w().cmd_save_as_notes_Click();
    } else {
        r.w().cmd_enter_response_Click();
    }
    EXPECT_TRUE(r.masterAdded().startsWith(stampLines(c.master))) << r.masterAdded().toStdString();
    EXPECT_TRUE(r.sendAdded().startsWith(stampLines(c.send))) << r.sendAdded().toStdString();
    if (c.note) {
        EXPECT_TRUE(r.notes().startsWith(stampLines(c.notes))) << r.notes().toStdString();
    }
}

const QDate kDay(2026, 4, 16);

INSTANTIATE_TEST_SUITE_P(Clock, Stamps,
                         testing::Values(StampCase{"NoteLinesInTurn",
                                                   QDateTime(kDay, QTime(14, 5, 9)),
                                                   true,
                                                   {"14:05:09", "04-16-202614:05:10"},
                                                   {"14:05:11", "04-16-202614:05:12"},
                                                   {"14:05:13", "04-16-202614:05:14"}},
                                         StampCase{"NoteOverMidnight",
                                                   QDateTime(kDay, QTime(23, 59, 59)),
                                                   true,
                                                   {"23:59:59", "04-17-202600:00:00"},
                                                   {"00:00:01", "04-17-202600:00:02"},
                                                   {"00:00:03", "04-17-202600:00:04"}},
                                         StampCase{"ResponseInEachFile",
                                                   QDateTime(kDay, QTime(14, 5, 9)),
                                                   false,
                                                   {"14:05:09"},
                                                   {"14:05:10"},
                                                   {}}),
                         [](const testing::TestParamInfo<StampCase>& param) {
                             return param.param.name;
                         });

TEST(ClearBox, EmptiesOnlyTheAnswerBoxAndTheEmptyTextIsThenRecorded)
{
    RecordRun r({"1"});
    r.press(2);
    r.w().cmd_clear_answer_box_Click();
    EXPECT_EQ(r.w().txt_answer->toPlainText(), "");
    EXPECT_NE(r.w().txt_question->toPlainText(), "");
    EXPECT_TRUE(r.w().promptDue);
    r.w().cmd_enter_response_Click();
    EXPECT_TRUE(r.sendAdded().contains("RESPONSE -->  \r\n\r\nself critique assessment: 1\r\n"));
}

TEST(Quit, EndsAtOnceWithNothingWritten)
{
    RecordRun r;
    r.type("unsaved");
    r.w().cmd_quit_Click();
    EXPECT_TRUE(r.w().ended());
    EXPECT_EQ(r.run->platform.endRequests, 1);
    r.w().cmd_enter_response_Click();
    EXPECT_EQ(r.masterAdded(), "");
}

} // namespace
