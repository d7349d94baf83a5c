// The benchmarks' baselines stay what they claim to be: the same picture and
// the same work as the program, without the program.
#include "app/qt_platform.h"
#include "app/startup_text.h"
#include "first_paint.h"
#include "next_question_walk.h"
#include "plain_prompt.h"
#include "plain_report_window.h"
#include "plain_window.h"
#include "report_window/report_window.h"
#include "startup_steps.h"
#include "window_run.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace
{

// Each control of the program's window with the plain window's control of
// the same name (and index, for a control array).
std::vector<std::pair<QWidget*, QWidget*>> counterparts(const QWidget& program,
                                                        const QWidget& plain)
{
    std::vector<std::pair<QWidget*, QWidget*>> pairs;
    for (QWidget* p : program.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QWidget* match = nullptr;
        for (QWidget* q :
             plain.findChildren<QWidget*>(p->objectName(), Qt::FindDirectChildrenOnly)) {
            if (q->property("index") == p->property("index")) {
                match = q;
            }
        }
        pairs.emplace_back(p, match);
    }
    return pairs;
}

QString caption(const QWidget* control)
{
    if (const auto* button = qobject_cast<const QPushButton*>(control)) {
        return button->text();
    }
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        return label->text();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(control)) {
        return edit->text();
    }
    return {};
}

class PlainWindowMatches : public testing::Test
{
protected:
    ScriptedPlatform platform;
    q_a_template_ program{platform};
    PlainWindow plain;
};

TEST_F(PlainWindowMatches, SameSizeAndEveryControlAtTheSamePlace)
{
    EXPECT_EQ(plain.size(), program.size());
    const auto pairs = counterparts(program, plain);
    EXPECT_EQ(pairs.size(), 29u);
    EXPECT_EQ(plain.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(),
              static_cast<qsizetype>(pairs.size()));
    for (const auto& [p, q] : pairs) {
        ASSERT_NE(q, nullptr) << p->objectName().toStdString();
        EXPECT_EQ(q->geometry(), p->geometry()) << p->objectName().toStdString();
    }
}

TEST_F(PlainWindowMatches, SameKindsAndCaptions)
{
    for (const auto& [p, q] : counterparts(program, plain)) {
        ASSERT_NE(q, nullptr) << p->objectName().toStdString();
        SCOPED_TRACE(p->objectName().toStdString());
        // A picture box is a plain white widget in the baseline.
        if (qstrcmp(p->metaObject()->className(), "PictureBox") == 0) {
            EXPECT_STREQ(q->metaObject()->className(), "QWidget");
            EXPECT_EQ(q->palette().color(QPalette::Window), QColor(Qt::white));
            continue;
        }
        EXPECT_TRUE(p->inherits(q->metaObject()->className()));
        EXPECT_EQ(caption(q), caption(p));
        if (const auto* label = qobject_cast<const QLabel*>(p)) {
            EXPECT_EQ(qobject_cast<const QLabel*>(q)->wordWrap(), label->wordWrap());
        }
    }
}

TEST_F(PlainWindowMatches, TextBoxesWithTheSameFontAndWrapping)
{
    for (const auto& [p, q] :
         {std::pair{program.txt_question, plain.question}, {program.txt_answer, plain.answer}}) {
        ASSERT_NE(q, nullptr);
        EXPECT_EQ(q->objectName(), p->objectName());
        EXPECT_EQ(q->font(), p->font());
        EXPECT_EQ(q->lineWrapMode(), p->lineWrapMode());
        EXPECT_EQ(q->verticalScrollBarPolicy(), p->verticalScrollBarPolicy());
    }
}

// The report window's controls and those of its groups, in the order made.
QList<QWidget*> reportControls(const QWidget& window)
{
    QList<QWidget*> controls;
    for (QWidget* c : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        controls << c;
        if (qobject_cast<QGroupBox*>(c)) {
            controls << c->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        }
    }
    return controls;
}

QString reportCaption(const QWidget* control)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return button->text();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(control)) {
        return edit->placeholderText();
    }
    if (const auto* list = qobject_cast<const QComboBox*>(control)) {
        QStringList items;
        for (int i = 0; i < list->count(); ++i) {
            items << list->itemText(i);
        }
        return items.join(u',');
    }
    return caption(control);
}

// The report window's baseline paints the same controls: of the same kinds,
// captions and state, at the same places once laid out.
TEST(PlainReportWindowMatches, SameControlsCaptionsAndPlaces)
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    ReportWindow program(settings);
    PlainReportWindow plain;
    program.show();
    plain.show();
    EXPECT_EQ(plain.size(), program.size());
    const QList<QWidget*> ours = reportControls(program);
    const QList<QWidget*> theirs = reportControls(plain);
    ASSERT_EQ(ours.size(), theirs.size());
    EXPECT_GE(ours.size(), 25);
    for (qsizetype i = 0; i < ours.size(); ++i) {
        const QWidget* p = ours[i];
        const QWidget* q = theirs[i];
        SCOPED_TRACE(std::to_string(i) + " " + p->objectName().toStdString());
        EXPECT_TRUE(p->inherits(q->metaObject()->className())) << q->metaObject()->className();
        EXPECT_EQ(q->objectName(), p->objectName());
        EXPECT_EQ(reportCaption(q), reportCaption(p));
        EXPECT_EQ(q->isEnabled(), p->isEnabled());
        EXPECT_EQ(q->font(), p->font());
        EXPECT_EQ(q->geometry(), p->geometry());
    }
}

struct PromptCase {
    const char* name;
    QString message;
};

