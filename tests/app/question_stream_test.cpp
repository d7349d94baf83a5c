#include "test_bank.h"

#include <QAccessible>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>

#include <functional>

#include <gtest/gtest.h>

namespace
{

const std::vector<std::string> kSmallBank = {
    "001.",
    "",
    "`q001.  Note that this assignment has 2 questions\r\n\r\nSolve x + 1 = 2.",
    "",
    "`aThe system\r\n\r\nx = 1",
    "",
    "`q002.  Two{}lines",
    "",
    "`a",
    "answer after a bare marker",
    "",
    "end program",
    "002.",
    "`q001.  never shown",
};

class QuestionStream : public testing::Test
{
protected:
    void press() { run->window->cmdNextQuestion_Click(); }
    q_a_template_& w() { return *run->window; }

    std::unique_ptr<WindowRun> run = runOnBank(kSmallBank);
};

TEST_F(QuestionStream, FirstPressShowsTheFirstQuestionAndLeavesTheAnswerBox)
{
    q_a_template_::setBoxText(w().txt_answer, "typed before");
    press();
    EXPECT_EQ(questionBox(w()), QString::fromStdString(kSmallBank[2]));
    EXPECT_EQ(w().blockKind, q_a_template_::BlockKind::question);
    EXPECT_EQ(w().questionNumber, "1");
    EXPECT_EQ(w().currentLine, QString::fromStdString(kSmallBank[2]));
    EXPECT_EQ(w().bankCursor, 3);
    EXPECT_TRUE(w().promptDue);
    EXPECT_EQ(w().newText, "");
    EXPECT_EQ(w().displayedText, questionBox(w()));
    EXPECT_EQ(q_a_template_::boxText(w().txt_answer), "typed before");
}

TEST_F(QuestionStream, SecondPressRunsTheAnswerOnAndResetsTheAnswerBox)
{
    press();
    q_a_template_::setBoxText(w().txt_answer, "my answer");
    press();
    EXPECT_EQ(questionBox(w()), QString::fromStdString(kSmallBank[2]) + "The system\r\n\r\nx = 1");
    EXPECT_EQ(w().blockKind, q_a_template_::BlockKind::answer);
    EXPECT_EQ(w().currentLine, "The system\r\n\r\nx = 1");
    EXPECT_EQ(w().questionNumber, "1");
    EXPECT_EQ(q_a_template_::boxText(w().txt_answer), w().defaultPrompt);
}

TEST_F(QuestionStream, NoResetOnceAResponseClearedThePrompt)
{
    press();
    w().promptDue = false; // as entering a response or saving a note does
    q_a_template_::setBoxText(w().txt_answer, "kept");
    press();
    EXPECT_EQ(q_a_template_::boxText(w().txt_answer), "kept");
}

TEST_F(QuestionStream, BracesShownAsALineBreakButKeptInCurrentLine)
{
    press();
    press();
    w().txt_question->clear();
    press();
    EXPECT_EQ(questionBox(w()), "`q002.  Two\r\nlines");
    EXPECT_EQ(w().currentLine, "`q002.  Two{}lines");
    EXPECT_EQ(w().questionNumber, "2");
}

TEST_F(QuestionStream, BareAnswerMarkerIsSkippedButSetsTheKind)
{
    for (int i = 0; i < 3; ++i) {
        press();
    }
    w().txt_question->clear();
    press();
    EXPECT_EQ(questionBox(w()), "answer after a bare marker");
    EXPECT_EQ(w().blockKind, q_a_template_::BlockKind::answer);
    EXPECT_EQ(w().bankCursor, 10);
}

TEST_F(QuestionStream, EndMarkerShownThenNextHeaderEndsUnshown)
{
    for (int i = 0; i < 4; ++i) {
        press();
    }
    w().txt_question->clear();
    press();
    EXPECT_EQ(questionBox(w()), "end program");
    EXPECT_FALSE(w().ended());
    press();
    EXPECT_TRUE(w().ended());
    EXPECT_EQ(run->platform.endRequests, 1);
    EXPECT_EQ(questionBox(w()), "end program");
    EXPECT_EQ(w().bankCursor, 13);
    // Nothing runs once the program has ended.
    press();
    EXPECT_EQ(w().bankCursor, 13);
}

struct EndCase {
    const char* name;
    std::vector<std::string> bank;
    int presses;       // before the one that is checked
    bool ends;         // on the checked press
    const char* shown; // the question box after it, when it does not end
};

class StreamEnd : public testing::TestWithParam<EndCase>
{
};

TEST_P(StreamEnd, EndsOnlyWhereItShould)
{
    const EndCase& c = GetParam();
    auto run = runOnBank(c.bank);
    for (int i = 0; i < c.presses; ++i) {
        run->window->cmdNextQuestion_Click();
    }
    run->window->txt_question->clear();
    run->window->cmdNextQuestion_Click();
    EXPECT_EQ(run->window->ended(), c.ends);
    if (!c.ends) {
        EXPECT_EQ(questionBox(*run->window), QString::fromLatin1(c.shown));
    }
    EXPECT_LE(run->window->bankCursor, 5000);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, StreamEnd,
    testing::Values(EndCase{"Sentinel", {"001.", "####.#"}, 0, true, ""},
                    EndCase{"SentinelWithMore", {"001.", "####.#x"}, 0, true, ""},
                    EndCase{"AlmostSentinel", {"001.", "####.x"}, 0, false, "####.x"},
                    EndCase{"OtherHeaderShown", {"001.", "003."}, 0, false, "003."},
                    EndCase{"NextNumberAtStartOfAnswer", {"001.", "`a002 is next"}, 0, true, ""},
                    EndCase{"EndOfBankAfterLastEntry", {"001.", "`q001.  only"}, 1, true, ""},
                    EndCase{"EmptyBankAfterHeader", {"001."}, 0, true, ""},
                    EndCase{"KeywordAloneShownAsText", {"001.", "`routine"}, 0, false, "`routine"},
                    EndCase{"KeywordAndBlankEnds", {"001.", "`routine "}, 0, true, ""},
                    EndCase{"NoSeparatorEnds", {"001.", "`routinegraph1"}, 0, true, ""},
                    EndCase{"UnknownRoutineEnds", {"001.", "`routine graph4"}, 0, true, ""},
                    EndCase{"ExitProgEnds", {"001.", "`routine  exitprog"}, 0, true, ""},
                    EndCase{"GraphRoutineThenQuestion",
                            {"001.", "`ROUTINE Graph-2", "", "", "`q001.  Q"},
                            0,
                            false,
                            "`q001.  Q"},
                    EndCase{"OnlyOneRoutinePerPress",
                            {"001.", "`routine graph1", "`routine graph3"},
                            0,
                            false,
                            "`routine graph3"}),
    [](const testing::TestParamInfo<EndCase>& param) { return param.param.name; });

TEST(StreamRoutines, RoutineEntryLeavesThePromptDueFromTheQuestion)
{
    auto run = runOnBank({"001.", "`routine graph1", "", "`q001.  Q"});
    run->window->cmdNextQuestion_Click();
    EXPECT_TRUE(run->window->promptDue);
    EXPECT_EQ(run->window->currentLine, "`q001.  Q");
}

TEST(StreamRoutines, KeywordAloneDoesNotMakeThePromptDue)
{
    auto run = runOnBank({"001.", "`routine"});
    run->window->cmdNextQuestion_Click();
    EXPECT_FALSE(run->window->promptDue);
}

TEST(StreamEndOfBank, LastAssignmentEndsAtIndex5000)
{
    std::vector<std::string> bank(4999, "");
    bank[0] = "001.";
    bank[4998] = "end program"; // index 4999
    auto run = runOnBank(bank);
    run->window->cmdNextQuestion_Click();
    EXPECT_EQ(questionBox(*run->window), "end program");
    run->window->cmdNextQuestion_Click();
    EXPECT_TRUE(run->window->ended());
    EXPECT_EQ(run->window->bankCursor, 5000);
}

} // namespace

