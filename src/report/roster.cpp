#include "report/roster.h"

#include "report/delimited_text.h"
#include "report/student_names.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <unordered_map>

namespace
{

struct SiteColumns {
    RosterSite site;
    std::string_view name;
    // Columns the first line must have, exactly as the site writes them.
    std::vector<std::string_view> required;
    std::string_view first; // given names
    std::string_view last;  // family name
    std::string_view whole; // "Last, First", where one column holds both
    // What tells two students apart: the first of these the export has.
    std::vector<std::string_view> ids;
    std::vector<std::string_view> identity;
};

const std::vector<SiteColumns>& sites()
{
    static const std::vector<SiteColumns> known = {
        {RosterSite::canvas,
         "Canvas",
         {"Student", "ID"},
         {},
         {},
         "Student",
         {"ID"},
         {"Student", "ID", "SIS User ID", "SIS Login ID", "Integration ID", "Section"}},
        {RosterSite::brightspace,
         "Brightspace",
         {"Last Name", "First Name", "End-of-Line Indicator"},
         "First Name",
         "Last Name",
         {},
         {"OrgDefinedId", "Username"},
         {"OrgDefinedId", "Username", "Last Name", "First Name", "Email"}},
        {RosterSite::moodle,
         "Moodle",
         {"First name", "Last name"},
         "First name",
         "Last name",
         {},
         {"Email address", "ID number", "Username"},
         {"First name", "Last name", "ID number", "Institution", "Department", "Email address",
          "Username"}},
        {RosterSite::moodle,
         "Moodle",
         {"First name", "Surname"},
         "First name",
         "Surname",
         {},
         {"Email address", "ID number", "Username"},
         {"First name", "Surname", "ID number", "Institution", "Department", "Email address",
          "Username"}},
        {RosterSite::blackboard,
         "Blackboard",
         {"Last Name", "First Name", "Username"},
         "First Name",
         "Last Name",
         {},
         {"Username"},
         {"Last Name", "First Name", "Username", "Student ID"}},
        {RosterSite::classroom,
         "Google Classroom",
         {"Last Name", "First Name", "Email Address"},
         "First Name",
         "Last Name",
         {},
         {"Email Address"},
         {"Last Name", "First Name", "Email Address"}},
        {RosterSite::schoology,
         "Schoology",
         {"First Name", "Last Name", "Unique User ID"},
         "First Name",
         "Last Name",
         {},
         {"Unique User ID"},
         {"First Name", "Last Name", "Unique User ID", "School ID", "Email"}},
        // Another site's, as long as its names are in columns of their own.
        {RosterSite::other,
         "a class list with First Name and Last Name columns",
         {"First Name", "Last Name"},
         "First Name",
         "Last Name",
         {},
         {"Email", "Email Address", "Username", "ID"},
         {"First Name", "Last Name", "Email", "Email Address", "Username", "ID"}},
    };
    return known;
}

constexpr std::string_view kExpected =
    "a class list as a course site exports it, whose first line names its columns (Canvas: "
    "Student, ID; Moodle: First name, Last name; Blackboard: Last Name, First Name, Username; "
    "Brightspace: Last Name, First Name, End-of-Line Indicator; Google Classroom: Last Name, "
    "First Name, Email Address; Schoology: First Name, Last Name), or one student's name a "
    "line (\"First Last\" or \"Last, First\")";

std::string trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

bool has(const std::vector<std::string>& header, std::string_view name)
{
    return std::find(header.begin(), header.end(), name) != header.end();
}

// The site whose columns the header has, first found first.
const SiteColumns* siteOf(const std::vector<std::string>& header)
{
    for (const SiteColumns& site : sites()) {
        const bool canvas = site.site == RosterSite::canvas;
        if (canvas ? header.size() >= 2 && header[0] == "Student" && header[1] == "ID"
                   : std::all_of(site.required.begin(), site.required.end(),
                                 [&](std::string_view name) { return has(header, name); })) {
            return &site;
        }
    }
    return nullptr;
}

// "Last, First", or "First Last" where the last word is the family name.
void splitName(std::string_view whole, std::string& first, std::string& last)
{
    const std::size_t comma = whole.find(',');
    if (comma != std::string_view::npos) {
        last = trimmed(whole.substr(0, comma));
        first = trimmed(whole.substr(comma + 1));
        return;
    }
    const std::string name = trimmed(whole);
    const std::size_t space = name.rfind(' ');
    last = space == std::string::npos ? name : name.substr(space + 1);
    first = space == std::string::npos ? std::string() : trimmed(name.substr(0, space));
}

// A line of a plain list is one name: letters and what names hold, at most
// one comma ("Last, First"), no digits or a CSV file's marks.
bool isNameLine(std::string_view line)
{
    bool letter = false;
    int commas = 0;
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isdigit(byte) || c == '\t' || c == ';' || c == '@' || c == '"' || c == '|') {
            return false;
        }
        commas += c == ',';
        letter = letter || std::isalpha(byte) || byte >= 0x80;
    }
    return letter && commas <= 1;
}

