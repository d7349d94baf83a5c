#include "app/platform.h"
#include "app/q_a_template_.h"
#include "record/record_text.h"

void q_a_template_::cmd_save_as_notes_Click()
{
    if (ended_ || answerBoxUnchanged()) {
        return;
    }
    const ClickState before = clickState({FileRole::master, FileRole::send, FileRole::notes});
    promptDue = false;
    const QString note = boxText(txt_answer);
    displayedText = recordText::notesLabel + note;

    // The time line and the date-and-time line each read the clock, in every file.
    std::vector<StudentRecords::Run> runs;
    for (const FileRole role : {FileRole::master, FileRole::send, FileRole::notes}) {
        const QTime time = platform_.now().time();
        const QDateTime dateAndTime = platform_.now();
        const NoteRecord record{time, dateAndTime, code(currentLine, codeNumber),
                                code(note, codeNumber)};
        runs.emplace_back(role, recordBytes(recordLines(record, role)));
    }
    if (appendOrUndo(runs, before)) {
        clearBoxes();
    }
}