namespace
{

TEST(StreamButtons, ClicksRunTheHandlers)
{
    auto run = runOnBank({"001.", "`routine graph1", "`q001.  Q"});
    run->window->show();
    run->window->cmd_next_picture->click();
    EXPECT_EQ(run->window->bankCursor, 2);
    run->window->cmdNextQuestion->click();
    EXPECT_EQ(questionBox(*run->window), "`q001.  Q");
}

} // namespace

namespace
{

// Lines enough to fill the question box several times over.
std::string manyLines(const std::string& word, int count)
{
    std::string text;
    for (int i = 1; i <= count; ++i) {
        text += (i > 1 ? "\r\n" : "") + word + " " + std::to_string(i);
    }
    return text;
}

const std::vector<std::string> kLongBank = {
    "001.",
    "",
    "`q001.  " + manyLines("question", 60),
    "",
    "`a" + manyLines("answer", 60),
    "",
    "`routine graph1",
    "`q002.  " + manyLines("second", 60),
    "",
    "end program",
    "002.",
};

struct AdditionCase {
    const char* name;
    std::function<void(q_a_template_&)> before;
    std::function<void(q_a_template_&)> add;
    bool display; // shows a file: its end in view, else the added text's first line at the top
};

void PrintTo(const AdditionCase& c, std::ostream* os)
{
    *os << c.name;
}

class AddedText : public testing::TestWithParam<AdditionCase>
{
};

void press(q_a_template_& w)
{
    w.cmdNextQuestion_Click();
}

void displaySend(q_a_template_& w)
{
    w.cmd_displayCumulativeText_Click();
}

void writeSendFile(q_a_template_& w)
{
    TestFolder::write(w.sendFilePath(), QByteArray::fromStdString(manyLines("record", 300)));
}

bool inView(const QPlainTextEdit* box, const QTextCursor& at)
{
    return box->viewport()->rect().contains(box->cursorRect(at));
}

bool endInView(const QPlainTextEdit* box)
{
    QTextCursor end(box->document());
    end.movePosition(QTextCursor::End);
    return inView(box, end);
}

// The line at `position` is in view, and it is the view's first line unless
// the view already shows the end.
void expectAtTheTop(const QPlainTextEdit* box, int position)
{
    QTextCursor at(box->document());
    at.setPosition(position);
    EXPECT_TRUE(inView(box, at)) << "the line is at " << box->cursorRect(at).top();
    if (!endInView(box) && at.movePosition(QTextCursor::Up)) {
        EXPECT_FALSE(inView(box, at)) << "the line above is in view";
    }
}

TEST_P(AddedText, ComesIntoView)
{
    const AdditionCase& c = GetParam();
    auto run = runOnBank(kLongBank);
    q_a_template_& w = *run->window;
    w.show();
    if (c.before) {
        c.before(w);
    }
    const int added = w.txt_question->document()->characterCount() - 1;
    c.add(w);
    ASSERT_GT(w.txt_question->document()->characterCount() - 1, added);
    if (c.display) {
        EXPECT_TRUE(endInView(w.txt_question));
    } else {
        expectAtTheTop(w.txt_question, added);
    }
    EXPECT_GT(w.txt_question->verticalScrollBar()->maximum(), 0) << "the box never scrolled";
}

INSTANTIATE_TEST_SUITE_P(
    Additions, AddedText,
    testing::Values(AdditionCase{"QuestionIntoTheEmptyBox", {}, press, false},
                    AdditionCase{"QuestionBehindALongText",
                                 [](q_a_template_& w) {
                                     q_a_template_::setBoxText(
                                         w.txt_question,
                                         QString::fromStdString(manyLines("earlier", 200)));
                                 },
                                 press, false},
                    AdditionCase{"AnswerRunsOnBehindItsQuestion", press, press, false},
                    AdditionCase{"QuestionAfterARoutine",
                                 [](q_a_template_& w) {
                                     press(w);
                                     press(w);
                                 },
                                 press, false},
                    AdditionCase{"QuestionAfterDisplaySendFile",
                                 [](q_a_template_& w) {
                                     writeSendFile(w);
                                     displaySend(w);
                                 },
                                 press, false},
                    AdditionCase{"EndProgramAfterDisplaySendFile",
                                 [](q_a_template_& w) {
                                     for (int i = 0; i < 3; ++i) {
                                         press(w);
                                     }
                                     w.txt_question->clear();
                                     writeSendFile(w);
                                     displaySend(w);
                                 },
                                 press, false},
                    AdditionCase{"DisplaySendFileAfterAQuestion",
                                 [](q_a_template_& w) {
                                     press(w);
                                     writeSendFile(w);
                                 },
                                 displaySend, true},
                    AdditionCase{"DisplayNotesAfterAQuestion",
                                 [](q_a_template_& w) {
                                     press(w);
                                     TestFolder::write(
                                         w.notesFilePath(),
                                         QByteArray::fromStdString(manyLines("note", 300)));
                                 },
                                 [](q_a_template_& w) { w.cmd_display_note_file_Click(); }, true}),
    [](const testing::TestParamInfo<AdditionCase>& param) { return param.param.name; });

QAccessibleTextInterface* accessibleText(QPlainTextEdit* box)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(box);
    return accessible != nullptr ? accessible->textInterface() : nullptr;
}

