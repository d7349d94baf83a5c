#include "app/caption_button.h"
#include "app/held_keys.h"
#include "app/q_a_template_.h"
#include "app/qt_platform.h"
#include "pictures/picture_box.h"
#include "qt_printers.h"
#include "record_run.h"
#include "scripted_platform.h"
#include "system_keys.h"
#include "window_controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <set>

namespace
{

using namespace windowControls;

class Window : public testing::Test
{
protected:
    QWidget* find(const Control& c) const
    {
        for (QWidget* w : window.findChildren<QWidget*>(QString::fromLatin1(c.name))) {
            if (c.index < 0 || w->property("index").toInt() == c.index) {
                return w;
            }
        }
        return nullptr;
    }

    ScriptedPlatform platform;
    q_a_template_ window{platform};
};

TEST_F(Window, TitleAndInnerArea)
{
    EXPECT_EQ(window.objectName(), "q_a_template_");
    EXPECT_EQ(window.windowTitle(), "Form1");
    EXPECT_EQ(window.size(), QSize(window.twips(10875), window.twips(8490)));
    EXPECT_EQ(window.twips(1440), window.logicalDpiX());
}

TEST_F(Window, EveryControlWithItsKindCaptionAndPlace)
{
    int count = 0;
    for (const Control& c : kControls) {
        SCOPED_TRACE(std::string(c.name) + "(" + std::to_string(c.index) + ")");
        QWidget* w = find(c);
        ASSERT_NE(w, nullptr);
        ++count;
        EXPECT_EQ(w->geometry(), QRect(window.twips(c.left), window.twips(c.top),
                                       window.twips(c.width), window.twips(c.height)));
        EXPECT_TRUE(w->isEnabled());
        const QString caption = QString::fromLatin1(c.caption);
        switch (c.kind) {
        case Kind::TextBox: {
            auto* box = qobject_cast<QPlainTextEdit*>(w);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->toPlainText(), "");
            EXPECT_TRUE(box->font().bold());
            EXPECT_DOUBLE_EQ(box->font().pointSizeF(), 9.75);
            EXPECT_EQ(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
            EXPECT_EQ(box->lineWrapMode(), QPlainTextEdit::WidgetWidth);
            break;
        }
        case Kind::LineEdit:
            ASSERT_NE(qobject_cast<QLineEdit*>(w), nullptr);
            EXPECT_EQ(qobject_cast<QLineEdit*>(w)->text(), caption);
            break;
        case Kind::Button:
            ASSERT_NE(qobject_cast<QPushButton*>(w), nullptr);
            EXPECT_EQ(qobject_cast<QPushButton*>(w)->text(), caption);
            EXPECT_EQ(w->accessibleName(), caption);
            break;
        case Kind::Label:
        case Kind::WrappedLabel:
            ASSERT_NE(qobject_cast<QLabel*>(w), nullptr);
            EXPECT_EQ(qobject_cast<QLabel*>(w)->text(), caption);
            break;
        case Kind::Picture:
            ASSERT_NE(qobject_cast<PictureBox*>(w), nullptr);
            EXPECT_TRUE(qobject_cast<PictureBox*>(w)->picture().isNull());
            break;
        case Kind::List:
            ASSERT_NE(qobject_cast<QListWidget*>(w), nullptr);
            EXPECT_EQ(qobject_cast<QListWidget*>(w)->count(), 0);
            break;
        }
    }
    EXPECT_EQ(count, 29);
}

TEST_F(Window, TimerIsOffAtFifteenMilliseconds)
{
    auto* timer = window.findChild<QTimer*>("tmr_pend_exp");
    ASSERT_NE(timer, nullptr);
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(timer->interval(), 15);
}

TEST_F(Window, PictureBoxesAreWhite)
{
    window.show();
    for (PictureBox* box : {window.Picture1, window.Picture2}) {
        const QImage shown = box->grab().toImage();
        EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::white));
    }
}

TEST_F(Window, TabFollowsTheTable)
{
    // A text box or list has inner widgets of its own in the focus chain; the
    // next control of the table must be the next control reached.
    std::vector<QWidget*> order;
    for (const Control& c : kControls) {
        order.push_back(find(c));
    }
    const std::set<QWidget*> controls(order.begin(), order.end());
    for (std::size_t i = 0; i + 1 < order.size(); ++i) {
        QWidget* next = order[i]->nextInFocusChain();
        while (!controls.contains(next)) {
            next = next->nextInFocusChain();
        }
        EXPECT_EQ(next, order[i + 1]) << "after " << kControls[i].name;
    }
    // A large text box passes Tab on rather than taking it as text.
    EXPECT_TRUE(window.txt_question->tabChangesFocus());
    EXPECT_TRUE(window.txt_answer->tabChangesFocus());
}

