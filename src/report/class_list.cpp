#include "report/class_list.h"

#include "report/report_core.h"
#include "report/student_names.h"

#include <algorithm>
#include <numeric>
#include <set>
#include <unordered_set>

ClassList classListOf(const Roster& roster, std::string path)
{
    ClassList list;
    list.path = std::move(path);
    list.roster = &roster;
    std::vector<std::pair<std::string, const RosterStudent*>> keyed;
    keyed.reserve(roster.students.size());
    for (const RosterStudent& student : roster.students) {
        keyed.emplace_back(classListKey(student.name), &student);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [key, student] : keyed) {
        list.keys.push_back(std::move(key));
        list.names.push_back(student->name);
        list.byName.emplace(student->name, student);
    }
    return list;
}

namespace
{

std::string candidateText(const Roster& roster, const std::vector<int>& candidates)
{
    std::string text;
    for (const int i : candidates) {
        const RosterStudent& student = roster.students[static_cast<std::size_t>(i)];
        text += (text.empty() ? "" : "; ") + student.name + " (line " +
                std::to_string(student.line) + ')';
    }
    return text;
}

} // namespace

void matchFiles(const ClassList& list, std::vector<InputFile>& inputs, std::ostream& err)
{
    const Roster& roster = *list.roster;
    NameIndex index;
    for (const RosterStudent& student : roster.students) {
        index.add(student.first, student.last);
    }
    std::unordered_map<std::string, std::string> found; // a file's student, the list's
    std::unordered_set<std::string> told;
    for (InputFile& input : inputs) {
        auto known = found.find(input.student);
        if (known == found.end()) {
            const NameIndex::Match match = index.find(input.student);
            std::string name = input.student;
            if (match.student >= 0) {
                name = roster.students[static_cast<std::size_t>(match.student)].name;
            } else if (match.several) {
                err << input.path << ": " << input.student << " is on several rows of " << list.path
                    << ", which cannot be told apart by name: "
                    << candidateText(roster, match.candidates) << "; shown under its own name\n";
            } else {
                err << input.path << ": " << input.student << " is on no row of " << list.path;
                if (!match.candidates.empty()) {
                    err << " (of the same first or last name: "
                        << candidateText(roster, match.candidates) << ')';
                }
                err << "; shown under its own name\n";
            }
            known = found.emplace(input.student, std::move(name)).first;
        }
        input.student = known->second;
    }
}

void findAbsences(ClassList& list, const Report::Runs& runs)
{
    std::set<std::string> assignments;
    for (const auto& [student, studentRuns] : runs) {
        for (const auto& [key, run] : studentRuns) {
            assignments.insert(key.assignment);
        }
    }
    list.sentNothing.clear();
    list.noRun.clear();
    for (const std::string& name : list.names) {
        const auto studentRuns = runs.find(name);
        if (studentRuns == runs.end()) {
            list.sentNothing.push_back(name);
        }
        for (const std::string& assignment : assignments) {
            const bool ran =
                studentRuns != runs.end() &&
                std::any_of(studentRuns->second.begin(), studentRuns->second.end(),
                            [&](const auto& run) { return run.first.assignment == assignment; });
            if (!ran) {
                list.noRun[assignment].push_back(name);
            }
        }
    }
}
