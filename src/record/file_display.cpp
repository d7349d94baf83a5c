#include "q_a_template_.h"

#include "platform.h"
#include "record_file.h"
#include "record_text.h"

#include <QFileInfo>
#include <QPlainTextEdit>

#include <variant>

// The file's lines, each after a line break; nothing when it cannot be read,
// in which case the student is told why.
std::optional<QString> q_a_template_::linesBelow(const QString& path)
{
    const auto read = readFile(filePath(path));
    if (const auto* failure = std::get_if<FileFailure>(&read)) {
        platform_.message(this, fileReadFailureMessage(*failure));
        return std::nullopt;
    }
    const QStringList lines =
        fileLines(QString::fromStdString(fromWindows1252(std::get<std::string>(read))));
    QString shown;
    for (const QString& line : lines) {
        shown += QStringLiteral("\r\n");
        shown += line;
    }
    return shown;
}

void q_a_template_::cmd_display_note_file_Click()
{
    if (ended_) {
        return;
    }
    if (!QFileInfo::exists(notesFilePath)) {
        platform_.message(this, QStringLiteral("No notes have been saved yet."));
        return;
    }
    const auto notes = linesBelow(notesFilePath);
    if (notes && !notes->isEmpty()) {
        setBoxText(txt_question, boxText(txt_question) + *notes);
    }
}

void q_a_template_::cmd_displayCumulativeText_Click()
{
    if (ended_) {
        return;
    }
    const auto sent = linesBelow(sendFilePath);
    if (sent && !sent->isEmpty()) {
        setBoxText(txt_question, boxText(txt_question) + *sent);
    }
}

void q_a_template_::cmd_clear_answer_box_Click()
{
    if (!ended_) {
        txt_answer->clear();
    }
}

void q_a_template_::cmd_quit_Click()
{
    if (!ended_) {
        endProgram();
    }
}
