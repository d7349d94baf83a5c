#pragma once

#include "app/held_keys.h"
#include "bank/question_bank.h"
#include "coding/program_random.h"
#include "record/records.h"
#include "record/student_records.h"

#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Platform;
class PictureBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

struct WindowOptions {
    // Another bank for tests; the compiled-in course when empty.
    std::optional<std::vector<std::string>> bankEntries;
    // A fixed seed for the random generator instead of the time of day.
    std::optional<std::uint32_t> fixedSeed;
    // The folder created at start-up and offered as the default.
    QString defaultFolder;
};

// The program's one window. It owns the whole state of a run; its procedures
// keep the names the rest of the code base uses for them.
class q_a_template_ : public QWidget
{
    Q_OBJECT
public:
    q_a_template_(Platform& platform, WindowOptions options = {});
    ~q_a_template_() override;

    // The Load event: start-up, then the assignment opening. Runs before the
    // window is shown; may end the program.
    void Form_Load();
    bool ended() const { return ended_; }

    // Twips to pixels at this screen's logical DPI.
    int twips(int value) const;

    // Text boxes show LF; the program's texts use CR LF.
    static void setBoxText(QPlainTextEdit* box, const QString& text);
    static QString boxText(const QPlainTextEdit* box);
    // Where a box's view stands once text was added to it: from the line that
    // holds `position`, at the top as far as the end allows; or at the end.
    // The box's cursor is left there too, where a screen reader reads on.
    static void showFrom(QPlainTextEdit* box, int position);
    static void showEnd(QPlainTextEdit* box);

    // Start-up and opening.
    void startUp();
    void loadQuestionBank();
    void openAssignment();

    // Line coding.
    QString code(const QString& aLine, int codeNbr) const;
    std::string makeCodeLine(int codeNbr);
    std::string decode(const std::string& aLine, int codeNbr) const;
    void codeFile();

    // Question stream and routines.
    void readNextQuestion();
    void cmdNextQuestion_Click();
    QString convertBraces(const QString& text) const;
    QString remSpaces(const QString& aLine) const;
    void runRoutine(const QString& routine);
    void cmd_next_picture_Click();

    // Responses, notes and file display.
    void cmd_enter_response_Click();
    void rateSelfCritique();
    void cmd_save_as_notes_Click();
    void cmd_display_note_file_Click();
    void cmd_displayCumulativeText_Click();
    void cmd_clear_answer_box_Click();
    void cmd_quit_Click();

    // Pictures and the timer demonstration.
    void cmd_copy_picture_Click();
    void cmd_pend_exp_Click();
    void tmr_pend_exp_Timer();

    // The run's state.
    QString courseTitle;
    int codeNumber = 0;
    QString workFolder;
    StudentRecords records;
    const QString& masterFilePath() const { return records.path(FileRole::master); }
    const QString& sendFilePath() const { return records.path(FileRole::send); }
    const QString& notesFilePath() const { return records.path(FileRole::notes); }
    QString assignmentNumber;
    QString nextAssignmentNumber;
    QString defaultPrompt;
    std::unique_ptr<BankLines> bankLines;
    int bankCursor = 0;
    QString currentLine;
    enum class BlockKind { none, question, answer };
    BlockKind blockKind = BlockKind::none;
    QString questionNumber;
    bool promptDue = false;
    QString displayedText;
    QString newText;

    // Controls, in tab order.
    QPlainTextEdit* txt_question;
    QPlainTextEdit* txt_answer;
    QPushButton* cmdNextQuestion;
    QPushButton* cmd_enter_response;
    PictureBox* Picture1;
    PictureBox* Picture2;
    QPushButton* cmd_save_as_notes;
    QPushButton* cmd_Make_paragraph;
    QPushButton* cmd_Make_Paragraph_question;
    QLineEdit* txt_paragraph_goback;
    QLabel* lbl_paragraph_goback;
    QPushButton* cmd_timerTrigger;
    QListWidget* List1;
    std::array<QLabel*, 4> lbl_parameter;
    std::array<QLineEdit*, 4> txt_parameter;
    QPushButton* cmd_displayCumulativeText;
    QPushButton* cmd_display_note_file;
    QPushButton* cmd_quit;
    QPushButton* cmd_pend_exp;
    QPushButton* cmd_next_picture;
    QLabel* lbl_only_if_prompted;
    QPushButton* cmd_copy_picture;
    QPushButton* cmd_clear_answer_box;
    QTimer tmr_pend_exp;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What a recording click may have to put back when a file fails it.
    struct ClickState {
        StudentRecords::Marks files;
        bool promptDue;
        QString displayedText;
    };
    ClickState clickState(std::initializer_list<FileRole> roles) const;
    bool appendOrUndo(const std::vector<StudentRecords::Run>& runs, const ClickState& before);
    bool answerBoxUnchanged();
    void clearBoxes();
    std::optional<std::string> readOrReport(const QString& path);
    std::optional<QString> linesBelow(const QString& path);

    void buildControls();
    void endProgram();
    QString askFullName();
    bool composePaths();
    std::optional<QString> writeOpeningRecord(const std::string& codeLine);
    bool findAssignmentHeader();
    QString availableAssignments() const;
    void connectHandlers();
    const std::string& bankLine(int index) const;
    QString entry(int index) const;

    // A key held down acts where it went down, in the window and in the
    // prompts and messages it opens.
    HeldKeys heldKeys_;
    Platform& platform_;
    WindowOptions options_;
    ProgramRandom random_;
    bool ended_ = false;
    QString fullName_;
    ResponseTail rating_;
};
