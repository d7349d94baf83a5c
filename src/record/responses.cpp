#include "q_a_template_.h"

#include "platform.h"
#include "record_file.h"
#include "record_text.h"

#include <QFile>
#include <QPlainTextEdit>

using namespace recordText;

std::string q_a_template_::filePath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

std::string q_a_template_::recordBytes(const QStringList& lines)
{
    std::string bytes;
    for (const QString& line : lines) {
        bytes += toWindows1252(line.toStdString());
        bytes += "\r\n";
    }
    return bytes;
}

// Writes the runs, or, when one fails, undoes everything this click wrote,
// puts the run's state back and tells the student; the boxes keep their text.
bool q_a_template_::appendOrUndo(const std::vector<FileAppend>& runs, const ClickState& before)
{
    const auto failure = appendRuns(runs);
    if (!failure) {
        return true;
    }
    restoreFiles(before.files);
    promptDue = before.promptDue;
    displayedText = before.displayedText;
    platform_.message(this, fileFailureMessage(*failure));
    return false;
}

q_a_template_::ClickState q_a_template_::clickState(const QStringList& paths) const
{
    std::vector<std::string> names;
    for (const QString& path : paths) {
        names.push_back(filePath(path));
    }
    return {markFiles(names), promptDue, displayedText};
}

bool q_a_template_::answerBoxUnchanged()
{
    if (boxText(txt_answer) != defaultPrompt) {
        return false;
    }
    txt_question->clear();
    txt_answer->clear();
    return true;
}

void q_a_template_::cmd_enter_response_Click()
{
    if (ended_ || answerBoxUnchanged()) {
        return;
    }
    const ClickState before = clickState({masterFilePath, sendFilePath});
    promptDue = false;
    displayedText = boxText(txt_answer);

    // Up to the response text, on disk before the rating prompt is shown.
    const QStringList masterHead = {recordStartRule,
                                    stampLine(platform_.now().time()),
                                    QString(),
                                    QString(),
                                    questionNumberLine(assignmentNumber, questionNumber),
                                    code(currentLine, codeNumber),
                                    recordStartRule,
                                    responseLabel,
                                    code(displayedText, codeNumber)};
    const QStringList sendHead = {recordStartRule,
                                  stampLine(platform_.now().time()),
                                  code(currentLine, codeNumber),
                                  recordStartRule,
                                  responseLabel,
                                  code(displayedText, codeNumber)};
    if (!appendOrUndo({{filePath(masterFilePath), recordBytes(masterHead)},
                       {filePath(sendFilePath), recordBytes(sendHead)}},
                      before)) {
        return;
    }

    ratingLine_.reset();
    if (blockKind == u"question") {
        ratingLine_ = confidenceLabel + platform_.prompt(this, confidencePrompt());
    } else if (blockKind == u"answer") {
        rateSelfCritique();
    }
    QStringList tail;
    if (ratingLine_) {
        tail << *ratingLine_;
    }
    tail << recordEndRule;
    if (!appendOrUndo({{filePath(masterFilePath), recordBytes(tail)},
                       {filePath(sendFilePath), recordBytes(tail)}},
                      before)) {
        return;
    }
    txt_question->clear();
    txt_answer->clear();
}

void q_a_template_::rateSelfCritique()
{
    ratingLine_ = selfCritiqueLabel + platform_.prompt(this, selfCritiquePrompt());
}
