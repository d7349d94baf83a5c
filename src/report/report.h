#pragma once

#include "record/record_reader.h"
#include "report/course_index.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

// Students as class lists order them: by last name (the name's last word),
// then the rest, letters compared without case or accents, so that every
// system gives the same order.
std::string classListKey(const std::string& student);
// The students of `names` (sorted by name, as the report's maps are) in that order.
template <typename Map>
std::vector<typename Map::const_pointer> inClassListOrder(const Map& byName);

// One response or note as the report shows it.
struct ReportRow {
    enum class Kind { question, critique, note, other };
    const std::string* student = nullptr;
    const std::string* file = nullptr;
    QDate date;
    QTime time;
    std::string assignment; // "005"; empty when unknown
    int question = 0;       // 0 when unknown
    Kind kind = Kind::other;
    bool rated = false;
    const ReadEntry* record = nullptr;
};

std::string_view kindName(ReportRow::Kind kind);

class RowSink
{
public:
    virtual ~RowSink() = default;
    virtual void row(const ReportRow& row) = 0;
};

// A rating as typed, read: a digit 0 to 3 (with blanks around it or not),
// nothing typed (the prompt was left empty), or anything else.
inline constexpr char kRatingEmpty = '-';
inline constexpr char kRatingInvalid = 'x';
// '0' to '3', kRatingEmpty or kRatingInvalid.
char ratingCode(std::string_view reply);
inline bool isLowRating(char code)
{
    return code == '0' || code == '1';
}
inline bool isDigitRating(char code)
{
    return code >= '0' && code <= '3';
}

struct RatingCounts {
    std::array<int, 4> digits{};
    int invalid = 0;
    int empty = 0;
    void add(const std::string& reply);
    int total() const;
};

// A date and time as milliseconds since the start of the Julian day count,
// so that a record's stamp is kept and compared without a zone.
using Stamp = std::int64_t;
inline constexpr Stamp kNoStamp = -1;
Stamp stampOf(QDate date, QTime time);
QDate stampDate(Stamp stamp);
QTime stampTime(Stamp stamp);

// One run of the program: from an opening record to the next.
struct RunSummary {
    Stamp first = kNoStamp;
    Stamp last = kNoStamp;
    int critiques = 0;
    int notes = 0;
    RatingCounts confidence;
    RatingCounts critique;
    // The latest ratings of each question in this run as ratingCode gives
    // them, 0 when not given. A run has a dozen questions or so, and a record
    // is looked up here each time.
    struct Question {
        int number = 0;
        char confidence = 0;
        char critique = 0;
        std::string confidenceTyped; // when invalid
        std::string critiqueTyped;
    };
    std::vector<Question> questions;
    Question& question(int number);
    std::size_t answered() const;
};

// Texts kept for the page, in blocks of a megabyte: a text kept costs no
// allocation of its own, and the views of it stay valid as blocks are added.
class TextStore
{
public:
    std::string_view keep(std::string_view text);
    // Takes over another store's blocks, with the views of them.
    void merge(TextStore& other);

private:
    static constexpr std::size_t kBlock = std::size_t{1} << 20;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t used_ = kBlock; // of the last block
};

// A response or critique as the page lists it. The first few of a cell have
// their texts in the report's TextStore; later ones own theirs, which go when
// the entry goes, so that memory stays flat however often a student answers.
struct CellEntry {
    std::string_view text;
    std::string_view rating; // as typed
    Stamp stamp = kNoStamp;
    int number = 0; // its place among its cell's entries, from 1
    std::unique_ptr<char[]> own;
};

// True when a text holds nothing but blanks and line breaks.
bool isEmptyText(std::string_view text);

// A question's responses, or its critiques, of one student: the latest few
// and the latest one that is not empty, so that memory stays flat however
// often a student answers again.
class CellEntries
{
public:
    static constexpr std::size_t kKept = 10;
    void add(std::string_view text, std::string_view rating, Stamp stamp, TextStore& store);
    int count() const { return count_; }
    // Newest last.
    const std::vector<CellEntry>& recent() const { return recent_; }
    // The latest entry that is not empty, else the latest; null when none.
    const CellEntry* shown() const;

private:
    std::vector<CellEntry> recent_;
    CellEntry dropped_; // the latest non-empty one once it left recent_
    int count_ = 0;
    int filled_ = 0; // number of the latest non-empty entry
};

