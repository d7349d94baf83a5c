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
    list.keys.reserve(keyed.size());
    list.students.reserve(keyed.size());
    list.places.reserve(keyed.size());
    for (auto& [key, student] : keyed) {
        list.places.emplace_back(student->name, list.students.size());
        list.keys.push_back(std::move(key));
        list.students.push_back(student);
    }
    std::sort(list.places.begin(), list.places.end());
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
    std::vector<std::string_view> keys;
    keys.reserve(roster.students.size());
    for (const RosterStudent& student : roster.students) {
        keys.emplace_back(student.key);
    }
    const NameIndex index(std::move(keys));
    std::unordered_map<std::string, std::string> found; // a file's student, the list's
    std::unordered_set<std::string> told;
    for (InputFile& input : inputs) {
        // A file named on the command line whatever its name is no student's.
        if (!input.role) {
            continue;
        }
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
    std::vector<std::string> assignments;
    // Each student's runs at their place on the list: a lookup for each who
    // sent something, not one for each on the list.
    std::vector<const Report::Runs::mapped_type*> runsAt(list.students.size(), nullptr);
    for (const auto& [student, studentRuns] : runs) {
        for (const auto& [key, run] : studentRuns) {
            assignments.push_back(key.assignment);
        }
        if (const std::optional<std::size_t> at = list.place(student)) {
            runsAt[*at] = &studentRuns;
        }
    }
    std::sort(assignments.begin(), assignments.end());
    assignments.erase(std::unique(assignments.begin(), assignments.end()), assignments.end());
    std::vector<std::vector<const std::string*>> noRun(assignments.size());
    list.sentNothing.clear();
    for (std::size_t s = 0; s < list.students.size(); ++s) {
        const std::string* name = &list.students[s]->name;
        if (!runsAt[s]) {
            list.sentNothing.push_back(name);
            continue;
        }
        // A student's runs are in the order of their assignments, as `assignments` is.
        auto run = runsAt[s]->begin();
        const auto end = runsAt[s]->end();
        for (std::size_t a = 0; a < assignments.size(); ++a) {
            while (run != end && run->first.assignment < assignments[a]) {
                ++run;
            }
            if (run == end || run->first.assignment != assignments[a]) {
                noRun[a].push_back(name);
            }
        }
    }
    list.noRun.clear();
    for (std::size_t a = 0; a < assignments.size(); ++a) {
        if (!noRun[a].empty() || !list.sentNothing.empty()) {
            list.noRun.emplace(std::move(assignments[a]), std::move(noRun[a]));
        }
    }
}

std::string whoSentNothing(std::size_t count)
{
    return count == 1 ? "the student who sent nothing"
                      : "the " + std::to_string(count) + " students who sent nothing";
}
