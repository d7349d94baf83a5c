// A class list as the report reads it, whatever the bytes: a course site's
// export, a list of names, or anything else, which is refused with a reason.
#include "report/roster.h"
#include "report/student_names.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    const std::optional<Roster> roster = readRoster(bytes, error);
    if (!roster) {
        // A refusal always says why.
        if (error.empty()) {
            std::abort();
        }
        return 0;
    }
    if (roster->students.empty() || roster->students.size() > kRosterMostStudents) {
        std::abort();
    }
    // Each student is shown under a name of their own, and found by it.
    std::set<std::string> names;
    std::vector<std::string_view> keys;
    for (const RosterStudent& student : roster->students) {
        if (student.name.empty() || !names.insert(student.name).second) {
            std::abort();
        }
        keys.emplace_back(student.key);
    }
    const NameIndex index(std::move(keys));
    for (std::size_t i = 0; i < roster->students.size(); ++i) {
        const RosterStudent& student = roster->students[i];
        // The student's words as the index took them.
        if (student.key.empty()) {
            continue;
        }
        const NameIndex::Match match = index.find(student.key);
        const auto& candidates = match.candidates;
        const bool found = match.student == static_cast<int>(i) ||
                           (match.several && std::find(candidates.begin(), candidates.end(),
                                                       static_cast<int>(i)) != candidates.end());
        if (!found) {
            std::abort();
        }
    }
    return 0;
}