std::string showName(const std::string& first, const std::string& last)
{
    return first.empty() ? last : last.empty() ? first : first + ' ' + last;
}

std::string lineText(int line)
{
    return "line " + std::to_string(line);
}

bool plainList(const std::string& text, Roster& roster, std::string& error)
{
    bool more = false;
    // A plain list has one field a line (a text holds no NUL to split it),
    // quoted or not.
    const std::vector<TableRow> rows = tableRows(text, '\0', kRosterMostStudents, more);
    if (more) {
        error = "it holds more than " + std::to_string(kRosterMostStudents) +
                " lines, more than any class";
        return false;
    }
    for (const TableRow& row : rows) {
        const std::string line = trimmed(row.fields.front());
        if (line.empty()) {
            continue;
        }
        if (!isNameLine(line)) {
            error = "not a class list: expected " + std::string(kExpected) + ", but " +
                    lineText(row.line) + " is neither";
            return false;
        }
        RosterStudent student;
        splitName(line, student.first, student.last);
        student.fields = {line};
        student.line = row.line;
        roster.students.push_back(std::move(student));
    }
    roster.site = RosterSite::plain;
    return true;
}

bool exportedList(const std::string& text, const SiteColumns& site, char delimiter, Roster& roster,
                  std::string& error)
{
    bool more = false;
    std::vector<TableRow> rows = tableRows(text, delimiter, kRosterMostStudents + 2, more);
    if (more || rows.size() > kRosterMostStudents + 1) {
        error = "it holds more than " + std::to_string(kRosterMostStudents) +
                " students, more than any class";
        return false;
    }
    roster.site = site.site;
    roster.delimiter = delimiter;
    for (std::string& name : rows.front().fields) {
        name = trimmed(name);
    }
    roster.header = std::move(rows.front().fields);
    for (std::size_t c = 0; c < roster.header.size(); ++c) {
        const auto& known = site.identity;
        if (std::find(known.begin(), known.end(), roster.header[c]) != known.end()) {
            roster.identity.push_back(static_cast<int>(c));
        }
    }
    for (const std::string_view id : site.ids) {
        if (roster.column(id) >= 0) {
            roster.idColumn = id;
            break;
        }
    }
    const bool hashes = site.site == RosterSite::brightspace;
    roster.students.reserve(rows.size() - 1);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        RosterStudent student;
        student.line = rows[r].line;
        student.fields = std::move(rows[r].fields);
        for (std::string& field : student.fields) {
            if (hashes && field.starts_with('#')) {
                field.erase(0, 1);
            }
        }
        if (!site.whole.empty()) {
            splitName(roster.field(student, site.whole), student.first, student.last);
        } else {
            student.first = trimmed(roster.field(student, site.first));
            student.last = trimmed(roster.field(student, site.last));
        }
        // Canvas's second row gives the points of each assignment, and has no ID.
        const bool points = site.site == RosterSite::canvas && roster.field(student, "ID").empty();
        if (!points && !(student.first.empty() && student.last.empty())) {
            roster.students.push_back(std::move(student));
        }
    }
    return true;
}

