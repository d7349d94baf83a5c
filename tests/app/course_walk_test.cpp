// A walk through every assignment of the real course, press by press, against
// the bank itself.
#include "test_bank.h"

#include <QPlainTextEdit>

#include <gtest/gtest.h>

namespace
{

class CourseWalk : public testing::TestWithParam<int>
{
};

TEST_P(CourseWalk, EachPressShowsTheNextEntryUntilTheEnd)
{
    const int assignment = GetParam();
    WindowRun run({"Ann", "", QString::number(assignment)});
    q_a_template_& w = *run.window;
    w.Form_Load();
    const BankLines& bank = *w.bankLines;

    int index = w.bankCursor;
    int presses = 0;
    auto expectedKind = q_a_template_::BlockKind::none;
    QString expectedNumber;
    bool endShown = false;
    while (!endShown) {
        do {
            ++index;
        } while (bank[static_cast<std::size_t>(index)].empty());
        QString text = QString::fromStdString(bank[static_cast<std::size_t>(index)]);
        if (text.startsWith("`q")) {
            expectedKind = q_a_template_::BlockKind::question;
            expectedNumber = QString::number(text.mid(2, 3).toInt());
        } else if (text.startsWith("`a")) {
            expectedKind = q_a_template_::BlockKind::answer;
            text.remove(0, 2);
        }
        SCOPED_TRACE("index " + std::to_string(index));

        w.txt_question->clear();
        w.cmdNextQuestion_Click();
        ++presses;
        ASSERT_FALSE(w.ended());
        EXPECT_EQ(w.bankCursor, index);
        EXPECT_EQ(questionBox(w), QString(text).replace("{}", "\r\n"));
        EXPECT_EQ(w.currentLine, text);
        EXPECT_EQ(w.blockKind, expectedKind);
        EXPECT_EQ(w.questionNumber, expectedNumber);
        if (presses > 1) {
            EXPECT_EQ(q_a_template_::boxText(w.txt_answer), w.defaultPrompt);
        }
        endShown = text == "end program";
    }

    const QString lastShown = questionBox(w);
    w.cmdNextQuestion_Click();
    EXPECT_TRUE(w.ended());
    EXPECT_EQ(questionBox(w), lastShown);
    if (assignment < 15) {
        EXPECT_EQ(w.bankCursor, index + 1);
    } else {
        EXPECT_EQ(w.bankCursor, kLastBankIndex);
    }
}

INSTANTIATE_TEST_SUITE_P(Course, CourseWalk, testing::Range(1, 16),
                         [](const testing::TestParamInfo<int>& param) {
                             return "Assignment" + std::to_string(param.param);
                         });

} // namespace
