#pragma once

#include "record/record_reader.h"
#include "report/course_index.h"

#include <QDate>
#include <QTime>

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <vector>

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

// A rating as typed: a digit 0 to 3, anything else, or none.
struct RatingCounts {
    std::array<int, 4> digits{};
    int other = 0;
    int cancelled = 0;
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
    // The latest ratings of each question in this run, as the summary shows
    // them: the digit of a rating 0 or 1, or kNotLow for any other. A run has
    // a dozen questions or so, and a record is looked up here each time.
    static constexpr char kNotLow = '-';
    struct Question {
        int number = 0;
        char confidence = 0; // 0 when not answered
        char critique = 0;   // 0 when not critiqued
    };
    std::vector<Question> questions;
    Question& question(int number);
    std::size_t answered() const;
};

// The latest texts and ratings of one student's question, for the page.
struct Cell {
    std::string response;
    std::string confidence;
    bool confidenceGiven = false;
    std::string critique;
    std::string critiqueRating;
    bool critiqueGiven = false;
    int responses = 0;
    int critiques = 0;
};

// Takes the records of the files one after the other and keeps what the
// summary and the page need: counts per run and the latest texts per cell.
class Report : public RecordSink
{
public:
    Report(const CourseIndex& course, RowSink* rows) : course_(course), rows_(rows) {}
    void setRows(RowSink* rows) { rows_ = rows; }
    // The cells are kept only for the page.
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

    // Assignment, then student, then question.
    using Cells = std::map<std::string, std::map<std::string, std::map<int, Cell>>>;
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
    std::map<int, Cell>* lastCells_ = nullptr;
};
