#include "report/student_work.h"

#include <algorithm>
#include <set>

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