TEST_F(Window, ResizingMovesNoControl)
{
    std::vector<QRect> before;
    for (const Control& c : kControls) {
        before.push_back(find(c)->geometry());
    }
    window.resize(window.width() * 2, window.height() * 2);
    std::size_t i = 0;
    for (const Control& c : kControls) {
        EXPECT_EQ(find(c)->geometry(), before[i++]) << c.name;
    }
}

TEST_F(Window, ControlsWithoutHandlersChangeNothing)
{
    window.show();
    for (QPushButton* b :
         {window.cmd_timerTrigger, window.cmd_Make_paragraph, window.cmd_Make_Paragraph_question}) {
        QTest::mouseClick(b, Qt::LeftButton);
    }
    EXPECT_EQ(window.txt_question->toPlainText(), "");
    EXPECT_EQ(window.txt_answer->toPlainText(), "");
    EXPECT_TRUE(platform.prompts.isEmpty());
    EXPECT_FALSE(window.tmr_pend_exp.isActive());
    EXPECT_FALSE(window.ended());
}

// The window makes these two tiny on purpose; no readable caption fits them.
const std::set<std::string> kTinyOnPurpose = {"cmd_display_note_file", "lbl_paragraph_goback"};

// Run at 96 DPI and again at 192 (QT_FONT_DPI), where every size doubles:
// Qt 6 keeps 96 logical DPI there and draws at twice the pixels.
TEST_F(Window, CaptionsShownWholeAtAReadableSize)
{
    if (const QByteArray dpi = qgetenv("QT_FONT_DPI"); !dpi.isEmpty()) {
        ASSERT_EQ(qRound(window.logicalDpiX() * window.devicePixelRatio()), dpi.toInt());
    }
    window.show();
    int checked = 0;
    for (const Control& c : kControls) {
        if (c.kind != Kind::Button && c.kind != Kind::Label && c.kind != Kind::WrappedLabel) {
            continue;
        }
        SCOPED_TRACE(std::string(c.name) + "(" + std::to_string(c.index) + ")");
        QWidget* w = find(c);
        QFont font;
        int flags = Qt::TextWordWrap;
        if (auto* button = qobject_cast<CaptionButton*>(w)) {
            font = button->captionFont();
        } else if (auto* label = qobject_cast<CaptionLabel*>(w)) {
            font = label->captionFont();
            flags = label->wordWrap() ? Qt::TextWordWrap : 0;
            // Drawn as a plain label of that font would be.
            QLabel plain(label->text());
            plain.setFont(font);
            plain.setWordWrap(label->wordWrap());
            plain.resize(label->size());
            EXPECT_EQ(label->grab().toImage().convertToFormat(QImage::Format_RGB32),
                      plain.grab().toImage().convertToFormat(QImage::Format_RGB32));
        } else {
            ADD_FAILURE() << "a caption that is not fitted";
            continue;
        }
        if (kTinyOnPurpose.contains(c.name)) {
            continue;
        }
        ++checked;
        EXPECT_GE(font.pointSizeF(), 6.0);
        // What the window shows of the control: "quit program" and "copy
        // picture" reach beyond its edges.
        const QSize shown = w->geometry().intersected(window.rect()).size();
        // Word wrap never breaks inside a word: a word too long widens the text.
        const QRect caption = QFontMetrics(font).boundingRect(QRect(QPoint(), shown), flags,
                                                              QString::fromLatin1(c.caption));
        EXPECT_LE(caption.width(), shown.width()) << font.pointSizeF();
        EXPECT_LE(caption.height(), shown.height()) << font.pointSizeF();
    }
    EXPECT_EQ(checked, 17);
}

// The darkness a box's text adds to it, as drawn at a device pixel ratio: a
// screen of 192 DPI is one of 96 logical DPI drawn at twice the pixels.
double textInk(QLineEdit* box, int ratio)
{
    auto drawn = [&] {
        QPixmap pixmap(box->size() * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::white);
        box->render(&pixmap);
        return pixmap.toImage().convertToFormat(QImage::Format_Grayscale8);
    };
    const QString text = box->text();
    const QImage shown = drawn();
    box->setText({});
    const QImage empty = drawn();
    box->setText(text);
    double ink = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            ink += std::max(0, qGray(empty.pixel(x, y)) - qGray(shown.pixel(x, y)));
        }
    }
    return ink;
}