// Each student's name, told apart by its identifier where two share one;
// false, told, when two rows are one student or a list without identifiers
// names one twice.
bool nameStudents(Roster& roster, std::string& error)
{
    std::vector<RosterStudent>& students = roster.students;
    const int idAt = roster.column(roster.idColumn);
    const auto idOf = [&](const RosterStudent& student) {
        const auto at = static_cast<std::size_t>(idAt);
        return idAt < 0 || at >= student.fields.size() ? std::string_view()
                                                       : std::string_view(student.fields[at]);
    };
    std::unordered_map<std::string_view, int> byId;
    std::unordered_map<std::string_view, std::size_t> byKey; // the first of each name
    std::vector<bool> shared(students.size());
    byId.reserve(students.size());
    byKey.reserve(students.size());
    for (std::size_t i = 0; i < students.size(); ++i) {
        RosterStudent& student = students[i];
        const std::string_view id = idOf(student);
        if (!id.empty()) {
            if (const auto [it, fresh] = byId.emplace(id, student.line); !fresh) {
                error = lineText(student.line) + " has the " + roster.idColumn + " " +
                        std::string(id) + " of " + lineText(it->second) +
                        ": a class list names each student once";
                return false;
            }
        }
        student.name = showName(student.first, student.last);
        student.key = nameKey(student.first) + nameKey(student.last);
        // A name of no word ("-") is alike only the same name.
        const auto [it, fresh] = byKey.emplace(student.key.empty() ? student.name : student.key, i);
        if (fresh) {
            continue;
        }
        const RosterStudent& earlier = students[it->second];
        if (id.empty() || idOf(earlier).empty()) {
            error = "it names " + earlier.name + " twice (" + lineText(earlier.line) + " and " +
                    lineText(student.line) + ") with nothing to tell them apart";
            return false;
        }
        shared[it->second] = true;
        shared[i] = true;
    }
    for (std::size_t i = 0; i < students.size(); ++i) {
        if (shared[i]) {
            students[i].name += " (" + std::string(idOf(students[i])) + ')';
        }
    }
    return true;
}

} // namespace

std::string_view rosterSiteName(RosterSite site)
{
    if (site == RosterSite::plain) {
        return "a list of names";
    }
    for (const SiteColumns& known : sites()) {
        if (known.site == site) {
            return known.name;
        }
    }
    return {};
}

int Roster::column(std::string_view name) const
{
    if (name.empty()) {
        return -1;
    }
    const auto found = std::find(header.begin(), header.end(), name);
    return found == header.end() ? -1 : static_cast<int>(found - header.begin());
}

std::string_view Roster::field(const RosterStudent& student, std::string_view name) const
{
    const int at = column(name);
    return at >= 0 && static_cast<std::size_t>(at) < student.fields.size()
               ? std::string_view(student.fields[static_cast<std::size_t>(at)])
               : std::string_view();
}

std::optional<Roster> readRoster(std::string_view bytes, std::string& error)
{
    const std::optional<std::string> text = decodedText(bytes);
    if (!text) {
        error = "not a class list: it is not text (it holds NUL bytes); expected " +
                std::string(kExpected);
        return std::nullopt;
    }
    if (std::all_of(text->begin(), text->end(),
                    [](char c) { return std::isspace(static_cast<unsigned char>(c)); })) {
        error = "it is empty; expected " + std::string(kExpected);
        return std::nullopt;
    }
    Roster roster;
    // The first line that is not empty: the table's rows skip the empty ones too.
    const std::string_view first =
        firstLine(std::string_view(*text).substr(text->find_first_not_of("\r\n")));
    const SiteColumns* site = nullptr;
    for (const char delimiter : {',', '\t', ';', ':'}) {
        bool more = false;
        std::vector<TableRow> header = tableRows(first, delimiter, 1, more);
        for (std::string& name : header.front().fields) {
            name = trimmed(name);
        }
        if ((site = siteOf(header.front().fields))) {
            if (!exportedList(*text, *site, delimiter, roster, error)) {
                return std::nullopt;
            }
            break;
        }
    }
    if (!site && !plainList(*text, roster, error)) {
        return std::nullopt;
    }
    if (roster.students.empty()) {
        error = "it names no student; expected " + std::string(kExpected);
        return std::nullopt;
    }
    if (!nameStudents(roster, error)) {
        return std::nullopt;
    }
    return roster;
}
