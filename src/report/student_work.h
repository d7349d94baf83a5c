#pragma once

// What the page, the workbook and the gradebook show of each student's work
// on an assignment: the latest texts and ratings per question, and notes.
#include "report/course_index.h"
#include "report/report_core.h"

#include <QDate>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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