// The same text in the same font with room all round.
double freeInk(const QLineEdit* box, int ratio)
{
    QImage image(QSize(200, 100) * ratio, QImage::Format_Grayscale8);
    image.setDevicePixelRatio(ratio);
    image.fill(box->palette().color(QPalette::Base));
    QPainter painter(&image);
    painter.setFont(box->font());
    painter.setPen(box->palette().color(QPalette::Text));
    painter.drawText(QPoint(50, 50), box->text());
    painter.end();
    double ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ink += qGray(box->palette().color(QPalette::Base).rgb()) - qGray(image.pixel(x, y));
        }
    }
    return ink;
}

struct RatioCase {
    const char* name;
    int ratio;
};

void PrintTo(const RatioCase& c, std::ostream* os)
{
    *os << c.name;
}

class SmallTextBoxes : public testing::TestWithParam<RatioCase>
{
};

// The "#" box and the parameter boxes each hold "1", the first in a box
// hardly wider than the digit.
TEST_P(SmallTextBoxes, ShowTheirTextWhole)
{
    ScriptedPlatform platform;
    q_a_template_ window(platform);
    window.show();
    int checked = 0;
    for (auto* box : window.findChildren<QLineEdit*>()) {
        SCOPED_TRACE(box->objectName().toStdString() + "(" +
                     std::to_string(box->property("index").toInt()) + ")");
        const double free = freeInk(box, GetParam().ratio);
        ASSERT_GT(free, 0);
        EXPECT_NEAR(textInk(box, GetParam().ratio) / free, 1.0, 0.03);
        ++checked;
    }
    EXPECT_EQ(checked, 5);
}

INSTANTIATE_TEST_SUITE_P(Screens, SmallTextBoxes,
                         testing::Values(RatioCase{"At96Dpi", 1}, RatioCase{"At192Dpi", 2}),
                         [](const testing::TestParamInfo<RatioCase>& param) {
                             return param.param.name;
                         });

struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool autoRepeat;
    bool presses;
    // A repeat as the system tells it where Qt leaves it unflagged.
    bool unflagged = false;
};

void PrintTo(const KeyCase& c, std::ostream* os)
{
    *os << c.name;
}

void sendKey(QWidget* to, const KeyCase& c)
{
    const bool digit = c.key >= Qt::Key_0 && c.key <= Qt::Key_9;
    const QString text = c.key == Qt::Key_Space ? QStringLiteral(" ")
                         : digit                ? QString(QChar(c.key))
                                                : QStringLiteral("\r");
    if (c.unflagged) {
        sendUnflaggedRepeat(to, c.key, c.modifiers, text);
        return;
    }
    QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers, text, c.autoRepeat);
    QApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, c.key, c.modifiers, text, c.autoRepeat);
    QApplication::sendEvent(to, &release);
}

class ButtonKeys : public testing::TestWithParam<KeyCase>
{
};

