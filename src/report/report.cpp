#include "report/report.h"

#include "record/record_text.h"
#include "report/csv_writer.h"

#include <algorithm>
#include <functional>
#include <optional>

namespace
{

std::string threeDigits(long long n)
{
    std::string digits = std::to_string(n);
    return digits.size() < 3 ? std::string(3 - digits.size(), '0') + digits : digits;
}

std::optional<CoursePlace> numberLinePlace(const ReadEntry& record)
{
    if (!record.questionNumber || *record.questionNumber <= 0) {
        return std::nullopt;
    }
    const long long n = *record.questionNumber;
    return CoursePlace{threeDigits(n / 10000), static_cast<int>(n % 10000)};
}

std::uint64_t combine(std::uint64_t hash, std::uint64_t value)
{
    return (hash ^ value) * 0x100000001b3ULL + 0x9e3779b97f4a7c15ULL;
}

} // namespace

void Report::beginFile(const std::string& student, const std::string& file, bool dedupe)
{
    student_ = student;
    studentRuns_ = nullptr;
    file_ = file;
    dedupe_ = dedupe;
    run_ = {};
    lastQuestion_ = 0;
    lastRun_ = nullptr;
    lastWork_ = nullptr;
}

void Report::merge(Report& other)
{
    runs_.merge(other.runs_);
    texts_.merge(other.texts_);
    for (auto& [assignment, students] : other.cells_) {
        cells_[assignment].merge(students);
    }
}

void Report::freeCells(std::size_t assignments)
{
    // Only the students' cells: the assignments stay, so that a thread reading
    // those after them is not disturbed.
    for (auto it = cells_.begin(); it != cells_.end() && assignments > 0; ++it, --assignments) {
        std::map<std::string, StudentWork>().swap(it->second);
    }
}

void Report::opening(const ReadOpening& record)
{
    run_ = {record.assignment, record.date, std::hash<std::string>{}(record.codeLine)};
    lastQuestion_ = 0;
    lastKey_ = run_;
    lastRun_ = &runOf(run_);
}

RunSummary& Report::runOf(const RunKey& key)
{
    if (!studentRuns_) {
        studentRuns_ = &runs_[student_];
    }
    RunSummary& run = (*studentRuns_)[key];
    if (run.questions.empty()) {
        const CourseAssignment* assignment = course_.assignment(key.assignment);
        run.questions.reserve(assignment ? assignment->questions.size() : 1);
    }
    return run;
}

bool Report::seenBefore(const ReadEntry& record, QDate date)
{
    std::uint64_t key = combine(date.toJulianDay(), record.time.msecsSinceStartOfDay());
    key = combine(key, static_cast<std::uint64_t>(record.kind) * 4 +
                           static_cast<std::uint64_t>(record.rating));
    key = combine(key, record.entryHash);
    key = combine(key, std::hash<std::string>{}(record.text));
    key = combine(key, std::hash<std::string>{}(record.reply));
    return !seen_[student_].insert(key).second;
}

void Report::entry(const ReadEntry& record)
{
    using Kind = ReportRow::Kind;
    ReportRow row;
    row.student = &student_;
    row.file = &file_;
    row.record = &record;
    row.time = record.time;
    row.date = record.kind == ReadEntry::Kind::note ? record.date : run_.date;
    row.assignment = run_.assignment;
    row.rated = record.rating != ResponseTail::Rating::none;
    if (record.kind == ReadEntry::Kind::note) {
        row.kind = Kind::note;
    } else if (record.rating == ResponseTail::Rating::confidence) {
        row.kind = Kind::question;
    } else if (record.rating == ResponseTail::Rating::selfCritique) {
        row.kind = Kind::critique;
    }

    const auto questionLine = [&]() -> std::optional<CoursePlace> {
        const auto number = questionEntryNumber(record.entryFirstLine);
        return number ? std::optional(CoursePlace{run_.assignment, *number}) : std::nullopt;
    };
    std::optional<CoursePlace> place;
    switch (row.kind) {
    case Kind::question:
    case Kind::other:
        place = numberLinePlace(record);
        if (!place) {
            place = questionLine();
        }
        break;
    case Kind::critique:
        place = course_.answerPlace(record.entryHash);
        if (!place) {
            place = numberLinePlace(record);
        }
        if (!place && lastQuestion_ > 0) {
            place = CoursePlace{run_.assignment, lastQuestion_};
        }
        break;
    case Kind::note:
        place = course_.questionPlace(record.entryHash);
        if (!place) {
            place = course_.answerPlace(record.entryHash);
        }
        if (!place) {
            place = questionLine();
        }
        break;
    }
    if (place) {
        if (!place->assignment.empty()) {
            row.assignment = place->assignment;
        }
        row.question = place->question;
    }
    if (row.kind == Kind::question && row.question > 0) {
        lastQuestion_ = row.question;
    }
    if (dedupe_ && seenBefore(record, row.date)) {
        return;
    }
    if (rows_) {
        rows_->row(row);
    }

    // The run's key differs from the last record's only in an assignment
    // taken from the record, when the run has none of its own.
    const std::string& assignment = run_.assignment.empty() ? row.assignment : run_.assignment;
    if (!lastRun_ || lastKey_.assignment != assignment) {
        lastKey_ = run_;
        lastKey_.assignment = assignment;
        lastRun_ = &runOf(lastKey_);
    }
    RunSummary& run = *lastRun_;
    if (row.date.isValid() && row.time.isValid()) {
        const Stamp at = stampOf(row.date, row.time);
        if (run.first == kNoStamp || at < run.first) {
            run.first = at;
        }
        run.last = std::max(run.last, at);
    }
    const bool placed = keepsCells_ && !row.assignment.empty();
    const Stamp stamp =
        row.date.isValid() && row.time.isValid() ? stampOf(row.date, row.time) : kNoStamp;
    const auto workOf = [&]() -> StudentWork& {
        if (!lastWork_ || lastAssignment_ != row.assignment) {
            lastAssignment_ = row.assignment;
            lastWork_ = &cells_[row.assignment][student_];
        }
        std::vector<QDate>& dates = lastWork_->runDates;
        if (run_.date.isValid() &&
            std::find(dates.begin(), dates.end(), run_.date) == dates.end()) {
            dates.push_back(run_.date);
        }
        return *lastWork_;
    };
    const auto add = [&](CellEntries& entries) {
        entries.add(record.text, record.reply, stamp, texts_);
    };
    const auto rate = [&](char& code, std::string& typed) {
        code = ratingCode(record.reply);
        typed = code == kRatingInvalid ? record.reply : std::string();
    };
    switch (row.kind) {
    case Kind::question:
        run.confidence.add(record.reply);
        if (row.question > 0) {
            RunSummary::Question& q = run.question(row.question);
            rate(q.confidence, q.confidenceTyped);
        }
        if (placed && row.question > 0) {
            add(workOf().cells[row.question].responses);
        }
        break;
    case Kind::critique:
        ++run.critiques;
        run.critique.add(record.reply);
        if (row.question > 0) {
            RunSummary::Question& q = run.question(row.question);
            rate(q.critique, q.critiqueTyped);
        }
        if (placed && row.question > 0) {
            add(workOf().cells[row.question].critiques);
        }
        break;
    case Kind::note:
        ++run.notes;
        if (placed) {
            StudentWork& work = workOf();
            if (work.notes.size() < StudentWork::kNotesKept) {
                work.notes.push_back({row.question, stamp, texts_.keep(record.text)});
            } else {
                ++work.notesLeftOut;
            }
        }
        break;
    case Kind::other:
        break;
    }
}
