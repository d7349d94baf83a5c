#pragma once

#include "bank/course.h"
#include "bank/question_bank.h"
#include "record/record_text.h"
#include "record/records.h"

#include <QDate>
#include <QString>
#include <QTime>

#include <map>
#include <string>
#include <vector>

// The rows of an RFC 4180 text: quoted fields may hold commas, quotes and
// line breaks.
inline std::vector<std::vector<std::string>> csvRows(const std::string& text)
{
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& field = rows.back().back();
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            rows.emplace_back(1);
        } else {
            field += c;
        }
    }
    if (rows.back() == std::vector<std::string>(1)) {
        rows.pop_back();
    }
    return rows;
}

// Record files of a class, made with qa-tutor's own record writer from the
// compiled-in course.
class ClassWriter
{
public:
    struct Question {
        int number = 0;
        QString entry;  // as the window shows it
        QString answer; // the worked answer without its marker
    };

    ClassWriter()
    {
        const std::vector<std::string> entries = courseEntries();
        QString assignment;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const QString entry = QString::fromLatin1(entries[i]);
            if (isAssignmentHeader(entries[i])) {
                assignment = entry.left(3);
                headers_[assignment] = entry;
            } else if (const auto number = questionEntryNumber(entries[i]);
                       number && i + 2 < entries.size()) {
                const QString answer = QString::fromLatin1(entries[i + 2]);
                questions_[assignment].push_back(
                    {*number, entry, answer.mid(recordText::answerMarker.size())});
            }
        }
    }

    const std::vector<Question>& questions(const QString& assignment) const
    {
        return questions_.at(assignment);
    }
    QStringList assignments() const { return headers_.keys(); }

    std::string opening(const QString& assignment, QDate date, const std::string& codeLine) const
    {
        return recordBytes(OpeningRecord{codeLine, recordText::assignmentPrefix + assignment,
                                         headers_.value(assignment),
                                         QString::fromUtf8(kCourseTitle), date});
    }

    static std::string head(FileRole role, QTime time, const QString& assignment, int question,
                            const QString& entry, const QString& response)
    {
        return recordBytes(recordLines(
            ResponseHead{time, assignment, QString::number(question), entry, response}, role));
    }

    static std::string tail(ResponseTail::Rating rating, const QString& reply)
    {
        return recordBytes(recordLines(ResponseTail{rating, reply}));
    }

    static std::string note(FileRole role, QDate date, QTime time, const QString& entry,
                            const QString& text)
    {
        return recordBytes(recordLines(NoteRecord{time, QDateTime(date, time), entry, text}, role));
    }

    // A run through the first `count` questions of an assignment: each
    // response rated for confidence, each worked answer critiqued and rated.
    // The clock moves on a minute a record.
    std::string run(FileRole role, const QString& assignment, QDate date, QTime& clock,
                    const std::string& codeLine, int count, const QString& student) const
    {
        std::string bytes = opening(assignment, date, codeLine);
        const auto& qs = questions(assignment);
        for (int i = 0; i < count && i < static_cast<int>(qs.size()); ++i) {
            const Question& q = qs[static_cast<std::size_t>(i)];
            clock = clock.addSecs(60);
            bytes += head(role, clock, assignment, q.number, q.entry,
                          QStringLiteral("%1 on q%2:\r\nI wrote down what is given and what is "
                                         "asked, then worked it step by step:\r\n3a + 3b = 9 "
                                         "and 4a - 5b = 3, so 27b = 27, b = 1 and a = 2.\r\n"
                                         "Checked in both equations: x = %3.")
                              .arg(student)
                              .arg(q.number)
                              .arg(i * 7 % 5));
            bytes += tail(ResponseTail::Rating::confidence, QString::number((i + count) % 4));
            clock = clock.addSecs(60);
            bytes += head(role, clock, assignment, q.number, q.answer,
                          QStringLiteral("I see where I went wrong on q%1.").arg(q.number));
            bytes += tail(ResponseTail::Rating::selfCritique, QString::number((i + 1) % 4));
        }
        return bytes;
    }

private:
    QMap<QString, QString> headers_;
    std::map<QString, std::vector<Question>> questions_;
};