TEST_P(ButtonKeys, PressEveryButtonOrNone)
{
    ScriptedPlatform platform;
    q_a_template_ window(platform);
    window.show();
    int buttons = 0;
    for (const Control& c : kControls) {
        if (c.kind != Kind::Button) {
            continue;
        }
        auto* button = window.findChild<QPushButton*>(QString::fromLatin1(c.name));
        ASSERT_NE(button, nullptr) << c.name;
        QSignalSpy clicked(button, &QPushButton::clicked);
        button->setFocus();
        sendKey(button, GetParam());
        EXPECT_EQ(clicked.count(), GetParam().presses ? 1 : 0) << c.name;
        ++buttons;
    }
    EXPECT_EQ(buttons, 13);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ButtonKeys,
    testing::Values(KeyCase{"Space", Qt::Key_Space, Qt::NoModifier, false, true},
                    KeyCase{"Return", Qt::Key_Return, Qt::NoModifier, false, true},
                    KeyCase{"KeypadEnter", Qt::Key_Enter, Qt::KeypadModifier, false, true},
                    KeyCase{"ReturnHeldDown", Qt::Key_Return, Qt::NoModifier, true, false},
                    KeyCase{"ReturnHeldDownUnflagged", Qt::Key_Return, Qt::NoModifier, false, false,
                            true},
                    KeyCase{"KeypadEnterHeldDown", Qt::Key_Enter, Qt::KeypadModifier, true, false},
                    KeyCase{"SpaceHeldDown", Qt::Key_Space, Qt::NoModifier, true, false},
                    KeyCase{"ShiftReturn", Qt::Key_Return, Qt::ShiftModifier, false, false},
                    KeyCase{"ControlReturn", Qt::Key_Return, Qt::ControlModifier, false, false},
                    KeyCase{"AltReturn", Qt::Key_Return, Qt::AltModifier, false, false},
                    KeyCase{"MetaReturn", Qt::Key_Return, Qt::MetaModifier, false, false},
                    KeyCase{"ShiftKeypadEnter", Qt::Key_Enter,
                            Qt::KeypadModifier | Qt::ShiftModifier, false, false},
                    KeyCase{"ControlKeypadEnter", Qt::Key_Enter,
                            Qt::KeypadModifier | Qt::ControlModifier, false, false},
                    KeyCase{"AltKeypadEnter", Qt::Key_Enter, Qt::KeypadModifier | Qt::AltModifier,
                            false, false},
                    KeyCase{"MetaKeypadEnter", Qt::Key_Enter, Qt::KeypadModifier | Qt::MetaModifier,
                            false, false},
                    KeyCase{"AltGrReturn", Qt::Key_Return, Qt::GroupSwitchModifier, false, false}),
    [](const testing::TestParamInfo<KeyCase>& param) { return param.param.name; });

// What a student can see of a run, in the window and in the files.
struct Seen {
    QString question, answer;
    QByteArray master, send, notes;
    QStringList prompts, messages;
    bool ended, timer, picture;
    int cursor;
    bool operator==(const Seen&) const = default;
};

void PrintTo(const Seen& s, std::ostream* os)
{
    *os << "question " << s.question.size() << " chars, answer \"" << s.answer.toStdString()
        << "\", master +" << s.master.size() << ", send +" << s.send.size() << ", notes "
        << s.notes.size() << ", " << s.prompts.size() << " prompts, " << s.messages.size()
        << " messages, ended " << s.ended << ", timer " << s.timer << ", picture " << s.picture
        << ", cursor " << s.cursor;
}

Seen seen(RecordRun& r)
{
    return {q_a_template_::boxText(r.w().txt_question), q_a_template_::boxText(r.w().txt_answer),
            r.masterAdded(), r.sendAdded(), r.notes(),
            // Those of start-up name the run's own folder.
            r.run->platform.prompts.mid(3), r.run->platform.messages, r.w().ended(),
            r.w().tmr_pend_exp.isActive(), !r.w().Picture2->picture().isNull(), r.w().bankCursor};
}

class EnterOnAButton : public testing::TestWithParam<const char*>
{
};

