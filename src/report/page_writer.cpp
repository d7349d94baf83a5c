#include "report/writers.h"

#include "bank/course.h"
#include "text/byte_scan.h"

#include <array>
#include <set>
#include <vector>

namespace
{

constexpr std::string_view kStyle = R"(
body { font-family: sans-serif; margin: 1.5em; color: #111; }
table { border-collapse: collapse; margin-bottom: 2em; }
th, td { border: 1px solid #999; padding: 2px 4px; text-align: center; vertical-align: top; }
th.student { text-align: left; white-space: nowrap; }
td.none { color: #777; }
summary { cursor: pointer; list-style: none; white-space: nowrap; font-family: monospace; }
summary::-webkit-details-marker { display: none; }
.r { display: inline-block; min-width: 1.3em; padding: 1px 2px; font-weight: bold; }
.r0 { background: #e04a3f; color: #fff; }
.r1 { background: #f2a33a; }
.r2 { background: #b9df8a; }
.r3 { background: #3f9e4d; color: #fff; }
.rx { background: #ddd; }
details[open] > div { position: absolute; z-index: 1; max-width: 36em; padding: 0.5em 0.8em;
  text-align: left; background: #fff; border: 1px solid #555; box-shadow: 2px 2px 6px #888; }
div p { margin: 0.2em 0 0.6em; white-space: pre-wrap; }
div h4 { margin: 0.4em 0 0; font-size: 0.85em; color: #444; }
)";

// The five characters that are not text in a page, with what stands for them.
std::string_view replacementOf(char c)
{
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    case '\'':
        return "&#39;";
    default:
        return {};
    }
}

void escapedInto(std::string& out, std::string_view text)
{
    if (!byteScan::holdsAny<'&', '<', '>', '"', '\''>(text)) {
        out.append(text);
        return;
    }
    static const auto special = [] {
        std::array<bool, 256> table{};
        for (const char c : std::string_view("&<>\"'")) {
            table[static_cast<unsigned char>(c)] = true;
        }
        return table;
    }();
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (special[static_cast<unsigned char>(text[i])]) {
            out.append(text.substr(start, i - start)).append(replacementOf(text[i]));
            start = i + 1;
        }
    }
    out.append(text.substr(start));
}

void escaped(Out& out, std::string_view text)
{
    escapedInto(out.raw(), text);
    out << std::string_view();
}

// A rating as a coloured digit; what is not a digit 0 to 3 shows as typed.
void rating(Out& out, const char* what, bool given, const std::string& reply)
{
    const bool digit = reply.size() == 1 && reply[0] >= '0' && reply[0] <= '3';
    out << "<span class=\"r " << (digit ? 'r' + reply : std::string("rx")) << "\" title=\"" << what
        << "\">";
    if (!given) {
        out << "&middot;";
    } else if (reply.empty()) {
        out << "&ndash;";
    } else {
        escaped(out, reply);
    }
    out << "</span>";
}

std::string_view firstLine(std::string_view text)
{
    return text.substr(0, text.find('\n'));
}

void sectionInto(std::string& out, const char* heading, std::string_view text)
{
    out.append("<h4>").append(heading).append("</h4><p>");
    escapedInto(out, text);
    out.append("</p>");
}

void section(Out& out, const char* heading, std::string_view text)
{
    sectionInto(out.raw(), heading, text);
    out << std::string_view();
}

// What every student's cell of a question shows of the course, escaped once.
struct CourseSections {
    std::string question;
    std::string answer;
};

CourseSections courseSections(const CourseQuestion* question)
{
    CourseSections sections;
    sectionInto(sections.question, "Question",
                question ? firstLine(question->text) : "(not in this course)");
    sectionInto(sections.answer, "Worked answer begins",
                question ? firstLine(question->answer) : "");
    return sections;
}

void cell(Out& out, const Cell& c, const CourseSections& course)
{
    const CellEntry* response = c.responses.shown();
    const CellEntry* critique = c.critiques.shown();
    out << "<td><details><summary>";
    rating(out, "confidence", response != nullptr, response ? response->rating : std::string());
    out << ' ';
    rating(out, "self-critique", critique != nullptr, critique ? critique->rating : std::string());
    out << "</summary><div>";
    out << course.question;
    section(out, c.responses.count() > 1 ? "Response (the latest)" : "Response",
            response ? std::string_view(response->text) : "(none)");
    out << course.answer;
    section(out, c.critiques.count() > 1 ? "Self-critique (the latest)" : "Self-critique",
            critique ? std::string_view(critique->text) : "(none)");
    out << "</div></details></td>";
}

} // namespace

void writePage(const Report& report, Out& out, const std::function<void(std::size_t)>& written)
{
    std::size_t done = 0;
    out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        << "<title>" << kCourseTitle << ": responses</title>\n<style>" << kStyle
        << "</style>\n</head>\n<body>\n<h1>" << kCourseTitle << ": responses</h1>\n"
        << "<p>Each cell shows the confidence rating, then the self-critique rating, of the "
           "student's latest response to the question: "
        << "<span class=\"r r0\">0</span> no confidence or critique needed but not given, "
        << "<span class=\"r r1\">1</span> some confidence or critique not adequate, "
        << "<span class=\"r r2\">2</span> pretty confident or critique mostly adequate, "
        << "<span class=\"r r3\">3</span> certain or no critique needed; "
        << "<span class=\"r rx\">&middot;</span> not rated yet, "
        << "<span class=\"r rx\">&ndash;</span> rating cancelled. "
        << "Open a cell for the question, the response, the worked answer and the "
           "critique; open a question's heading for the whole question.</p>\n";
    for (const auto& [assignment, students] : report.cells()) {
        const CourseAssignment* course = report.course().assignment(assignment);
        std::set<int> questions;
        if (course) {
            for (const CourseQuestion& q : course->questions) {
                questions.insert(q.number);
            }
        }
        for (const auto& [student, work] : students) {
            for (const auto& [number, c] : work.cells) {
                questions.insert(number);
            }
        }
        out << "<h2>Assignment ";
        escaped(out, assignment);
        out << "</h2>\n<table>\n<tr><th class=\"student\">student</th>";
        for (const int q : questions) {
            // The whole question once, in its column's heading.
            out << "<th><details><summary>" << questionName(q) << "</summary><div>";
            const CourseQuestion* question = report.course().question(assignment, q);
            section(out, "Question", question ? std::string_view(question->text) : "");
            section(out, "Worked answer begins", question ? firstLine(question->answer) : "");
            out << "</div></details></th>";
        }
        out << "</tr>\n";
        std::vector<CourseSections> columns;
        for (const int q : questions) {
            columns.push_back(courseSections(report.course().question(assignment, q)));
        }
        for (const auto& [student, work] : students) {
            const auto& cells = work.cells;
            out << "<tr><th class=\"student\">";
            escaped(out, student);
            out << "</th>";
            auto column = columns.begin();
            for (const int q : questions) {
                const auto it = cells.find(q);
                if (it == cells.end()) {
                    out << "<td class=\"none\">&middot;</td>";
                } else {
                    cell(out, it->second, *column);
                }
                ++column;
            }
            out << "</tr>\n";
        }
        out << "</table>\n";
        if (written) {
            written(++done);
        }
    }
    out << "</body>\n</html>\n";
}
