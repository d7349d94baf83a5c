#pragma once

#include "record/record_reader.h"
#include "report/course_index.h"
#include "report/student_work.h"
#include "report/summary_writer.h"

#include <QDate>

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

class RowSink;
struct ClassList;

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
    // The class list the files were matched to, when one was given.
    void setClassList(const ClassList* list) { classList_ = list; }
    const ClassList* classList() const { return classList_; }

private:
    bool seenBefore(const ReadEntry& record, QDate date);
    RunSummary& runOf(const RunKey& key);

    const CourseIndex& course_;
    RowSink* rows_;
    const ClassList* classList_ = nullptr;
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