// A screen reader asks what is at a place of a box and where a character
// is; both are told as the box shows them once it has scrolled.
class AccessibleBox : public testing::TestWithParam<const char*>
{
};

TEST_P(AccessibleBox, TellsWhatIsInViewOnceScrolled)
{
    auto run = runOnBank(kLongBank);
    auto* box = run->window->findChild<QPlainTextEdit*>(GetParam());
    run->window->show();
    q_a_template_::setBoxText(box, QString::fromStdString(manyLines("line", 200)));
    const int middle = box->toPlainText().indexOf("line 100");
    q_a_template_::showFrom(box, middle);
    QAccessibleTextInterface* text = accessibleText(box);
    ASSERT_NE(text, nullptr);

    const QPoint view = box->viewport()->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(text->offsetAtPoint(view + QPoint(1, 1)), middle);
    // The view's first line, whole.
    const QRect shown(view, box->viewport()->size());
    for (const int offset : {middle, middle + 5, middle + 7}) {
        const QRect character = text->characterRect(offset);
        EXPECT_TRUE(shown.contains(character)) << offset;
        EXPECT_LT(character.top() - view.y(), box->fontMetrics().lineSpacing()) << offset;
        EXPECT_EQ(text->offsetAtPoint(character.center()), offset);
    }
    EXPECT_LT(text->characterRect(0).bottom(), view.y());
    EXPECT_EQ(text->offsetAtPoint(view - QPoint(2, 2)), -1);

    int start = 0;
    int end = 0;
    EXPECT_EQ(text->textAtOffset(middle + 2, QAccessible::LineBoundary, &start, &end), "line 100");
    EXPECT_EQ(start, middle);
    EXPECT_EQ(text->text(0, text->characterCount()), box->toPlainText());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(box)->role(), QAccessible::EditableText);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Boxes, AccessibleBox, testing::Values("txt_question", "txt_answer"),
                         [](const testing::TestParamInfo<const char*>& param) {
                             return std::string(param.param);
                         });

} // namespace
