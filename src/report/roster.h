#pragma once

// A class list as a course site exports it, or a plain list of names: every
// student enrolled, with the identifiers the site's grade import keys on.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where a class list comes from, told by its first line.
enum class RosterSite {
    canvas,
    moodle,
    blackboard,
    brightspace,
    classroom,
    schoology,
    other, // a First Name and a Last Name column, of a site not known
    plain  // one name a line
};
std::string_view rosterSiteName(RosterSite site);

struct RosterStudent {
    std::string first; // given names
    std::string last;  // family name
    // As the report shows the student: "First Last", and when two students
    // share it, their identifier after it, so that it is one student's.
    std::string name;
    std::string key;                 // of the given names, then the family name (see nameKey)
    std::vector<std::string> fields; // the row as exported (Brightspace's "#" taken off)
    int line = 0;
};

struct Roster {
    RosterSite site = RosterSite::plain;
    char delimiter = ',';
    std::vector<std::string> header; // as exported; empty for a plain list
    std::vector<RosterStudent> students;
    // The columns that say who a student is (names, identifiers, section),
    // in the export's order, and the one that tells two students apart
    // (empty when none does).
    std::vector<int> identity;
    std::string idColumn;

    // The header's column of that name, -1 when it has none.
    int column(std::string_view name) const;
    // A student's field of a column, empty when the row or header has none.
    std::string_view field(const RosterStudent& student, std::string_view name) const;
};

// No class has more students; a longer list is not a class list.
inline constexpr std::size_t kRosterMostStudents = 50'000;

// Reads a class list from a file's bytes. None, with why in `error` (without
// the file's name), when the bytes are not one.
std::optional<Roster> readRoster(std::string_view bytes, std::string& error);
