#include "record/records.h"

#include "record/record_text.h"
#include "record/windows1252.h"

using namespace recordText;

// The code line is not among the lines: its bytes stand for themselves.
RecordLines recordLines(const OpeningRecord& record)
{
    return {{record.assignmentLine, record.header, record.courseTitle, dateLine(record.date)}};
}

RecordLines recordLines(const ResponseHead& head, FileRole role)
{
    QStringList lines = {recordStartRule, stampLine(head.time)};
    if (role == FileRole::master) {
        lines << QString() << QString()
              << questionNumberLine(head.assignmentNumber, head.questionNumber);
    }
    lines << head.entry << recordStartRule << responseLabel << head.response;
    return {lines};
}

QString ratingLabel(ResponseTail::Rating rating)
{
    switch (rating) {
    case ResponseTail::Rating::confidence:
        return confidenceLabel;
    case ResponseTail::Rating::selfCritique:
        return selfCritiqueLabel;
    case ResponseTail::Rating::none:
        break;
    }
    return {};
}

RecordLines recordLines(const ResponseTail& tail)
{
    QStringList lines;
    if (tail.rating != ResponseTail::Rating::none) {
        lines << ratingLabel(tail.rating) + tail.reply;
    }
    lines << recordEndRule;
    return {lines};
}

// Instructors' send and notes files have always had the note's closing rule
// run on into the next record.
RecordLines recordLines(const NoteRecord& note, FileRole role)
{
    const bool master = role == FileRole::master;
    return {{recordStartRule, stampLine(note.time),
             dateStampLine(note.dateAndTime.date(), note.dateAndTime.time()), note.entry,
             recordStartRule, notesLabel + note.note,
             master ? recordEndRule : recordEndRule + zoneSpaces},
            !master};
}

std::string recordBytes(const RecordLines& record)
{
    std::string bytes;
    for (qsizetype i = 0; i < record.lines.size(); ++i) {
        bytes += toWindows1252(record.lines[i].toStdString());
        if (!(record.runsOn && i + 1 == record.lines.size())) {
            bytes += "\r\n";
        }
    }
    return bytes;
}

std::string recordBytes(const OpeningRecord& record)
{
    return record.codeLine + "\r\n" + recordBytes(recordLines(record));
}
