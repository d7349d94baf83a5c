#include "app/q_a_template_.h"

#include "app/caption_button.h"
#include "app/platform.h"
#include "app/system.h"
#include "app/text_box_accessible.h"
#include "pictures/picture_box.h"
#include "text/line_ends.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>
#include <QTextDocument>

namespace
{

struct Placement {
    int left;
    int top;
    int width;
    int height;
};

// The controls' places in twips, measured from the inner area's top left.
constexpr Placement kQuestion{240, 720, 5175, 3255};
constexpr Placement kAnswer{5640, 720, 5055, 3255};
constexpr Placement kNextQuestion{240, 0, 975, 735};
constexpr Placement kEnterResponse{5640, 240, 855, 495};
constexpr Placement kPicture1{240, 4080, 5175, 3375};
constexpr Placement kPicture2{5640, 4080, 5055, 3375};
constexpr Placement kSaveAsNotes{6480, 240, 855, 495};
constexpr Placement kMakeParagraph{7320, 240, 975, 495};
constexpr Placement kMakeParagraphQuestion{1200, 240, 855, 495};
constexpr Placement kParagraphGoback{3120, 240, 150, 285};
constexpr Placement kParagraphGobackLabel{2880, 360, 135, 135};
constexpr Placement kTimerTrigger{2400, 7560, 735, 495};
constexpr Placement kList{3120, 7680, 1695, 840};
constexpr Placement kParameterLabels[] = {{5640, 7680, 900, 195},
                                          {5640, 8160, 855, 195},
                                          {7200, 7680, 1005, 195},
                                          {7200, 8160, 900, 195}};
constexpr Placement kParameters[] = {
    {6720, 7680, 300, 285}, {6720, 8160, 300, 285}, {8205, 7680, 300, 285}, {8205, 8160, 300, 285}};
constexpr Placement kDisplaySend{4440, 240, 855, 495};
constexpr Placement kDisplayNotes{3360, 360, 135, 195};
constexpr Placement kQuit{10200, 0, 735, 495};
constexpr Placement kPendExp{8640, 7560, 495, 375};
constexpr Placement kNextPicture{1200, 7560, 855, 495};
constexpr Placement kOnlyIfPrompted{240, 7560, 855, 495};
constexpr Placement kCopyPicture{1200, 8160, 855, 495};
constexpr Placement kClearAnswerBox{8280, 240, 855, 495};

constexpr int kInnerWidth = 10875;
constexpr int kInnerHeight = 8490;
constexpr int kTimerIntervalMs = 15;

} // namespace

q_a_template_::q_a_template_(Platform& platform, WindowOptions options)
    : bankLines(std::make_unique<BankLines>()), platform_(platform), options_(std::move(options))
{
    if (options_.defaultFolder.isEmpty()) {
        options_.defaultFolder = platformDefaultFolder();
    }
    static const bool boxesAccessible =
        (QAccessible::installFactory(&TextBoxAccessible::create), true);
    Q_UNUSED(boxesAccessible);
    setObjectName(QStringLiteral("q_a_template_"));
    setWindowTitle(QStringLiteral("Form1"));
    buildControls();
    connectHandlers();
    resize(twips(kInnerWidth), twips(kInnerHeight));
}

q_a_template_::~q_a_template_() = default;

int q_a_template_::twips(int value) const
{
    const QScreen* s = screen();
    const double dpi = s ? s->logicalDotsPerInchX() : 96.0;
    return qRound(value * dpi / 1440.0);
}

