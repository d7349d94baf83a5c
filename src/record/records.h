#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>

#include <string>

// The three files a student's records go to. The master file keeps
// everything; the send file goes to the instructor; the notes file holds notes.
enum class FileRole { master, send, notes };

// Five lines that open a run in the master and send files.
struct OpeningRecord {
    std::string codeLine;   // code-page bytes already: written as they are
    QString assignmentLine; // "assignment #005"
    QString header;         // the assignment's header entry, as the bank holds it
    QString courseTitle;
    QDate date;
};

// A response is written in two parts: the head reaches the disk before the
// rating is asked for, the tail after it.
struct ResponseHead {
    QTime time;
    // With the assignment, only the master file's question-number line uses it.
    QString assignmentNumber;
    QString questionNumber;
    QString entry; // the question or worked answer responded to
    QString response;
};

struct ResponseTail {
    enum class Rating { none, confidence, selfCritique };
    Rating rating = Rating::none;
    QString reply; // as typed; empty when the prompt was cancelled
};

// The text a rating's line begins with; empty for none.
QString ratingLabel(ResponseTail::Rating rating);

// Each stamp line reads the clock for itself, so the two may differ by a
// second, or a day at midnight; a line's date and time are one reading.
struct NoteRecord {
    QTime time;            // the time line
    QDateTime dateAndTime; // the date-and-time line
    QString entry;         // the question or answer on screen
    QString note;
};

// A record as it stands in one file: lines each ended by CR LF, except that a
// record that runs on leaves its last line open for the next record.
struct RecordLines {
    QStringList lines;
    bool runsOn = false;
};

RecordLines recordLines(const OpeningRecord& record);
RecordLines recordLines(const ResponseHead& head, FileRole role);
RecordLines recordLines(const ResponseTail& tail);
RecordLines recordLines(const NoteRecord& note, FileRole role);

// The bytes appended to a file: every line in Windows-1252 with CR LF.
std::string recordBytes(const RecordLines& record);
std::string recordBytes(const OpeningRecord& record);
