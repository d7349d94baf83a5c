#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

#include <optional>
#include <string_view>

// The fixed texts of the records, exactly as instructors' files have always
// held them.
namespace recordText
{

inline const QString assignmentPrefix = QStringLiteral("assignment #");
inline const QString recordStartRule =
    QStringLiteral("......!!!!!!!!...................................");
inline const QString recordEndRule = QString(49, u'.');
inline const QString stampIndent = QString(36, u' ');
inline const QString questionNumberMarker = QStringLiteral("`questionNumber");
inline const QString responseLabel = QStringLiteral("RESPONSE -->  ");
inline const QString confidenceLabel = QStringLiteral("confidence assessment:  ");
inline const QString selfCritiqueLabel = QStringLiteral("self critique assessment: ");
inline const QString notesLabel = QStringLiteral("NOTES -------> ");
// How the course marks a question ("`q004.") and a worked answer, for the
// question stream and for reading records back; the answer's marker is not
// written into records.
inline const QString questionMarker = QStringLiteral("`q");
inline const QString answerMarker = QStringLiteral("`a");
// The end rule of a note in the send and notes files: spaces to the next
// 14-column print zone and no line end, so the next record continues the line.
inline const QString zoneSpaces = QString(7, u' ');

QString confidencePrompt();
QString selfCritiquePrompt();

} // namespace recordText

// The date line of an opening record: 04-16-2026.
QString dateLine(QDate date);

// The stamp lines: the clock time, and the date run into the time.
QString stampLine(QTime time);
QString dateStampLine(QDate date, QTime time);

// The question-number line of the master file: 10000 times the assignment's
// number plus the question's, the sign standing where a leading space would.
QString questionNumberLine(const QString& assignmentNumber, const QString& questionNumber);

// The same lines read back; nothing when a line is not one.
std::optional<QDate> dateLineDate(std::string_view line);
std::optional<QTime> stampLineTime(std::string_view line);
struct DateStamp {
    QDate date;
    QTime time;
};
std::optional<DateStamp> dateStampLineStamp(std::string_view line);
// The number of a question-number line (30004), of a question's first line
// ("`q004.  ..." gives 4).
std::optional<long long> questionNumberLineValue(std::string_view line);
std::optional<int> questionEntryNumber(std::string_view firstLine);

// The lines of a file's text: a line ends at CR, at CR LF or at the end, and
// a line end at the very end starts no further line.
QStringList fileLines(const QString& text);
