#include "report/page_writer.h"

#include "bank/course.h"
#include "report/class_list.h"
#include "report/report.h"
#include "text/byte_scan.h"

#include <algorithm>
#include <array>
#include <vector>

namespace
{

constexpr std::string_view kStyle = R"(
body { font-family: sans-serif; margin: 1.5em; color: #111; background: #fff; }
table { border-collapse: collapse; margin-bottom: 1em; }
th, td { border: 1px solid #999; padding: 2px 4px; text-align: center; vertical-align: top; }
th.student, tr.none th { text-align: left; white-space: nowrap; }
th.student span { font-weight: normal; font-size: 0.8em; color: #555; }
.none { color: #666; }
tr.tally th, tr.tally td { background: #f3f3f3; font-size: 0.9em; }
table.list td, table.list th { text-align: left; }
table.list td.text { white-space: pre-wrap; max-width: 40em; }
ul.legend { padding: 0; margin: 0.2em 0 0.6em; }
ul.legend li { display: inline; margin-right: 0.8em; }
summary { cursor: pointer; list-style: none; white-space: nowrap; font-family: monospace; }
summary::-webkit-details-marker { display: none; }
details details summary { font-family: sans-serif; color: #2a5db0; }
.r { display: inline-block; min-width: 1.3em; padding: 1px 2px; font-weight: bold; }
.r0 { background: #d32f2f; color: #fff; }
.r1 { background: #f2a33a; color: #111; }
.r2 { background: #b9df8a; color: #111; }
.r3 { background: #2e7d32; color: #fff; }
.rn { background: #eee; color: #666; }
.ri { background: #6b6b6b; color: #fff; }
.vh { position: absolute; width: 1px; height: 1px; margin: -1px; padding: 0; border: 0;
  overflow: hidden; clip: rect(0 0 0 0); clip-path: inset(50%); white-space: nowrap; }
details[open] > div { position: absolute; z-index: 1; max-width: 36em; padding: 0.5em 0.8em;
  text-align: left; background: #fff; border: 1px solid #555; box-shadow: 2px 2px 6px #888; }
details[open]:focus-within > div { z-index: 2; }
summary:focus { position: relative; z-index: 3; background: #fff; }
div p { margin: 0.2em 0 0.6em; white-space: pre-wrap; }
div h3 { margin: 0.4em 0 0; font-size: 0.85em; color: #444; }
div h4 { margin: 0.3em 0 0; font-size: 0.8em; font-weight: normal; color: #444; }
p.earlier { font-size: 0.8em; color: #555; }
)";

// Escape closes the opened cell that holds the focus (or, with the focus
// elsewhere, every opened cell) and leaves the focus on the cell.
constexpr std::string_view kScript = R"(
document.addEventListener("keydown", function (event) {
  if (event.key !== "Escape") return;
  var opened = "td > details[open], th > details[open]";
  var focused = document.activeElement && document.activeElement.closest(opened);
  (focused ? [focused] : document.querySelectorAll(opened)).forEach(function (cell) {
    cell.open = false;
  });
  if (focused) focused.querySelector("summary").focus();
});
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

// A rating code (see ratingCode) in words: "2", "not rated yet", "no rating
// typed" or "invalid rating: 5".
void ratingWordsInto(std::string& out, char code, std::string_view typed)
{
    if (isDigitRating(code)) {
        out.append(1, code);
    } else if (code == kRatingInvalid) {
        out.append("invalid rating: ");
        escapedInto(out, typed);
    } else {
        out.append(code == kRatingEmpty ? "no rating typed" : "not rated yet");
    }
}

// A rating code as a coloured mark, which screen readers skip for the words
// beside it; pointed at, it tells what it rates, and an invalid one what was
// typed.
void markInto(std::string& out, std::string_view what, char code, std::string_view typed)
{
    out.append("<span class=\"r ");
    out.append(isDigitRating(code) ? std::string{'r', code} : code == kRatingInvalid ? "ri" : "rn");
    out.append("\"");
    if (!what.empty()) {
        out.append(" title=\"").append(what);
        if (code == kRatingInvalid) {
            out.append(": ");
            escapedInto(out, typed);
        }
        out.append("\"");
    }
    out.append(" aria-hidden=\"true\">");
    if (isDigitRating(code)) {
        out.append(1, code);
    } else {
        out.append(code == kRatingInvalid ? "x" : code == kRatingEmpty ? "&ndash;" : "&middot;");
    }
    out.append("</span>");
}

// A text for screen readers alone.
void unseenInto(std::string& out, std::string_view text)
{
    out.append("<span class=\"vh\">").append(text).append("</span>");
}

// A long text shows its first line, and the rest when opened.
void foldedInto(std::string& out, std::string_view text)
{
    constexpr std::size_t kShort = 240;
    const std::size_t lineEnd = text.find('\n');
    if (text.size() <= kShort || lineEnd == std::string_view::npos) {
        out.append("<p>");
        escapedInto(out, text);
        out.append("</p>");
        return;
    }
    out.append("<p>");
    escapedInto(out, text.substr(0, lineEnd));
    out.append("</p><details><summary>the rest</summary><p>");
    escapedInto(out, text.substr(lineEnd + 1));
    out.append("</p></details>");
}

// What every student's cell of a question shows of the course, escaped once.
struct CourseSections {
    std::string question;
    std::string answer;
};

CourseSections courseSections(const CourseQuestion* question)
{
    CourseSections sections;
    sections.question = "<h3>Question</h3>";
    sections.answer = "<h3>Worked answer</h3>";
    if (question) {
        foldedInto(sections.question, question->text);
        foldedInto(sections.answer, question->answer);
    } else {
        sections.question += "<p>(not in this course)</p>";
        sections.answer += "<p>(not in this course)</p>";
    }
    return sections;
}

void appendStamp(std::string& text, Stamp stamp)
{
    if (stamp == kNoStamp) {
        text.append("no time stamp");
        return;
    }
    text.append(isoDate(stampDate(stamp))).append(" ").append(clockTime(stampTime(stamp)));
}

// An entry's heading: its rating (an invalid one as typed, in view), its time.
void entry(Out& out, const char* what, const CellEntry& e, bool shown)
{
    std::string& text = out.raw();
    const char code = ratingCode(e.rating);
    text.append("<h4>");
    markInto(text, what, code, e.rating);
    text.append(" <span class=\"vh\">").append(what);
    if (code == kRatingInvalid) {
        text.append("</span> ");
        ratingWordsInto(text, code, e.rating);
        text.append(",");
    } else {
        text.append(" ");
        ratingWordsInto(text, code, e.rating);
        text.append(",</span>");
    }
    text.append(" ");
    appendStamp(text, e.stamp);
    if (shown) {
        text.append(", shown in the grid");
    }
    text.append("</h4>");
    if (isEmptyText(e.text)) {
        text.append("<p class=\"earlier\">(empty)</p>");
    } else {
        text.append("<p>");
        escapedInto(text, e.text);
        text.append("</p>");
    }
    out << std::string_view();
}

// The shown entry first, then the others newest first.
void entries(Out& out, const char* heading, const char* what, const CellEntries& all)
{
    out << "<h3>" << heading;
    if (all.count() > 1) {
        out << " (" << all.count() << ", the one shown first, then newest first)";
    }
    out << "</h3>";
    const CellEntry* shown = all.shown();
    if (!shown) {
        out << "<p>(none)</p>";
        return;
    }
    entry(out, what, *shown, all.count() > 1);
    const auto& recent = all.recent();
    for (auto it = recent.rbegin(); it != recent.rend(); ++it) {
        if (it->number != shown->number) {
            entry(out, what, *it, false);
        }
    }
    const int left = all.count() - static_cast<int>(recent.size()) -
                     (shown->number <= all.count() - static_cast<int>(recent.size()) ? 1 : 0);
    if (left > 0) {
        out << "<p class=\"earlier\">and " << left << (left == 1 ? " earlier one" : " earlier ones")
            << ", in the CSV file</p>";
    }
}

// A cell's two marks, and for screen readers "confidence 1, self-critique 0".
void cell(Out& out, const Cell& c, const CourseSections& course)
{
    const CellEntry* response = c.responses.shown();
    const CellEntry* critique = c.critiques.shown();
    const std::string_view typedConfidence = response ? response->rating : "";
    const std::string_view typedCritique = critique ? critique->rating : "";
    std::string& text = out.raw();
    text.append("<td><details><summary>");
    markInto(text, "confidence", c.confidence(), typedConfidence);
    text.append(" ");
    markInto(text, "self-critique", c.critiqueRating(), typedCritique);
    text.append("<span class=\"vh\">confidence ");
    ratingWordsInto(text, c.confidence(), typedConfidence);
    text.append(", self-critique ");
    ratingWordsInto(text, c.critiqueRating(), typedCritique);
    text.append("</span></summary><div>");
    out << course.question;
    entries(out, "Response", "confidence", c.responses);
    out << course.answer;
    entries(out, "Self-critique", "self-critique", c.critiques);
    out << "</div></details></td>";
}

std::string lowRatings(const Cell& c)
{
    std::string text;
    for (const auto& [what, code] :
         {std::pair{"confidence", c.confidence()}, std::pair{"critique", c.critiqueRating()}}) {
        if (isLowRating(code)) {
            text.append(text.empty() ? "" : ", ").append(what).append(" ").append(1, code);
        }
    }
    return text;
}

// The students with questions rated 0 or 1, most such questions first.
void needsHelpList(const Report& report, Out& out)
{
    struct Student {
        std::string name;
        std::string key;
        int questions = 0;
        std::string list; // escaped
    };
    std::map<std::string, Student> byName;
    for (const auto& [assignment, students] : report.cells()) {
        for (const auto& [name, work] : students) {
            std::string line;
            for (const auto& [number, c] : work.cells) {
                if (c.needsHelp()) {
                    line.append(line.empty() ? "" : ", ").append(questionName(number));
                    line.append(" (").append(lowRatings(c)).append(")");
                    ++byName[name].questions;
                }
            }
            if (!line.empty()) {
                Student& s = byName[name];
                s.list.append(s.list.empty() ? "" : "<br>").append("assignment ");
                escapedInto(s.list, assignment);
                s.list.append(": ").append(line);
            }
        }
    }
    std::vector<Student*> ordered;
    for (auto& [name, s] : byName) {
        s.name = name;
        s.key = classListKey(name);
        ordered.push_back(&s);
    }
    std::stable_sort(ordered.begin(), ordered.end(), [](const Student* a, const Student* b) {
        return a->questions != b->questions ? a->questions > b->questions : a->key < b->key;
    });
    out << "<h2>Students who need help</h2>\n";
    if (ordered.empty()) {
        out << "<p>No student rated a question 0 or 1.</p>\n";
        return;
    }
    out << "<p>The questions whose latest rating shown in the grid is 0 or 1, most such "
           "questions first.</p>\n<table class=\"list\">\n<caption class=\"vh\">Students who "
           "need help</caption>\n<tr><th>student</th>"
           "<th>questions</th><th>rated 0 or 1</th></tr>\n";
    for (const Student* s : ordered) {
        out << "<tr><th class=\"student\">";
        escaped(out, s->name);
        out << "</th><td>" << s->questions << "</td><td>" << s->list << "</td></tr>\n";
    }
    out << "</table>\n";
}

// Names, escaped, a comma between two.
void namesInto(Out& out, const std::vector<const std::string*>& names)
{
    for (std::size_t i = 0; i < names.size(); ++i) {
        out << (i ? ", " : "");
        escaped(out, *names[i]);
    }
}

// Who of the class list sent no record at all.
void sentNothingList(const ClassList& list, Out& out)
{
    out << "<h2>Students who sent nothing</h2>\n<p>";
    if (list.sentNothing.empty()) {
        out << "Every one of the " << list.students.size() << " students on the class list ";
        escaped(out, list.path);
        out << " sent records.</p>\n";
        return;
    }
    out << list.sentNothing.size() << " of the " << list.students.size()
        << " students on the class list ";
    escaped(out, list.path);
    out << " sent no record: ";
    namesInto(out, list.sentNothing);
    out << ".</p>\n";
}

void studentHeading(Out& out, const std::string& name, const StudentWork& work)
{
    out << "<tr><th class=\"student\">";
    escaped(out, name);
    std::vector<QDate> dates = work.runDates;
    std::sort(dates.begin(), dates.end());
    for (std::size_t i = 0; i < dates.size(); ++i) {
        out << (i ? ", " : "<br><span>run ") << isoDate(dates[i]);
    }
    out << (dates.empty() ? "</th>" : "</span></th>");
}

// How many students rated each question 0 or 1, and how many answered it.
void tallyRows(Out& out, const std::map<std::string, StudentWork>& students,
               const std::vector<int>& questions)
{
    std::string low = "<tr class=\"tally\"><th class=\"student\">rated 0 or 1</th>";
    std::string answered = "<tr class=\"tally\"><th class=\"student\">answered</th>";
    for (const QuestionTally& tally : questionTallies(students, questions)) {
        low.append("<td>").append(std::to_string(tally.low)).append("</td>");
        answered.append("<td>").append(std::to_string(tally.answered)).append("</td>");
    }
    out << low << "</tr>\n" << answered << "</tr>\n";
}

void notesList(Out& out, std::string_view assignment, const std::vector<GridRow>& rows)
{
    bool any = false;
    for (const auto& [name, work] : rows) {
        if (!work) {
            continue;
        }
        for (const NoteEntry& note : work->notes) {
            if (!any) {
                out << "<h3>Notes</h3>\n<table class=\"list\">\n<caption class=\"vh\">Notes, "
                       "assignment ";
                escaped(out, assignment);
                out << "</caption>\n<tr><th>student</th><th>question</th><th>taken</th><th>note"
                       "</th></tr>\n";
                any = true;
            }
            out << "<tr><th class=\"student\">";
            escaped(out, *name);
            out << "</th><td>" << (note.question ? questionName(note.question) : "unknown")
                << "</td><td>";
            appendStamp(out.raw(), note.stamp);
            out << "</td><td class=\"text\">";
            escaped(out, note.text);
            out << "</td></tr>\n";
        }
        if (work->notesLeftOut > 0) {
            out << "<tr><th class=\"student\">";
            escaped(out, *name);
            out << "</th><td colspan=\"3\">and " << work->notesLeftOut
                << " more notes, in the CSV file</td></tr>\n";
        }
    }
    if (any) {
        out << "</table>\n";
    }
}

void assignmentGrid(const Report& report, Out& out, const std::string& assignment,
                    const std::map<std::string, StudentWork>& students)
{
    const std::vector<int> questions = gridQuestions(report.course(), assignment, students);
    const std::string_view name =
        assignment.empty() ? std::string_view("unknown") : std::string_view(assignment);
    out << "<h2>Assignment ";
    escaped(out, name);
    out << "</h2>\n<table>\n<caption class=\"vh\">Assignment ";
    escaped(out, name);
    out << ": each student's ratings by question</caption>\n<tr><th "
           "class=\"student\">student</th>";
    std::vector<CourseSections> columns;
    for (const int q : questions) {
        columns.push_back(courseSections(report.course().question(assignment, q)));
        // The whole question and worked answer once more, in the column's heading,
        // which keeps its short name for the cells under it.
        out << "<th aria-label=\"" << questionName(q) << "\"><details><summary>" << questionName(q)
            << "</summary><div>" << columns.back().question << columns.back().answer
            << "</div></details></th>";
    }
    out << "</tr>\n";
    // With a class list, each student on it has a row, empty when nothing came.
    const std::vector<GridRow> rows = classListRows(students, report.classList());
    // Short, for a class list may hold thousands who sent nothing.
    const std::string nothing = "</th><td colspan=\"" + std::to_string(questions.size()) +
                                "\">nothing answered</td></tr>\n";
    for (const auto& [student, work] : rows) {
        if (!work) {
            out << "<tr class=\"none\"><th>";
            escapedInto(out.raw(), *student);
            out << nothing;
            continue;
        }
        studentHeading(out, *student, *work);
        auto column = columns.begin();
        for (const int q : questions) {
            const auto it = work->cells.find(q);
            if (it == work->cells.end()) {
                out << "<td class=\"none\"><span aria-hidden=\"true\">&middot;</span>";
                unseenInto(out.raw(), "no response");
                out << "</td>";
            } else {
                cell(out, it->second, *column);
            }
            ++column;
        }
        out << "</tr>\n";
    }
    tallyRows(out, students, questions);
    out << "</table>\n";
    if (const ClassList* list = report.classList()) {
        const auto noRun = list->noRun.find(assignment);
        if (noRun != list->noRun.end()) {
            const std::vector<const std::string*>& names = noRun->second;
            out << "<p>No run of this assignment from " << names.size() + list->sentNothing.size()
                << " of the " << list->students.size() << " students on the class list: ";
            namesInto(out, names);
            if (!list->sentNothing.empty()) {
                out << (names.empty() ? "" : ", and ") << whoSentNothing(list->sentNothing.size());
            }
            out << ".</p>\n";
        }
    }
    notesList(out, name, rows);
}

} // namespace

void writePage(const Report& report, Out& out, const std::function<void(std::size_t)>& written)
{
    // Each mark, its colour and what it shows.
    struct LegendEntry {
        char code;
        const char* shows;
    };
    static constexpr std::array<LegendEntry, 7> kLegend = {{
        {'0', "red: 0, no confidence, or critique needed but not given;"},
        {'1', "orange: 1, some confidence, or critique not adequate;"},
        {'2', "light green: 2, pretty confident, or critique mostly adequate;"},
        {'3', "dark green: 3, certain, or no critique needed;"},
        {0, "light grey: not rated yet;"},
        {kRatingEmpty, "light grey: no rating typed;"},
        {kRatingInvalid, "dark grey: a rating other than 0 to 3, what was typed shown in the "
                         "opened cell (and when pointed at);"},
    }};
    std::string legend = "<ul class=\"legend\">\n";
    for (const LegendEntry& e : kLegend) {
        legend.append("<li>");
        markInto(legend, "", e.code, "");
        legend.append(" ").append(e.shows).append("</li>\n");
    }
    legend.append("<li><span class=\"none\" aria-hidden=\"true\">&middot;</span> no mark: no "
                  "response to the question.</li>\n</ul>\n");
    out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        << "<title>" << kCourseTitle << ": responses</title>\n<style>" << kStyle
        << "</style>\n</head>\n<body>\n<main>\n<h1>" << kCourseTitle << ": responses</h1>\n"
        << "<p>Each cell shows two marks, the confidence rating, then the self-critique rating, "
           "of the student's latest response and critique to the question that are not empty "
           "(a screen reader says \"confidence 2, self-critique 3\"), coloured from red, low, "
           "to green, high:</p>\n"
        << legend
        << "<p>Open a cell (click it, or Tab to it and press Enter; Escape closes it) for the "
           "question, every response, the worked answer and every critique; open a question's "
           "heading for the whole question. Students are in the order of their last names; "
           "under each name, the dates of the student's runs.</p>\n";
    needsHelpList(report, out);
    if (const ClassList* list = report.classList()) {
        sentNothingList(*list, out);
    }
    std::size_t done = 0;
    for (const auto& [assignment, students] : report.cells()) {
        assignmentGrid(report, out, assignment, students);
        if (written) {
            written(++done);
        }
    }
    out << "</main>\n<script>" << kScript << "</script>\n</body>\n</html>\n";
}