void q_a_template_::buildControls()
{
    auto place = [this](QWidget* control, const QString& name, const Placement& at,
                        const QString& caption) {
        control->setObjectName(name);
        control->setAccessibleName(caption.isEmpty() ? name : caption);
        control->setGeometry(twips(at.left), twips(at.top), twips(at.width), twips(at.height));
    };
    auto textBox = [&](const QString& name, const Placement& at) {
        auto* box = new QPlainTextEdit(this);
        place(box, name, at, {});
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        box->setTabChangesFocus(true);
        box->installEventFilter(this);
        QFont bold = box->font();
        bold.setBold(true);
        bold.setPointSizeF(9.75);
        box->setFont(bold);
        return box;
    };
    auto button = [&](const QString& name, const Placement& at, const QString& caption) {
        auto* b = new CaptionButton(caption, this);
        b->setAutoDefault(false);
        place(b, name, at, caption);
        return b;
    };
    auto label = [&](const QString& name, const Placement& at, const QString& caption) {
        auto* l = new CaptionLabel(caption, this);
        place(l, name, at, caption);
        return l;
    };
    auto lineEdit = [&](const QString& name, const Placement& at) {
        auto* e = new QLineEdit(QStringLiteral("1"), this);
        place(e, name, at, {});
        return e;
    };
    auto picture = [&](const QString& name, const Placement& at) {
        auto* p = new PictureBox(this);
        place(p, name, at, {});
        return p;
    };

    txt_question = textBox(QStringLiteral("txt_question"), kQuestion);
    txt_answer = textBox(QStringLiteral("txt_answer"), kAnswer);
    cmdNextQuestion = button(QStringLiteral("cmdNextQuestion"), kNextQuestion,
                             QStringLiteral("Next Question / Answer"));
    cmd_enter_response = button(QStringLiteral("cmd_enter_response"), kEnterResponse,
                                QStringLiteral("Enter Response"));
    Picture1 = picture(QStringLiteral("Picture1"), kPicture1);
    Picture2 = picture(QStringLiteral("Picture2"), kPicture2);
    cmd_save_as_notes =
        button(QStringLiteral("cmd_save_as_notes"), kSaveAsNotes, QStringLiteral("Save as Notes"));
    cmd_Make_paragraph = button(QStringLiteral("cmd_Make_paragraph"), kMakeParagraph,
                                QStringLiteral("Make Paragraph"));
    cmd_Make_Paragraph_question = button(QStringLiteral("cmd_Make_Paragraph_question"),
                                         kMakeParagraphQuestion, QStringLiteral("Make Paragraph"));
    txt_paragraph_goback = lineEdit(QStringLiteral("txt_paragraph_goback"), kParagraphGoback);
    // The box is hardly wider than its "1", and inside its frame a line edit
    // keeps two pixels blank on either side: the text may use them.
    txt_paragraph_goback->setTextMargins(-2, 0, -2, 0);
    lbl_paragraph_goback = label(QStringLiteral("lbl_paragraph_goback"), kParagraphGobackLabel,
                                 QStringLiteral("# sentences previous"));
    cmd_timerTrigger =
        button(QStringLiteral("cmd_timerTrigger"), kTimerTrigger, QStringLiteral("Trigger Timer"));
    List1 = new QListWidget(this);
    place(List1, QStringLiteral("List1"), kList, {});
    for (int i = 0; i < 4; ++i) {
        const auto n = static_cast<std::size_t>(i);
        lbl_parameter[n] = label(QStringLiteral("lbl_parameter"), kParameterLabels[i],
                                 QStringLiteral("Parameter %1").arg(i + 1));
        lbl_parameter[n]->setProperty("index", i);
        txt_parameter[n] = lineEdit(QStringLiteral("txt_parameter"), kParameters[i]);
        txt_parameter[n]->setProperty("index", i);
        txt_parameter[n]->setAccessibleName(QStringLiteral("txt_parameter(%1)").arg(i));
    }
    cmd_displayCumulativeText = button(QStringLiteral("cmd_displayCumulativeText"), kDisplaySend,
                                       QStringLiteral("display SEND file"));
    cmd_display_note_file = button(QStringLiteral("cmd_display_note_file"), kDisplayNotes,
                                   QStringLiteral("display notes"));
    cmd_quit = button(QStringLiteral("cmd_quit"), kQuit, QStringLiteral("quit program"));
    cmd_pend_exp = button(QStringLiteral("cmd_pend_exp"), kPendExp, QStringLiteral("pend exp"));
    cmd_next_picture =
        button(QStringLiteral("cmd_next_picture"), kNextPicture, QStringLiteral("next picture"));
    lbl_only_if_prompted = label(QStringLiteral("lbl_only_if_prompted"), kOnlyIfPrompted,
                                 QStringLiteral("click only if prompted"));
    lbl_only_if_prompted->setWordWrap(true);
    cmd_copy_picture =
        button(QStringLiteral("cmd_copy_picture"), kCopyPicture, QStringLiteral("copy picture"));
    cmd_clear_answer_box = button(QStringLiteral("cmd_clear_answer_box"), kClearAnswerBox,
                                  QStringLiteral("clear box"));

    tmr_pend_exp.setObjectName(QStringLiteral("tmr_pend_exp"));
    tmr_pend_exp.setParent(this);
    tmr_pend_exp.setInterval(kTimerIntervalMs);

    const QList<QWidget*> tabOrder = {txt_question,
                                      txt_answer,
                                      cmdNextQuestion,
                                      cmd_enter_response,
                                      Picture1,
                                      Picture2,
                                      cmd_save_as_notes,
                                      cmd_Make_paragraph,
                                      cmd_Make_Paragraph_question,
                                      txt_paragraph_goback,
                                      lbl_paragraph_goback,
                                      cmd_timerTrigger,
                                      List1,
                                      lbl_parameter[0],
                                      txt_parameter[0],
                                      lbl_parameter[1],
                                      txt_parameter[1],
                                      lbl_parameter[2],
                                      txt_parameter[2],
                                      lbl_parameter[3],
                                      txt_parameter[3],
                                      cmd_displayCumulativeText,
                                      cmd_display_note_file,
                                      cmd_quit,
                                      cmd_pend_exp,
                                      cmd_next_picture,
                                      lbl_only_if_prompted,
                                      cmd_copy_picture,
                                      cmd_clear_answer_box};
    for (qsizetype i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
}

// Only these controls have handlers; every other click does nothing.
void q_a_template_::connectHandlers()
{
    connect(cmdNextQuestion, &QPushButton::clicked, this, &q_a_template_::cmdNextQuestion_Click);
    connect(cmd_next_picture, &QPushButton::clicked, this, &q_a_template_::cmd_next_picture_Click);
    connect(cmd_enter_response, &QPushButton::clicked, this,
            &q_a_template_::cmd_enter_response_Click);
    connect(cmd_save_as_notes, &QPushButton::clicked, this,
            &q_a_template_::cmd_save_as_notes_Click);
    connect(cmd_display_note_file, &QPushButton::clicked, this,
            &q_a_template_::cmd_display_note_file_Click);
    connect(cmd_displayCumulativeText, &QPushButton::clicked, this,
            &q_a_template_::cmd_displayCumulativeText_Click);
    connect(cmd_clear_answer_box, &QPushButton::clicked, this,
            &q_a_template_::cmd_clear_answer_box_Click);
    connect(cmd_quit, &QPushButton::clicked, this, &q_a_template_::cmd_quit_Click);
    connect(cmd_copy_picture, &QPushButton::clicked, this, &q_a_template_::cmd_copy_picture_Click);
    connect(cmd_pend_exp, &QPushButton::clicked, this, &q_a_template_::cmd_pend_exp_Click);
    connect(&tmr_pend_exp, &QTimer::timeout, this, &q_a_template_::tmr_pend_exp_Timer);
}

void q_a_template_::setBoxText(QPlainTextEdit* box, const QString& text)
{
    box->setPlainText(withBoxLineEnds(text));
}

// From the end the view moves up to the line and stops with it at the top;
// from above it would stop with the line at the bottom.
void q_a_template_::showFrom(QPlainTextEdit* box, int position)
{
    showEnd(box);
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(qBound(0, position, box->document()->characterCount() - 1));
    box->setTextCursor(cursor);
    box->ensureCursorVisible();
}

void q_a_template_::showEnd(QPlainTextEdit* box)
{
    box->moveCursor(QTextCursor::End);
    box->ensureCursorVisible();
}

// toPlainText() would turn a non-breaking space into a blank and a line
// separator into a line break; a block's own text keeps every character.
QString q_a_template_::boxText(const QPlainTextEdit* box)
{
    const QTextDocument* document = box->document();
    QString text;
    text.reserve(document->characterCount());
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block != document->begin()) {
            text += QStringLiteral("\r\n");
        }
        text += block.text();
    }
    return text;
}

// Shift+Enter would put a line separator into the box, which the record files'
// code page lacks; it breaks the line as Enter does.
bool q_a_template_::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QPlainTextEdit*>(watched);
    if (box != nullptr && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::InsertLineSeparator)) {
        QTextCursor cursor = box->textCursor();
        cursor.insertBlock();
        box->setTextCursor(cursor);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void q_a_template_::endProgram()
{
    ended_ = true;
    tmr_pend_exp.stop();
    close();
    platform_.endProgram();
}

const std::string& q_a_template_::bankLine(int index) const
{
    return (*bankLines)[static_cast<std::size_t>(index)];
}
