#pragma once

// A class list given with the files: every student enrolled, whose files
// are matched to them by name, and who sent nothing.
#include "report/class_reading.h"
#include "report/report.h"
#include "report/report_core.h"
#include "report/roster.h"
#include "report/student_work.h"

#include <algorithm>

#include <map>
#include <ostream>
#include <string>
#include <unordered_map>
#include <vector>

struct ClassList {
    std::string path; // as given
    const Roster* roster = nullptr;
    // Each student's name as the report shows it, in class-list order, and
    // its key of that order.
    std::vector<std::string> names;
    std::vector<std::string> keys;
    std::unordered_map<std::string, const RosterStudent*> byName;
    // In class-list order: those with no record at all, and per assignment
    // those with no run of it.
    std::vector<std::string> sentNothing;
    std::map<std::string, std::vector<std::string>> noRun;
};

// The class list of a roster read from `path`.
ClassList classListOf(const Roster& roster, std::string path);

// Gives each file the class list's name of its student, found as
// student_names.h finds names, and tells on `err` each student found on no
// row or on several, with the file and the candidates: their files stay
// under their own name.
void matchFiles(const ClassList& list, std::vector<InputFile>& inputs, std::ostream& err);

// Who sent nothing, and who no run of each assignment, from the runs read.
void findAbsences(ClassList& list, const Report::Runs& runs);

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
    // Those not on the list go among its students, by the same order.
    std::vector<std::pair<std::string, const typename std::map<std::string, Value>::value_type*>>
        others;
    for (const auto& entry : byName) {
        if (!list->byName.contains(entry.first)) {
            others.emplace_back(classListKey(entry.first), &entry);
        }
    }
    std::stable_sort(others.begin(), others.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    rows.reserve(list->names.size() + others.size());
    auto other = others.begin();
    const auto addOthers = [&](const std::string* before) {
        for (; other != others.end() && (!before || other->first < *before); ++other) {
            rows.emplace_back(&other->second->first, &other->second->second);
        }
    };
    for (std::size_t i = 0; i < list->names.size(); ++i) {
        addOthers(&list->keys[i]);
        const auto found = byName.find(list->names[i]);
        rows.emplace_back(&list->names[i], found == byName.end() ? nullptr : &found->second);
    }
    addOthers(nullptr);
    return rows;
}
