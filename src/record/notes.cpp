#include "q_a_template_.h"

#include "platform.h"
#include "record_file.h"
#include "record_text.h"

#include <QPlainTextEdit>

using namespace recordText;

void q_a_template_::cmd_save_as_notes_Click()
{
    if (ended_ || answerBoxUnchanged()) {
        return;
    }
    const ClickState before = clickState({masterFilePath, sendFilePath, notesFilePath});
    promptDue = false;
    displayedText = notesLabel + boxText(txt_answer);

    std::vector<FileAppend> runs;
    for (const QString& path : {masterFilePath, sendFilePath, notesFilePath}) {
        const QStringList lines = {recordStartRule,
                                   stampLine(platform_.now().time()),
                                   dateStampLine(platform_.now().date(), platform_.now().time()),
                                   code(currentLine, codeNumber),
                                   recordStartRule,
                                   code(displayedText, codeNumber)};
        std::string bytes = recordBytes(lines);
        // Instructors' send and notes files have always had the note's closing
        // rule run on into the next record.
        if (path == masterFilePath) {
            bytes += recordBytes({recordEndRule});
        } else {
            bytes += toWindows1252((recordEndRule + zoneSpaces).toStdString());
        }
        runs.push_back({filePath(path), std::move(bytes)});
    }
    if (!appendOrUndo(runs, before)) {
        return;
    }
    txt_question->clear();
    txt_answer->clear();
}
