#include "report/report.h"

#include "record/record_text.h"

#include <QString>

#include <algorithm>
#include <functional>
#include <set>

std::string classListKey(const std::string& student)
{
    const QString name = QString::fromStdString(student).trimmed();
    const qsizetype space = name.lastIndexOf(u' ');
    const QString ordered =
        space < 0 ? name : name.mid(space + 1) + QChar(u'\x01') + name.left(space);
    QString folded;
    for (const QChar c : ordered.normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing) {
            folded += c;
        }
    }
    return folded.toCaseFolded().toStdString();
}

std::string_view kindName(ReportRow::Kind kind)
{
    switch (kind) {
    case ReportRow::Kind::question:
        return "question";
    case ReportRow::Kind::critique:
        return "critique";
    case ReportRow::Kind::note:
        return "note";
    case ReportRow::Kind::other:
        break;
    }
    return "other";
}

namespace
{
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
} // namespace

char ratingCode(std::string_view reply)
{
    while (!reply.empty() && isBlank(reply.front())) {
        reply.remove_prefix(1);
    }
    while (!reply.empty() && isBlank(reply.back())) {
        reply.remove_suffix(1);
    }
    if (reply.empty()) {
        return kRatingEmpty;
    }
    return reply.size() == 1 && isDigitRating(reply[0]) ? reply[0] : kRatingInvalid;
}

bool isEmptyText(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), isBlank);
}

void RatingCounts::add(const std::string& reply)
{
    const char code = ratingCode(reply);
    if (code == kRatingEmpty) {
        ++empty;
    } else if (code == kRatingInvalid) {
        ++invalid;
    } else {
        ++digits[static_cast<std::size_t>(code - '0')];
    }
}

int RatingCounts::total() const
{
    return digits[0] + digits[1] + digits[2] + digits[3] + invalid + empty;
}

std::string_view TextStore::keep(std::string_view text)
{
    if (text.empty()) {
        return {};
    }
    if (text.size() > kBlock / 4) {
        // A long text gets a block of its own, before the current one.
        auto& own = blocks_.emplace_back(std::make_unique_for_overwrite<char[]>(text.size()));
        std::copy(text.begin(), text.end(), own.get());
        if (blocks_.size() > 1) {
            std::swap(blocks_.back(), blocks_[blocks_.size() - 2]);
        } else {
            used_ = kBlock;
        }
        return {(blocks_.size() > 1 ? blocks_[blocks_.size() - 2] : blocks_.back()).get(),
                text.size()};
    }
    if (kBlock - used_ < text.size()) {
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlock));
        used_ = 0;
    }
    char* at = blocks_.back().get() + used_;
    std::copy(text.begin(), text.end(), at);
    used_ += text.size();
    return {at, text.size()};
}

void TextStore::merge(TextStore& other)
{
    // The views into other's blocks stay valid: the blocks move, not their texts.
    for (auto& block : other.blocks_) {
        blocks_.insert(blocks_.begin(), std::move(block));
    }
    other.blocks_.clear();
}

void CellEntries::add(std::string_view text, std::string_view rating, Stamp stamp, TextStore& store)
{
    CellEntry entry;
    entry.stamp = stamp;
    entry.number = ++count_;
    if (static_cast<std::size_t>(count_) <= kKept) {
        entry.text = store.keep(text);
        entry.rating = store.keep(rating);
    } else {
        entry.own = std::make_unique_for_overwrite<char[]>(text.size() + rating.size());
        std::copy(text.begin(), text.end(), entry.own.get());
        std::copy(rating.begin(), rating.end(), entry.own.get() + text.size());
        entry.text = {entry.own.get(), text.size()};
        entry.rating = {entry.own.get() + text.size(), rating.size()};
    }
    if (recent_.empty()) {
        // Most questions are answered once a run, in two or three runs.
        recent_.reserve(4);
    }
    if (!isEmptyText(entry.text)) {
        filled_ = entry.number;
    }
    if (recent_.size() == kKept) {
        if (recent_.front().number == filled_) {
            dropped_ = std::move(recent_.front());
        }
        recent_.erase(recent_.begin());
    }
    recent_.push_back(std::move(entry));
}

const CellEntry* CellEntries::shown() const
{
    if (recent_.empty()) {
        return nullptr;
    }
    if (filled_ == 0) {
        return &recent_.back();
    }
    for (const CellEntry& entry : recent_) {
        if (entry.number == filled_) {
            return &entry;
        }
    }
    return &dropped_;
}

namespace
{
char shownRating(const CellEntries& entries)
{
    const CellEntry* shown = entries.shown();
    return shown ? ratingCode(shown->rating) : 0;
}
} // namespace

char Cell::confidence() const
{
    return shownRating(responses);
}

char Cell::critiqueRating() const
{
    return shownRating(critiques);
}

bool Cell::needsHelp() const
{
    return isLowRating(confidence()) || isLowRating(critiqueRating());
}

std::vector<int> gridQuestions(const CourseIndex& course, const std::string& assignment,
                               const std::map<std::string, StudentWork>& students)
{
    std::set<int> numbers;
    if (const CourseAssignment* a = course.assignment(assignment)) {
        for (const CourseQuestion& q : a->questions) {
            numbers.insert(q.number);
        }
    }
    for (const auto& [student, work] : students) {
        for (const auto& [number, cell] : work.cells) {
            numbers.insert(number);
        }
    }
    return {numbers.begin(), numbers.end()};
}

std::vector<QuestionTally> questionTallies(const std::map<std::string, StudentWork>& students,
                                           const std::vector<int>& questions)
{
    std::vector<QuestionTally> tallies(questions.size());
    for (const auto& [student, work] : students) {
        for (std::size_t i = 0; i < questions.size(); ++i) {
            const auto it = work.cells.find(questions[i]);
            if (it != work.cells.end()) {
                tallies[i].low += it->second.needsHelp();
                tallies[i].answered += it->second.responses.count() > 0;
            }
        }
    }
    return tallies;
}

namespace
{
constexpr Stamp kDay = 86'400'000;
} // namespace

Stamp stampOf(QDate date, QTime time)
{
    return date.toJulianDay() * kDay + time.msecsSinceStartOfDay();
}

QDate stampDate(Stamp stamp)
{
    return QDate::fromJulianDay(stamp / kDay);
}

QTime stampTime(Stamp stamp)
{
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(stamp % kDay));
}

RunSummary::Question& RunSummary::question(int number)
{
    for (Question& q : questions) {
        if (q.number == number) {
            return q;
        }
    }
    questions.emplace_back().number = number;
    return questions.back();
}

std::size_t RunSummary::answered() const
{
    return static_cast<std::size_t>(std::count_if(
        questions.begin(), questions.end(), [](const Question& q) { return q.confidence != 0; }));
}

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
