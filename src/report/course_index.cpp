#include "report/course_index.h"

#include "bank/question_bank.h"
#include "record/record_reader.h"
#include "record/record_text.h"

#include <QString>

#include <algorithm>

namespace
{

QString entryText(const std::string& entry)
{
    // As the window takes the bank's entries.
    return QString::fromLatin1(entry.data(), static_cast<qsizetype>(entry.size()));
}

std::string utf8(const QString& text)
{
    return text.toStdString();
}

// The text with LF line ends, as the page and the workbook show it.
std::string shownText(const QString& text)
{
    std::string shown = utf8(text);
    shown.erase(std::remove(shown.begin(), shown.end(), '\r'), shown.end());
    return shown;
}

} // namespace

CourseIndex::CourseIndex(const std::vector<std::string>& entries)
{
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (isAssignmentHeader(entries[i])) {
            assignments_.push_back({entries[i].substr(0, 3), {}});
            continue;
        }
        const QString entry = entryText(entries[i]);
        const auto number = questionEntryNumber(entries[i]);
        if (assignments_.empty() || !number) {
            continue;
        }
        CourseAssignment& assignment = assignments_.back();
        CourseQuestion question{*number, shownText(entry), {}};
        const CoursePlace place{assignment.number, *number};
        questions_.emplace(entryHash(entry), place);
        if (i + 2 < entries.size()) {
            const QString answer = entryText(entries[i + 2]);
            if (answer.startsWith(recordText::answerMarker)) {
                const QString shown = answer.mid(recordText::answerMarker.size());
                question.answer = shownText(shown);
                answers_.emplace(entryHash(shown), place);
            }
        }
        assignment.questions.push_back(std::move(question));
    }
}

const CourseAssignment* CourseIndex::assignment(std::string_view number) const
{
    for (const CourseAssignment& a : assignments_) {
        if (a.number == number) {
            return &a;
        }
    }
    return nullptr;
}

const CourseQuestion* CourseIndex::question(std::string_view assignmentNumber, int number) const
{
    if (const CourseAssignment* a = assignment(assignmentNumber)) {
        for (const CourseQuestion& q : a->questions) {
            if (q.number == number) {
                return &q;
            }
        }
    }
    return nullptr;
}

std::optional<CoursePlace> CourseIndex::answerPlace(std::uint64_t hash) const
{
    const auto it = answers_.find(hash);
    return it == answers_.end() ? std::nullopt : std::optional(it->second);
}

std::optional<CoursePlace> CourseIndex::questionPlace(std::uint64_t hash) const
{
    const auto it = questions_.find(hash);
    return it == questions_.end() ? std::nullopt : std::optional(it->second);
}
