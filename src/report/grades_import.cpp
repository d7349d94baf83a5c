#include "report/grades_import.h"

#include "report/csv_writer.h"

#include <array>
#include <utility>

namespace
{

constexpr std::array<std::pair<std::string_view, GradesFormat>, 5> kFormats = {{
    {"canvas", GradesFormat::canvas},
    {"moodle", GradesFormat::moodle},
    {"blackboard", GradesFormat::blackboard},
    {"brightspace", GradesFormat::brightspace},
    {"names", GradesFormat::names},
}};

constexpr std::array<std::pair<std::string_view, GradeMeasure>, 3> kMeasures = {{
    {"both", GradeMeasure::both},
    {"answered", GradeMeasure::answered},
    {"critiqued", GradeMeasure::critiqued},
}};

int gradeOf(const Grade& grade, GradeMeasure measure)
{
    switch (measure) {
    case GradeMeasure::answered:
        return grade.answered;
    case GradeMeasure::critiqued:
        return grade.critiques;
    case GradeMeasure::both:
        break;
    }
    return grade.completed;
}

// The column of an assignment: the class list's own when the site made one
// of this title at an earlier import, so that this one fills it.
std::string columnTitle(const Roster& roster, GradesFormat format, const std::string& code,
                        int points)
{
    const std::string title = "qa-tutor " + code;
    for (const std::string& column : roster.header) {
        const bool canvas = format == GradesFormat::canvas && column.starts_with(title + " (") &&
                            column.ends_with(')');
        const bool blackboard = format == GradesFormat::blackboard &&
                                column.starts_with(title + " [") &&
                                column.find(" |") != std::string::npos;
        const bool brightspace =
            format == GradesFormat::brightspace && column.starts_with(title + " Points Grade");
        if (canvas || blackboard || brightspace) {
            return column;
        }
    }
    if (format == GradesFormat::brightspace) {
        return title + " Points Grade <Numeric MaxPoints:" + std::to_string(points) + '>';
    }
    return title;
}

// The identifier columns of each format's rows, as the class list has them.
std::vector<std::string> keyColumns(const Roster& roster, GradesFormat format)
{
    std::vector<std::string> columns;
    const auto addIfThere = [&](std::string_view name) {
        if (roster.column(name) >= 0) {
            columns.emplace_back(name);
        }
    };
    switch (format) {
    case GradesFormat::canvas:
    case GradesFormat::moodle:
        for (const int c : roster.identity) {
            columns.push_back(roster.header[static_cast<std::size_t>(c)]);
        }
        // Canvas takes the columns up to Section as the student's.
        if (format == GradesFormat::canvas && roster.column("Section") < 0) {
            columns.emplace_back("Section");
        }
        break;
    case GradesFormat::blackboard:
        addIfThere("Username");
        break;
    case GradesFormat::brightspace:
        addIfThere("OrgDefinedId");
        addIfThere("Username");
        break;
    case GradesFormat::names:
        break;
    }
    return columns;
}

// Rows of fields, delimited as the format has them.
class Table
{
public:
    explicit Table(GradesFormat format) : format_(format) {}
    void field(std::string_view text)
    {
        if (!atStart_) {
            text_ += format_ == GradesFormat::blackboard ? '\t' : ',';
        }
        atStart_ = false;
        if (format_ == GradesFormat::blackboard) {
            // A tab-separated file has no quoting: a tab or line break would split the row.
            for (const char c : text) {
                text_ += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
            }
        } else {
            appendCsvField(text_, text);
        }
    }
    void end()
    {
        text_ += "\r\n";
        atStart_ = true;
    }
    std::string take() { return std::move(text_); }

private:
    GradesFormat format_;
    std::string text_;
    bool atStart_ = true;
};

} // namespace

std::optional<GradesFormat> gradesFormatNamed(std::string_view name)
{
    for (const auto& [known, format] : kFormats) {
        if (known == name) {
            return format;
        }
    }
    return std::nullopt;
}

std::string_view gradesFormatName(GradesFormat format)
{
    for (const auto& [name, known] : kFormats) {
        if (known == format) {
            return name;
        }
    }
    return {};
}

GradesFormat gradesFormatOf(RosterSite site)
{
    switch (site) {
    case RosterSite::canvas:
        return GradesFormat::canvas;
    case RosterSite::moodle:
        return GradesFormat::moodle;
    case RosterSite::blackboard:
        return GradesFormat::blackboard;
    case RosterSite::brightspace:
        return GradesFormat::brightspace;
    default:
        return GradesFormat::names;
    }
}

std::string gradesFormatNeeds(GradesFormat format, const Roster& roster)
{
    const auto lacks = [&](std::initializer_list<std::string_view> any) {
        for (const std::string_view name : any) {
            if (roster.column(name) >= 0) {
                return false;
            }
        }
        return true;
    };
    switch (format) {
    case GradesFormat::canvas:
        return lacks({"ID"}) ? "the ID column of Canvas's gradebook export" : "";
    case GradesFormat::moodle:
        return lacks({"Email address", "ID number", "Username"})
                   ? "an Email address, ID number or Username column of Moodle's export"
                   : "";
    case GradesFormat::blackboard:
        return lacks({"Username"}) ? "the Username column of Blackboard's Grade Center" : "";
    case GradesFormat::brightspace:
        return lacks({"OrgDefinedId", "Username"})
                   ? "the OrgDefinedId or Username column of Brightspace's grades export"
                   : "";
    case GradesFormat::names:
        break;
    }
    return {};
}

std::optional<GradeMeasure> gradeMeasureNamed(std::string_view name)
{
    for (const auto& [known, measure] : kMeasures) {
        if (known == name) {
            return measure;
        }
    }
    return std::nullopt;
}

std::string gradesImport(const Gradebook& book, const Roster& roster, GradesFormat format,
                         GradeMeasure measure, std::vector<std::string>& leftOut)
{
    // Only an assignment of the course has a most a grade can be.
    std::vector<std::size_t> assignments;
    for (std::size_t a = 0; a < book.assignments.size(); ++a) {
        if (book.assignments[a].questions) {
            assignments.push_back(a);
        } else {
            leftOut.push_back("assignment " + book.assignments[a].code + " (not in this course)");
        }
    }
    const std::vector<std::string> keys = keyColumns(roster, format);
    Table table(format);
    for (const std::string& key : keys) {
        table.field(key);
    }
    for (const std::size_t a : assignments) {
        const Gradebook::Assignment& assignment = book.assignments[a];
        table.field(columnTitle(roster, format, assignment.code, *assignment.questions));
    }
    if (format == GradesFormat::brightspace) {
        table.field("End-of-Line Indicator");
    }
    table.end();
    if (format == GradesFormat::canvas) {
        // The most of each assignment, for the ones Canvas makes.
        table.field("    Points Possible");
        for (std::size_t k = 1; k < keys.size(); ++k) {
            table.field({});
        }
        for (const std::size_t a : assignments) {
            table.field(std::to_string(*book.assignments[a].questions));
        }
        table.end();
    }
    const std::string_view hash = format == GradesFormat::brightspace ? "#" : "";
    for (const Gradebook::Student& student : book.students) {
        if (!student.row) {
            leftOut.push_back(student.name + " (on no row of the class list)");
            continue;
        }
        for (const std::string& key : keys) {
            table.field(std::string(hash) + std::string(roster.field(*student.row, key)));
        }
        for (const std::size_t a : assignments) {
            table.field(std::to_string(gradeOf(student.grades[a], measure)));
        }
        if (format == GradesFormat::brightspace) {
            table.field("#");
        }
        table.end();
    }
    return table.take();
}
