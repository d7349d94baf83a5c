#include "q_a_template_.h"

#include "platform.h"
#include "record_file.h"
#include "record_text.h"

#include <QPlainTextEdit>

using namespace recordText;

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
    // The clock is read for each file; only the master file numbers the question.
    const auto head = [&](bool master) {
        QStringList lines = {recordStartRule, stampLine(platform_.now().time())};
        if (master) {
            lines << QString() << QString() << questionNumberLine(assignmentNumber, questionNumber);
        }
        lines << code(currentLine, codeNumber) << recordStartRule << responseLabel
              << code(displayedText, codeNumber);
        return recordBytes(lines);
    };
    const std::string masterHead = head(true);
    const std::string sendHead = head(false);
    if (!appendOrUndo({{filePath(masterFilePath), masterHead}, {filePath(sendFilePath), sendHead}},
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