void PrintTo(const PromptCase& c, std::ostream* os)
{
    *os << c.name;
}

class PlainPromptMatches : public testing::TestWithParam<PromptCase>
{
};

TEST_P(PlainPromptMatches, SameTitleMessageAndSize)
{
    PromptDialog program(nullptr, GetParam().message);
    PlainPrompt plain(nullptr, GetParam().message);
    EXPECT_EQ(plain.windowTitle(), program.windowTitle());
    EXPECT_EQ(plain.findChild<QLabel*>()->text(), program.findChild<QLabel*>()->text());
    EXPECT_EQ(plain.sizeHint(), program.sizeHint());
    EXPECT_EQ(plain.minimumSizeHint(), program.minimumSizeHint());
}

INSTANTIATE_TEST_SUITE_P(
    StartupPrompts, PlainPromptMatches,
    testing::Values(PromptCase{"Name", namePrompt()},
                    PromptCase{"FolderQuestion", changeFolderQuestion("/home/ann/tutrdata")},
                    PromptCase{"LongFolder", changeFolderPrompt(QString(200, u'f'))},
                    PromptCase{"Assignment", assignmentPrompt()}),
    [](const testing::TestParamInfo<PromptCase>& param) { return param.param.name; });

// Answers with the replies a start-up gives, whichever dialog asks.
struct AnswerCase {
    const char* name;
    std::function<QString(const QString&)> ask;
};

void PrintTo(const AnswerCase& c, std::ostream* os)
{
    *os << c.name;
}

class PromptsAnswered : public testing::TestWithParam<AnswerCase>
{
};

TEST_P(PromptsAnswered, EachReplyInTurnAndTheLastMarked)
{
    // A dialog the answerer misses would wait for ever; this closes it.
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (QWidget* open = QApplication::activeModalWidget()) {
            open->close();
        }
    });
    guard.start(10000);
    moments::marks().clear();
    const PromptAnswerer answerer(startupReplies());
    QStringList replies;
    for (int i = 0; i < 3; ++i) {
        replies << GetParam().ask(namePrompt());
        EXPECT_EQ(moments::marks().empty() ? "" : std::string(moments::marks().back().name),
                  i < 2 ? "" : "reply");
    }
    EXPECT_EQ(replies, startupReplies());
    moments::marks().clear();
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, PromptsAnswered,
    testing::Values(AnswerCase{"ProgramPrompt",
                               [](const QString& message) {
                                   QtPlatform platform;
                                   return platform.prompt(nullptr, message);
                               }},
                    AnswerCase{"PlainPrompt",
                               [](const QString& message) {
                                   PlainPrompt dialog(nullptr, message);
                                   dialog.exec();
                                   return dialog.result() == QDialog::Accepted
                                              ? dialog.findChild<QLineEdit*>()->text()
                                              : QString();
                               }}),
    [](const testing::TestParamInfo<AnswerCase>& param) { return param.param.name; });

class StepsAsFormLoad : public testing::TestWithParam<int>
{
};

TEST_P(StepsAsFormLoad, SameStateAndSameRecords)
{
    const QStringList replies = {"Ann Lee", "", QString::number(GetParam())};
    WindowRun whole(replies);
    WindowRun steps(replies);
    whole.window->Form_Load();
    loadInSteps(*steps.window);
    moments::marks().clear();
    EXPECT_EQ(steps.window->ended(), whole.window->ended());
    EXPECT_EQ(steps.window->courseTitle, whole.window->courseTitle);
    EXPECT_EQ(steps.window->assignmentNumber, whole.window->assignmentNumber);
    EXPECT_EQ(steps.window->bankCursor, whole.window->bankCursor);
    EXPECT_EQ(*steps.window->bankLines, *whole.window->bankLines);
    EXPECT_EQ(TestFolder::read(steps.window->masterFilePath()),
              TestFolder::read(whole.window->masterFilePath()));
    EXPECT_EQ(TestFolder::read(steps.window->sendFilePath()),
              TestFolder::read(whole.window->sendFilePath()));
    EXPECT_FALSE(TestFolder::read(steps.window->sendFilePath()).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Assignments, StepsAsFormLoad, testing::Values(1, 6, 15));

class PlainPressShows : public testing::TestWithParam<int>
{
};

TEST_P(PlainPressShows, WhatEachPressOfTheProgramShows)
{
    WindowRun run({"Ann", "", QString::number(GetParam())});
    q_a_template_& w = *run.window;
    w.Form_Load();
    const int header = w.bankCursor;
    const auto texts = recordWalk(w, header);
    ASSERT_TRUE(texts.has_value());
    ASSERT_GT(texts->size(), 2u);

    PlainWindow plain;
    std::size_t press = 0;
    int answersSet = 0;
    ASSERT_TRUE(walkAssignment(w, header, [&] {
        w.cmdNextQuestion_Click();
        ASSERT_LT(press, texts->size());
        answersSet += (*texts)[press].answer.has_value();
        showPlain(plain, (*texts)[press++]);
        EXPECT_EQ(plain.question->toPlainText(), w.txt_question->toPlainText()) << press;
        EXPECT_EQ(plain.answer->toPlainText(), w.txt_answer->toPlainText()) << press;
        plain.question->clear();
    }));
    EXPECT_EQ(press, texts->size());
    // Every press after the first puts the instructions back in the answer box.
    EXPECT_EQ(answersSet, static_cast<int>(texts->size()) - 1);
    EXPECT_EQ(w.currentLine, "end program");
}

INSTANTIATE_TEST_SUITE_P(Assignments, PlainPressShows, testing::Range(1, 16));

} // namespace