// Mid-question, with an answer typed, Enter on the focused button, held
// down or not, and a click of it leave the run the same.
TEST_P(EnterOnAButton, DoesWhatItsClickDoes)
{
    auto midQuestion = [] {
        auto r = std::make_unique<RecordRun>(QStringList{"2"});
        r->w().show();
        r->press();
        r->type("4");
        return r;
    };
    auto clicked = midQuestion();
    clicked->w().findChild<QPushButton*>(GetParam())->click();
    for (const KeyCase& key : {KeyCase{"Return", Qt::Key_Return, Qt::NoModifier, false, true},
                               KeyCase{"Enter", Qt::Key_Enter, Qt::KeypadModifier, false, true}}) {
        auto entered = midQuestion();
        auto* button = entered->w().findChild<QPushButton*>(GetParam());
        button->setFocus();
        sendKey(button, key);
        // Held down: its repeats, flagged by Qt or told by the system, press no more.
        for (int repeat = 0; repeat < 10; ++repeat) {
            sendKey(button, {key.name, key.key, key.modifiers, true, false});
            sendKey(button, {key.name, key.key, key.modifiers, false, false, true});
        }
        EXPECT_EQ(seen(*entered), seen(*clicked)) << key.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, EnterOnAButton,
    testing::Values("cmdNextQuestion", "cmd_enter_response", "cmd_save_as_notes",
                    "cmd_Make_paragraph", "cmd_Make_Paragraph_question", "cmd_timerTrigger",
                    "cmd_displayCumulativeText", "cmd_display_note_file", "cmd_quit",
                    "cmd_pend_exp", "cmd_next_picture", "cmd_copy_picture", "cmd_clear_answer_box"),
    [](const testing::TestParamInfo<const char*>& param) { return std::string(param.param); });

class PromptKeys : public testing::TestWithParam<KeyCase>
{
};

// A key held down since before the prompt opened (its repeats) answers
// nothing and types nothing; a fresh Enter then answers at once, as the
// system sends it.
TEST_P(PromptKeys, EnterInTheEntryPressesOk)
{
    HeldKeys keys; // as the window that opens the prompt has
    PromptDialog dialog(nullptr, QStringLiteral("Assignment Number:  "));
    dialog.show();
    auto* entry = dialog.findChild<QLineEdit*>(QStringLiteral("promptEntry"));
    QTest::keyClicks(entry, "5");
    for (int repeat = 0; repeat < (GetParam().autoRepeat ? 20 : 1); ++repeat) {
        sendKey(entry, GetParam());
    }
    EXPECT_EQ(dialog.result() == QDialog::Accepted, GetParam().presses);
    EXPECT_EQ(dialog.isVisible(), !GetParam().presses);
    EXPECT_EQ(entry->text(), "5");
    if (!GetParam().presses) {
        sendFreshPress(entry, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    }
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.reply(), "5");
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PromptKeys,
    testing::Values(KeyCase{"Return", Qt::Key_Return, Qt::NoModifier, false, true},
                    KeyCase{"KeypadEnter", Qt::Key_Enter, Qt::KeypadModifier, false, true},
                    KeyCase{"ReturnHeldDown", Qt::Key_Return, Qt::NoModifier, true, false},
                    KeyCase{"KeypadEnterHeldDown", Qt::Key_Enter, Qt::KeypadModifier, true, false},
                    KeyCase{"ReturnHeldDownUnflagged", Qt::Key_Return, Qt::NoModifier, false, false,
                            true},
                    KeyCase{"DigitHeldDown", Qt::Key_3, Qt::NoModifier, true, false},
                    KeyCase{"SpaceHeldDown", Qt::Key_Space, Qt::NoModifier, true, false}),
    [](const testing::TestParamInfo<KeyCase>& param) { return param.param.name; });

// A key pressed while the prompt is open repeats as it does anywhere: held
// Backspace erases what was typed, a held digit types it again.
TEST(PromptKeysPressedInIt, RepeatAsUsual)
{
    HeldKeys keys;
    PromptDialog dialog(nullptr, QStringLiteral("Assignment Number:  "));
    dialog.show();
    auto* entry = dialog.findChild<QLineEdit*>(QStringLiteral("promptEntry"));
    QTest::keyClicks(entry, "123");
    for (const bool repeat : {false, true, true, true}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, {}, repeat);
        QApplication::sendEvent(entry, &press);
    }
    EXPECT_EQ(entry->text(), "");
    for (const bool repeat : {false, true, true}) {
        sendKey(entry, KeyCase{"7", Qt::Key_7, Qt::NoModifier, repeat, true});
    }
    EXPECT_EQ(entry->text(), "777");
    EXPECT_TRUE(dialog.isVisible());
}

// A student who holds a key down and keeps holding it as each dialog opens
// (the program's prompts and messages, from start-up on): the dialog first
// meets the key's repeats, then the reply typed with fresh keys and Enter.
class HeldDownThroughDialogs
{
public:
    HeldDownThroughDialogs(const KeyCase& held, QStringList replies)
        : held_(held), replies_(std::move(replies))
    {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { meetDialog(); });
        timer_.start(5);
    }

    // For each dialog met, whether it was still open after the repeats.
    QList<bool> stillOpen;

private:
    void meetDialog()
    {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr || dialog == met_ || !dialog->isVisible()) {
            return;
        }
        met_ = dialog;
        QWidget* focus = dialog->focusWidget() != nullptr ? dialog->focusWidget() : dialog;
        for (int repeat = 0; repeat < 20; ++repeat) {
            sendKey(focus, held_);
        }
        stillOpen << dialog->isVisible();
        if (!dialog->isVisible()) {
            return;
        }
        if (replies_.isEmpty()) {
            QTest::keyClick(focus, Qt::Key_Escape);
            return;
        }
        QTest::keyClicks(focus, replies_.takeFirst());
        QTest::keyClick(focus, Qt::Key_Return);
    }

    KeyCase held_;
    QStringList replies_;
    QTimer timer_;
    QPointer<QWidget> met_;
};

