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

// The bank of the additions; `answer` is the worked answer of question 1.
std::vector<std::string> longBank(const std::string& answer)
{
    return {"001.",
            "",
            "`q001.  " + manyLines("question", 60),
            "",
            answer,
            "",
            "`routine graph1",
            "`q002.  " + manyLines("second", 60),
            "",
            "end program",
            "002."};
}

const std::vector<std::string> kLongBank = longBank("`a" + manyLines("answer", 60));
// A worked answer that begins with a paragraph break: it starts at the end of
// the line above, which is the line brought to the top.
const std::vector<std::string> kBreakBank = longBank("`a\r\n\r\n" + manyLines("answer", 60));

struct AdditionCase {
    const char* name;
    std::function<void(q_a_template_&)> before;
    std::function<void(q_a_template_&)> add;
    int entry; // the bank entry added, from the caret on; 0: a file shown, its end in view
    const std::vector<std::string>* bank = &kLongBank;
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

// The entry as the box shows it: without an answer's marker.
QString shownEntry(const std::string& entry)
{
    QString text = QString::fromStdString(entry);
    if (text.startsWith("`a")) {
        text.remove(0, 2);
    }
    return text.replace("\r\n", "\n");
}

// The new entry starts right after what the box held, with nothing between;
// the caret stands on its first character and that character's line is at
// the top. A file shown leaves the caret at the end and the end in view.
TEST_P(AddedText, ComesIntoView)
{
    const AdditionCase& c = GetParam();
    auto run = runOnBank(*c.bank);
    q_a_template_& w = *run->window;
    w.show();
    if (c.before) {
        c.before(w);
    }
    QPlainTextEdit* box = w.txt_question;
    const int added = box->document()->characterCount() - 1;
    c.add(w);
    const int end = box->document()->characterCount() - 1;
    ASSERT_GT(end, added);
    if (c.entry == 0) {
        EXPECT_EQ(box->textCursor().position(), end);
        EXPECT_TRUE(endInView(box));
    } else {
        EXPECT_EQ(box->toPlainText().mid(added),
                  shownEntry((*c.bank)[static_cast<std::size_t>(c.entry)]));
        EXPECT_EQ(box->textCursor().position(), added);
        expectAtTheTop(box, added);
    }
    EXPECT_GT(box->verticalScrollBar()->maximum(), 0) << "the box never scrolled";
}

void displayNotes(q_a_template_& w)
{
    TestFolder::write(w.notesFilePath(), QByteArray::fromStdString(manyLines("note", 300)));
    w.cmd_display_note_file_Click();
}

void displaySendAfterAQuestion(q_a_template_& w)
{
    press(w);
    writeSendFile(w);
    displaySend(w);
}

INSTANTIATE_TEST_SUITE_P(
    Additions, AddedText,
    testing::Values(AdditionCase{"QuestionIntoTheEmptyBox", {}, press, 2},
                    AdditionCase{"QuestionBehindALongText",
                                 [](q_a_template_& w) {
                                     q_a_template_::setBoxText(
                                         w.txt_question,
                                         QString::fromStdString(manyLines("earlier", 200)));
                                 },
                                 press, 2},
                    AdditionCase{"AnswerRunsOnBehindItsQuestion", press, press, 4},
                    AdditionCase{"QuestionAfterARoutine",
                                 [](q_a_template_& w) {
                                     press(w);
                                     press(w);
                                 },
                                 press, 7},
                    AdditionCase{"QuestionAfterDisplaySendFile",
                                 [](q_a_template_& w) {
                                     writeSendFile(w);
                                     displaySend(w);
                                 },
                                 press, 2},
                    AdditionCase{"QuestionAfterDisplayNotes", displayNotes, press, 2},
                    AdditionCase{"EndProgramAfterDisplaySendFile",
                                 [](q_a_template_& w) {
                                     for (int i = 0; i < 3; ++i) {
                                         press(w);
                                     }
                                     w.txt_question->clear();
                                     writeSendFile(w);
                                     displaySend(w);
                                 },
                                 press, 9},
                    AdditionCase{"AnswerAfterDisplaySendFile", displaySendAfterAQuestion, press, 4},
                    AdditionCase{"AnswerAfterDisplayNotes",
                                 [](q_a_template_& w) {
                                     press(w);
                                     displayNotes(w);
                                 },
                                 press, 4},
                    AdditionCase{"AnswerWithABreakRunsOnBehindItsQuestion", press, press, 4,
                                 &kBreakBank},
                    AdditionCase{"AnswerWithABreakAfterDisplaySendFile", displaySendAfterAQuestion,
                                 press, 4, &kBreakBank},
                    AdditionCase{"AnswerWithABreakAfterDisplayNotes",
                                 [](q_a_template_& w) {
                                     press(w);
                                     displayNotes(w);
                                 },
                                 press, 4, &kBreakBank},
                    AdditionCase{"DisplaySendFileAfterAQuestion",
                                 [](q_a_template_& w) {
                                     press(w);
                                     writeSendFile(w);
                                 },
                                 displaySend, 0},
                    AdditionCase{"DisplayNotesAfterAQuestion", press, displayNotes, 0}),
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
