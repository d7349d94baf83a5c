#include "app/platform.h"
#include "app/q_a_template_.h"
#include "record/record_text.h"
#include "record/windows1252.h"

#include <QFileInfo>
#include <QPlainTextEdit>

// The file's bytes; nothing when it cannot be read, and the student is told why.
std::optional<std::string> q_a_template_::readOrReport(const QString& path)
{
    StudentRecords::Read read = records.read(path);
    if (read.failure) {
        platform_.message(this, *read.failure);
        return std::nullopt;
    }
    return std::move(read.bytes);
}

// The file's lines, each after a line break.
std::optional<QString> q_a_template_::linesBelow(const QString& path)
{
    const auto bytes = readOrReport(path);
    if (!bytes) {
        return std::nullopt;
    }
    QString shown;
    for (const QString& line : fileLines(QString::fromStdString(fromWindows1252(*bytes)))) {
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
    if (!QFileInfo::exists(notesFilePath())) {
        platform_.message(this, QStringLiteral("No notes have been saved yet."));
        return;
    }
    const auto notes = linesBelow(notesFilePath());
    if (notes && !notes->isEmpty()) {
        setBoxText(txt_question, boxText(txt_question) + *notes);
        showEnd(txt_question);
    }
}

void q_a_template_::cmd_displayCumulativeText_Click()
{
    if (ended_) {
        return;
    }
    const auto sent = linesBelow(sendFilePath());
    // The newest records are at the end.
    if (sent && !sent->isEmpty()) {
        setBoxText(txt_question, boxText(txt_question) + *sent);
        showEnd(txt_question);
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