class HeldKey : public testing::TestWithParam<KeyCase>
{
};

// Held from before the program started, through a refused name and on to
// "Enter Response": every prompt and message waits for the student's own
// reply, and the rating is the one typed, never an empty one.
TEST_P(HeldKey, AnswersNoDialog)
{
    TestFolder folder;
    WindowOptions options;
    options.bankEntries = std::vector<std::string>{"001.", "", "`q001.  Q", "", "end program"};
    options.defaultFolder = folder.file("tutrdata");
    QtPlatform platform;
    q_a_template_ window(platform, options);
    HeldDownThroughDialogs student(GetParam(), {"Ann/Lee", "", "Ann", "", "1", "2"});
    window.Form_Load();
    ASSERT_FALSE(window.ended());
    window.show();
    window.cmdNextQuestion->click();
    window.txt_answer->setPlainText("x = 1");
    window.cmd_enter_response->setFocus();
    sendKey(window.cmd_enter_response, {"Return", Qt::Key_Return, Qt::NoModifier, false, true});
    // The name prompt, the message, the name prompt again, the folder, the
    // assignment and the rating.
    EXPECT_EQ(student.stillOpen, QList<bool>(6, true));
    const QByteArray master = TestFolder::read(folder.file("tutrdata/masterFile_Ann.txt"));
    EXPECT_TRUE(master.contains("\r\nx = 1\r\nconfidence assessment:  2\r\n")) << master.data();
    EXPECT_EQ(master.count("assessment:"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, HeldKey,
    testing::Values(KeyCase{"Return", Qt::Key_Return, Qt::NoModifier, true, false},
                    KeyCase{"KeypadEnter", Qt::Key_Enter, Qt::KeypadModifier, true, false},
                    KeyCase{"ReturnUnflagged", Qt::Key_Return, Qt::NoModifier, false, false, true},
                    KeyCase{"Space", Qt::Key_Space, Qt::NoModifier, true, false},
                    KeyCase{"Digit", Qt::Key_1, Qt::NoModifier, true, false}),
    [](const testing::TestParamInfo<KeyCase>& param) { return param.param.name; });

struct BoxTextCase {
    const char* name;
    QString set;
    QString shown;
    QString read;
};

void PrintTo(const BoxTextCase& c, std::ostream* os)
{
    *os << c.name;
}

class BoxText : public testing::TestWithParam<BoxTextCase>
{
};

TEST_P(BoxText, ShownWithLfAndReadBackAsTyped)
{
    QPlainTextEdit box;
    q_a_template_::setBoxText(&box, GetParam().set);
    EXPECT_EQ(box.document()->toRawText(), GetParam().shown);
    EXPECT_EQ(q_a_template_::boxText(&box), GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, BoxText,
    testing::Values(BoxTextCase{"Empty", "", "", ""},
                    BoxTextCase{"ParagraphBreaks", "one\r\n\r\ntwo",
                                QStringLiteral("one\u2029\u2029two"), "one\r\n\r\ntwo"},
                    BoxTextCase{"EndsWithABreak", "one\r\n", QStringLiteral("one\u2029"),
                                "one\r\n"},
                    BoxTextCase{"NoBreakSpaceKept", QStringLiteral("a\u00a0b"),
                                QStringLiteral("a\u00a0b"), QStringLiteral("a\u00a0b")},
                    BoxTextCase{"LineSeparatorIsNoParagraphBreak", QStringLiteral("a\u2028b"),
                                QStringLiteral("a\u2028b"), QStringLiteral("a\u2028b")}),
    [](const testing::TestParamInfo<BoxTextCase>& param) { return param.param.name; });

TEST_F(Window, ShiftEnterBreaksTheLineAndANoBreakSpaceIsReadAsTyped)
{
    window.show();
    for (QPlainTextEdit* box : {window.txt_question, window.txt_answer}) {
        box->setFocus();
        QTest::keyClicks(box, "a");
        QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(box, QStringLiteral("b\u00a0c"));
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, "d");
        EXPECT_EQ(q_a_template_::boxText(box), QStringLiteral("a\r\nb\u00a0c\r\nd"));
    }
}

} // namespace
