#include "app/platform.h"
#include "app/q_a_template_.h"
#include "record/record_text.h"

#include <QPlainTextEdit>

// Writes the runs, or, when one fails, undoes everything this click wrote,
// puts the run's state back and tells the student; the boxes keep their text.
bool q_a_template_::appendOrUndo(const std::vector<StudentRecords::Run>& runs,
                                 const ClickState& before)
{
    const auto failure = records.append(runs, before.files);
    if (!failure) {
        return true;
    }
    promptDue = before.promptDue;
    displayedText = before.displayedText;
    platform_.message(this, failure->message);
    return false;
}

q_a_template_::ClickState q_a_template_::clickState(std::initializer_list<FileRole> roles) const
{
    return {records.mark(roles), promptDue, displayedText};
}

bool q_a_template_::answerBoxUnchanged()
{
    if (boxText(txt_answer) != defaultPrompt) {
        return false;
    }
    clearBoxes();
    return true;
}

void q_a_template_::clearBoxes()
{
    txt_question->clear();
    txt_answer->clear();
}

void q_a_template_::cmd_enter_response_Click()
{
    if (ended_ || answerBoxUnchanged()) {
        return;
    }
    const ClickState before = clickState({FileRole::master, FileRole::send});
    promptDue = false;
    displayedText = boxText(txt_answer);

    // Up to the response text, on disk before the rating prompt is shown.
    // The clock is read for each file.
    std::vector<StudentRecords::Run> heads;
    for (const FileRole role : {FileRole::master, FileRole::send}) {
        const ResponseHead head{platform_.now().time(), assignmentNumber, questionNumber,
                                code(currentLine, codeNumber), code(displayedText, codeNumber)};
        heads.emplace_back(role, recordBytes(recordLines(head, role)));
    }
    if (!appendOrUndo(heads, before)) {
        return;
    }

    rating_ = {};
    if (blockKind == BlockKind::question) {
        rating_ = {ResponseTail::Rating::confidence,
                   platform_.prompt(this, recordText::confidencePrompt())};
    } else if (blockKind == BlockKind::answer) {
        rateSelfCritique();
    }
    const std::string tail = recordBytes(recordLines(rating_));
    if (!appendOrUndo({{FileRole::master, tail}, {FileRole::send, tail}}, before)) {
        return;
    }
    clearBoxes();
}

void q_a_template_::rateSelfCritique()
{
    rating_ = {ResponseTail::Rating::selfCritique,
               platform_.prompt(this, recordText::selfCritiquePrompt())};
}