// The latest texts and ratings of one student's question, for the page.
struct Cell {
    CellEntries responses;
    CellEntries critiques;
    // The codes of the shown entries' ratings (see ratingCode), 0 when none.
    char confidence() const;
    char critiqueRating() const;
    // Either shown rating is 0 or 1.
    bool needsHelp() const;
};

struct NoteEntry {
    int question = 0; // 0 when not known
    Stamp stamp = kNoStamp;
    std::string_view text; // in the report's TextStore
};

// One student's work on one assignment.
struct StudentWork {
    static constexpr std::size_t kNotesKept = 100;
    std::map<int, Cell> cells;
    std::vector<NoteEntry> notes; // the first kNotesKept
    int notesLeftOut = 0;
    std::vector<QDate> runDates; // in order, each once
};

// The columns of an assignment's grid: the course's questions and any other
// answered, in order.
std::vector<int> gridQuestions(const CourseIndex& course, const std::string& assignment,
                               const std::map<std::string, StudentWork>& students);

// Per question of a grid, how many students need help on it and how many
// answered it.
struct QuestionTally {
    int low = 0;
    int answered = 0;
};
std::vector<QuestionTally> questionTallies(const std::map<std::string, StudentWork>& students,
                                           const std::vector<int>& questions);

// Takes the records of the files one after the other and keeps what the
// summary and the page need: counts per run and the latest texts per cell.
class Report : public RecordSink
{
public:
    Report(const CourseIndex& course, RowSink* rows) : course_(course), rows_(rows) {}
    void setRows(RowSink* rows) { rows_ = rows; }
    // The cells are kept only for the page, the workbook and the gradebook.
    void keepCells(bool keep) { keepsCells_ = keep; }
    bool keepsCells() const { return keepsCells_; }

    // Records read twice for this student (master file and send file) are
    // counted once when `dedupe` is set.
    void beginFile(const std::string& student, const std::string& file, bool dedupe);

    void opening(const ReadOpening& record) override;
    void entry(const ReadEntry& record) override;
    void problem(const ReadProblem&) override {}

    // Takes over what `other` read of students this report has not read.
    void merge(Report& other);

    struct RunKey {
        std::string assignment;
        QDate date;
        std::uint64_t code = 0;
        bool operator<(const RunKey& other) const
        {
            return std::tie(assignment, date, code) <
                   std::tie(other.assignment, other.date, other.code);
        }
    };
    // Student, then assignment, then run.
    using Runs = std::map<std::string, std::map<RunKey, RunSummary>>;
    const Runs& runs() const { return runs_; }

    // Assignment, then student.
    using Cells = std::map<std::string, std::map<std::string, StudentWork>>;
    const Cells& cells() const { return cells_; }

    // Once written, the runs and each assignment's cells are freed, one
    // thread freeing what another has written.
    void freeRuns() { Runs().swap(runs_); }
    void freeCells(std::size_t assignments);

    const CourseIndex& course() const { return course_; }

private:
    bool seenBefore(const ReadEntry& record, QDate date);
    RunSummary& runOf(const RunKey& key);

    const CourseIndex& course_;
    RowSink* rows_;
    bool keepsCells_ = true;
    Runs runs_;
    Cells cells_;
    TextStore texts_;
    std::unordered_map<std::string, std::unordered_set<std::uint64_t>> seen_;

    // The file being read.
    std::string student_;
    std::map<RunKey, RunSummary>* studentRuns_ = nullptr;
    std::string file_;
    bool dedupe_ = false;
    RunKey run_;
    int lastQuestion_ = 0;
    // Where the last record went; most records go where the one before did.
    RunKey lastKey_;
    RunSummary* lastRun_ = nullptr;
    std::string lastAssignment_;
    StudentWork* lastWork_ = nullptr;
};

template <typename Map> std::vector<typename Map::const_pointer> inClassListOrder(const Map& byName)
{
    std::vector<std::pair<std::string, typename Map::const_pointer>> keyed;
    keyed.reserve(byName.size());
    for (const auto& entry : byName) {
        keyed.emplace_back(classListKey(entry.first), &entry);
    }
    // Equal keys keep the maps' order.
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<typename Map::const_pointer> ordered;
    ordered.reserve(keyed.size());
    for (const auto& [key, entry] : keyed) {
        ordered.push_back(entry);
    }
    return ordered;
}
