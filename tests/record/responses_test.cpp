#include "record/record_text.h"
#include "record_run.h"

#include <QDir>

#include <gtest/gtest.h>

namespace
{

using namespace recordText;

const QByteArray kEnd = ".................................................\r\n";
const QByteArray kStamp = "                                    14:05:09\r\n";

QByteArray masterRecord(const QByteArray& number, const QByteArray& entry,
                        const QByteArray& response, const QByteArray& rating)
{
    return kStart + kStamp + "\r\n\r\n`questionNumber " + number + " \r\n" + entry + "\r\n" +
           kStart + "RESPONSE -->  \r\n" + response + "\r\n" + rating + kEnd;
}

QByteArray sendRecord(const QByteArray& entry, const QByteArray& response, const QByteArray& rating)
{
    return kStart + kStamp + entry + "\r\n" + kStart + "RESPONSE -->  \r\n" + response + "\r\n" +
           rating + kEnd;
}

struct ResponseCase {
    const char* name;
    int presses;
    QString typed;
    QStringList ratings;
    QByteArray number;
    QByteArray entry;
    QByteArray response;
    QByteArray rating; // the whole rating line, or empty for none
};

class EnterResponse : public testing::TestWithParam<ResponseCase>
{
};

TEST_P(EnterResponse, AppendsTheRecordToMasterAndSend)
{
    const ResponseCase& c = GetParam();
    RecordRun r(c.ratings);
    r.press(c.presses);
    const auto blockKind = r.w().blockKind;
    r.type(c.typed);
    r.w().cmd_enter_response_Click();

    EXPECT_EQ(r.masterAdded(), masterRecord(c.number, c.entry, c.response, c.rating));
    EXPECT_EQ(r.sendAdded(), sendRecord(c.entry, c.response, c.rating));
    EXPECT_FALSE(QFileInfo::exists(r.w().notesFilePath()));
    EXPECT_TRUE(r.run->platform.messages.isEmpty());
    // The state after a recorded click.
    EXPECT_EQ(r.w().txt_question->toPlainText(), "");
    EXPECT_EQ(r.w().txt_answer->toPlainText(), "");
    EXPECT_EQ(r.w().displayedText, QString(c.typed).replace("\n", "\r\n"));
    EXPECT_FALSE(r.w().promptDue);
    EXPECT_EQ(r.w().blockKind, blockKind);
}

INSTANTIATE_TEST_SUITE_P(
    Records, EnterResponse,
    testing::Values(ResponseCase{"AfterQuestion",
                                 1,
                                 "4",
                                 {"2"},
                                 "30004",
                                 "`q004.  What is 2+2?",
                                 "4",
                                 "confidence assessment:  2\r\n"},
                    ResponseCase{"AfterWorkedAnswer",
                                 2,
                                 "I added wrong",
                                 {"3"},
                                 "30004",
                                 "It is 4.",
                                 "I added wrong",
                                 "self critique assessment: 3\r\n"},
                    ResponseCase{"BeforeAnyEntry", 0, "hello", {}, "30000", "", "hello", ""},
                    ResponseCase{"AfterPlainEntryKeepsLastKind",
                                 3,
                                 "ok",
                                 {"1"},
                                 "30004",
                                 "plain entry",
                                 "ok",
                                 "self critique assessment: 1\r\n"},
                    ResponseCase{"ThreeLines",
                                 1,
                                 "one\ntwo\nthree",
                                 {"2"},
                                 "30004",
                                 "`q004.  What is 2+2?",
                                 "one\r\ntwo\r\nthree",
                                 "confidence assessment:  2\r\n"},
                    ResponseCase{"EmptiedBox",
                                 1,
                                 "",
                                 {"0"},
                                 "30004",
                                 "`q004.  What is 2+2?",
                                 "",
                                 "confidence assessment:  0\r\n"},
                    ResponseCase{"CancelledRating",
                                 1,
                                 "4",
                                 {},
                                 "30004",
                                 "`q004.  What is 2+2?",
                                 "4",
                                 "confidence assessment:  \r\n"},
                    ResponseCase{"NonNumericRatingAsTyped",
                                 1,
                                 "4",
                                 {" abc "},
                                 "30004",
                                 "`q004.  What is 2+2?",
                                 "4",
                                 "confidence assessment:   abc \r\n"},
                    ResponseCase{"OutsideTheCodePage",
                                 1,
                                 QString::fromUtf8("\u221a2 \u2192 x \U0001F600 caf\u00e9"),
                                 {"2"},
                                 "30004",
                                 "`q004.  What is 2+2?",
                                 "sqrt2 -> x ? caf\xe9",
                                 "confidence assessment:  2\r\n"}),
    [](const testing::TestParamInfo<ResponseCase>& param) { return param.param.name; });

TEST(EnterResponseRecord, MasterRecordThreeLinesLongerThanSend)
{
    RecordRun r({"2"});
    r.press();
    r.type("4");
    r.w().cmd_enter_response_Click();
    EXPECT_EQ(r.masterAdded().count("\r\n"), r.sendAdded().count("\r\n") + 3);
    EXPECT_FALSE(TestFolder::read(r.w().sendFilePath()).contains("`questionNumber"));
}

TEST(EnterResponseRecord, PromptsAskedWithTheirMessages)
{
    RecordRun r({"2", "3"});
    r.press();
    r.type("4");
    r.w().cmd_enter_response_Click();
    r.press();
    r.type("fine");
    r.w().cmd_enter_response_Click();
    EXPECT_EQ(
        r.run->platform.prompts.mid(3),
        QStringList(
            {"Assess your level of confidence in your answer on a scale from 0 to 3, where 0 means "
             "you have no confidence in your answer, 1 means you have some confidence, 2 means "
             "you are pretty confident and 3 means you are certain of your answer:",
             "Rate the quality of your self-critique on a 0-3 scale, where 0 indicates that "
             "self-critique was necessary on this question but was not given, 1 indicates that "
             "self-critique was necessary but the given self-critique was not adequate, 2 "
             "indicates that self-critique was necessary and was mostly adequate, and 3 indicates "
             "that either self-critique was not necessary or that after reading the solution "
             "everything was completely obvious so you skipped the self-critique."}));
}

TEST(EnterResponseRecord, DefaultPromptLeftWritesNothing)
{
    RecordRun r;
    r.press(2); // the second press puts the instruction text back
    ASSERT_EQ(q_a_template_::boxText(r.w().txt_answer), r.w().defaultPrompt);
    r.w().cmd_enter_response_Click();
    EXPECT_EQ(r.masterAdded(), "");
    EXPECT_EQ(r.sendAdded(), "");
    EXPECT_EQ(r.w().txt_question->toPlainText(), "");
    EXPECT_EQ(r.w().txt_answer->toPlainText(), "");
    EXPECT_TRUE(r.w().promptDue);
}

TEST(EnterResponseRecord, AgainWithoutANewEntryRecordsASecondResponse)
{
    RecordRun r({"2", "3"});
    r.press();
    r.type("4");
    r.w().cmd_enter_response_Click();
    r.type("four");
    r.w().cmd_enter_response_Click();
    EXPECT_EQ(r.sendAdded(),
              sendRecord("`q004.  What is 2+2?", "4", "confidence assessment:  2\r\n") +
                  sendRecord("`q004.  What is 2+2?", "four", "confidence assessment:  3\r\n"));
}

TEST(QuestionNumberLine, NumberAndSign)
{
    EXPECT_EQ(questionNumberLine("003", "4"), "`questionNumber 30004 ");
    EXPECT_EQ(questionNumberLine("003", ""), "`questionNumber 30000 ");
    EXPECT_EQ(questionNumberLine("015", "12"), "`questionNumber 150012 ");
    EXPECT_EQ(questionNumberLine("0-1", "5"), "`questionNumber 5 ");
    EXPECT_EQ(questionNumberLine("-01", "5"), "`questionNumber-9995 ");
    EXPECT_EQ(questionNumberLine("1.5", "0"), "`questionNumber 15000 ");
    EXPECT_EQ(questionNumberLine("1e305", "1"), "`questionNumber 0 ");
}

TEST(RecordTexts, TheFixedTextsAsInstructorsReadThem)
{
    EXPECT_EQ(recordStartRule, "......!!!!!!!!...................................");
    EXPECT_EQ(recordEndRule, ".................................................");
    EXPECT_EQ(responseLabel, "RESPONSE -->  ");
    EXPECT_EQ(confidenceLabel, "confidence assessment:  ");
    EXPECT_EQ(selfCritiqueLabel, "self critique assessment: ");
    EXPECT_EQ(notesLabel, "NOTES -------> ");
}

TEST(FileLines, EndAtCrCrLfOrTheEnd)
{
    EXPECT_EQ(fileLines(""), QStringList());
    EXPECT_EQ(fileLines("a\r\nb\r\nc\r\n"), QStringList({"a", "b", "c"}));
    EXPECT_EQ(fileLines("a\rb"), QStringList({"a", "b"}));
    EXPECT_EQ(fileLines("\r\n"), QStringList({""}));
    EXPECT_EQ(fileLines("dots       "), QStringList({"dots       "}));
    EXPECT_EQ(fileLines("a\nb"), QStringList({"a\nb"}));
}

} // namespace
