#pragma once

// A class list given with the files: every student enrolled, whose files
// are matched to them by name, and who sent nothing.
#include "report/class_reading.h"
#include "report/report.h"
#include "report/report_core.h"
#include "report/roster.h"
#include "report/student_work.h"

#include <algorithm>
#include <optional>

#include <map>
#include <ostream>
#include <string>
#include <unordered_map>
#include <vector>

struct ClassList {
    std::string path; // as given
    const Roster* roster = nullptr;
    // Each student, in class-list order, and the key of that order; where
    // each name (the roster's) stands in it.
    std::vector<const RosterStudent*> students;
    std::vector<std::string> keys;
    // Each name with its place, sorted by name.
    std::vector<std::pair<std::string_view, std::size_t>> places;
    // The place of the student of that name; none when none is on the list.
    std::optional<std::size_t> place(std::string_view name) const
    {
        const auto found =
            std::lower_bound(places.begin(), places.end(), name,
                             [](const auto& p, std::string_view n) { return p.first < n; });
        return found != places.end() && found->first == name ? std::optional(found->second)
                                                             : std::nullopt;
    }
    const RosterStudent* find(std::string_view name) const
    {
        const std::optional<std::size_t> at = place(name);
        return at ? students[*at] : nullptr;
    }
    // In class-list order: those with no record at all, and per assignment
    // those of the others with no run of it. Each assignment with a student
    // of either kind has its entry: who sent nothing is named once, not again
    // under each assignment.
    std::vector<const std::string*> sentNothing;
    std::map<std::string, std::vector<const std::string*>> noRun;
};

// "the 2 students who sent nothing", or "the student who sent nothing".
std::string whoSentNothing(std::size_t count);

// The class list of a roster read from `path`.
ClassList classListOf(const Roster& roster, std::string path);

// Gives each file the class list's name of its student, found as
// student_names.h finds names, and tells on `err` each student found on no
// row or on several, with the file and the candidates: their files stay
// under their own name.
void matchFiles(const ClassList& list, std::vector<InputFile>& inputs, std::ostream& err);

// Who sent nothing, and who no run of each assignment, from the runs read.
void findAbsences(ClassList& list, const Report::Runs& runs);

// A row of an assignment's grid: the student, and their work, null when none.
using GridRow = std::pair<const std::string*, const StudentWork*>;

// The rows of a grid or gradebook: every student of the class list and any
// other of `byName`, in class-list order; a student's value is null when
// `byName` has none.
template <typename Value>
std::vector<std::pair<const std::string*, const Value*>>
classListRows(const std::map<std::string, Value>& byName, const ClassList* list)
{
    std::vector<std::pair<const std::string*, const Value*>> rows;
    if (!list) {
        for (const auto* entry : inClassListOrder(byName)) {
            rows.emplace_back(&entry->first, &entry->second);
        }
        return rows;
    }
    // Each value at its student's place, and those not on the list among
    // them by the same order.
    std::vector<const Value*> placed(list->students.size(), nullptr);
    std::vector<std::pair<std::string, const typename std::map<std::string, Value>::value_type*>>
        others;
    for (const auto& entry : byName) {
        if (const std::optional<std::size_t> at = list->place(entry.first)) {
            placed[*at] = &entry.second;
        } else {
            others.emplace_back(classListKey(entry.first), &entry);
        }
    }
    std::stable_sort(others.begin(), others.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    rows.reserve(list->students.size() + others.size());
    auto other = others.begin();
    const auto addOthers = [&](const std::string* before) {
        for (; other != others.end() && (!before || other->first < *before); ++other) {
            rows.emplace_back(&other->second->first, &other->second->second);
        }
    };
    for (std::size_t i = 0; i < list->students.size(); ++i) {
        if (other != others.end()) {
            addOthers(&list->keys[i]);
        }
        rows.emplace_back(&list->students[i]->name, placed[i]);
    }
    addOthers(nullptr);
    return rows;
}
