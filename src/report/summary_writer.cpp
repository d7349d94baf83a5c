#include "report/summary_writer.h"

#include "report/class_list.h"
#include "report/report.h"

#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

void RatingCounts::add(const std::string& reply)
{
    const char code = ratingCode(reply);
    if (code == kRatingEmpty) {
        ++empty;
    } else if (code == kRatingInvalid) {
        ++invalid;
    } else {
        ++digits[static_cast<std::size_t>(code - '0')];
    }
}

int RatingCounts::total() const
{
    return digits[0] + digits[1] + digits[2] + digits[3] + invalid + empty;
}

RunSummary::Question& RunSummary::question(int number)
{
    for (Question& q : questions) {
        if (q.number == number) {
            return q;
        }
    }
    questions.emplace_back().number = number;
    return questions.back();
}

std::size_t RunSummary::answered() const
{
    return static_cast<std::size_t>(std::count_if(
        questions.begin(), questions.end(), [](const Question& q) { return q.confidence != 0; }));
}

namespace
{

// A rating as typed, in quotes, with what would break the line shown as an escape.
std::string quoted(const std::string& typed)
{
    std::string text = "\"";
    for (const char c : typed) {
        if (c == '\n' || c == '\r' || c == '\t') {
            text += c == '\n' ? "\\n" : c == '\r' ? "\\r" : "\\t";
        } else {
            text += c == '"' || c == '\\' ? std::string{'\\', c} : std::string(1, c);
        }
    }
    return text + '"';
}

void writeCounts(Out& out, std::string_view name, const RatingCounts& counts)
{
    out << "      " << name;
    for (std::size_t digit = 0; digit < counts.digits.size(); ++digit) {
        out << (digit ? ", " : " ") << digit << ": " << counts.digits[digit];
    }
    if (counts.empty) {
        out << ", no rating: " << counts.empty;
    }
    if (counts.invalid) {
        out << ", invalid: " << counts.invalid;
    }
    out << '\n';
}

void writeRun(Out& out, const RunSummary& run, std::size_t questions)
{
    out << "    run ";
    if (run.first != kNoStamp) {
        const QDate first = stampDate(run.first);
        const QDate last = stampDate(run.last);
        out << isoDate(first) << ' ' << clockTime(stampTime(run.first)) << " to "
            << (last == first ? "" : isoDate(last) + ' ') << clockTime(stampTime(run.last));
    } else {
        out << "with no time stamp";
    }
    out << ": " << run.answered() << " of " << questions << " questions answered, " << run.critiques
        << (run.critiques == 1 ? " critique, " : " critiques, ") << run.notes
        << (run.notes == 1 ? " note\n" : " notes\n");
    writeCounts(out, "confidence", run.confidence);
    writeCounts(out, "critique  ", run.critique);
    auto rated = run.questions;
    std::sort(rated.begin(), rated.end(),
              [](const auto& a, const auto& b) { return a.number < b.number; });
    // One question a line, as the page lists a student's needs.
    out << "      rated 0 or 1:";
    bool anyLow = false;
    for (const auto& q : rated) {
        if (!isLowRating(q.confidence) && !isLowRating(q.critique)) {
            continue;
        }
        out << "\n        " << questionName(q.number) << ':';
        anyLow = true;
        bool both = false;
        for (const auto& [what, code] :
             {std::pair{"confidence", q.confidence}, std::pair{"critique", q.critique}}) {
            if (isLowRating(code)) {
                out << (both ? ", " : " ") << what << ' ' << code;
                both = true;
            }
        }
    }
    out << (anyLow ? "\n" : " none\n");
    // A rating other than 0 to 3 is neither help needed nor none.
    bool anyInvalid = false;
    for (const auto& q : rated) {
        for (const auto& [what, code, typed] :
             {std::tuple{"confidence", q.confidence, &q.confidenceTyped},
              std::tuple{"critique", q.critique, &q.critiqueTyped}}) {
            if (code == kRatingInvalid) {
                out << (anyInvalid ? ", " : "      invalid ratings: ") << questionName(q.number)
                    << " (" << what << ' ' << quoted(*typed) << ')';
                anyInvalid = true;
            }
        }
    }
    if (anyInvalid) {
        out << '\n';
    }
}

} // namespace

namespace
{

// "  what: Ann Lee, Bo Chen, and the others", "none" when there is no one.
void writeNames(Out& out, std::string_view what, const std::vector<const std::string*>& names,
                std::string_view others = {})
{
    out << "  " << what << ':';
    for (std::size_t i = 0; i < names.size(); ++i) {
        out << (i ? ", " : " ") << *names[i];
    }
    if (!others.empty()) {
        out << (names.empty() ? " " : ", and ") << others;
    }
    out << (names.empty() && others.empty() ? " none\n" : "\n");
}

// Who of the class list sent nothing at all, and who no run of each assignment.
void writeAbsences(const ClassList& list, Out& out)
{
    out << "class list " << list.path << ": " << list.students.size()
        << (list.students.size() == 1 ? " student, " : " students, ")
        << list.students.size() - list.sentNothing.size() << " with records\n";
    writeNames(out, "sent nothing", list.sentNothing);
    const std::string others =
        list.sentNothing.empty() ? std::string() : whoSentNothing(list.sentNothing.size());
    for (const auto& [assignment, names] : list.noRun) {
        writeNames(out, "no run of assignment " + (assignment.empty() ? "unknown" : assignment),
                   names, others);
    }
}

} // namespace

void writeSummary(const Report& report, Out& out)
{
    // In the page's order of students.
    for (const auto* studentRuns : inClassListOrder(report.runs())) {
        const auto& [student, runs] = *studentRuns;
        out << student << '\n';
        std::string assignment = "\x01";
        std::vector<const RunSummary*> ofAssignment;
        const auto flush = [&] {
            std::sort(ofAssignment.begin(), ofAssignment.end(),
                      [](const RunSummary* a, const RunSummary* b) { return a->first < b->first; });
            const CourseAssignment* course = report.course().assignment(assignment);
            const std::size_t questions = course ? course->questions.size() : 0;
            for (const RunSummary* run : ofAssignment) {
                writeRun(out, *run, questions);
            }
            ofAssignment.clear();
        };
        for (const auto& [key, run] : runs) {
            if (key.assignment != assignment) {
                flush();
                assignment = key.assignment;
                const CourseAssignment* course = report.course().assignment(assignment);
                out << "  assignment " << (assignment.empty() ? "unknown" : assignment);
                if (course) {
                    out << ", " << course->questions.size() << " questions";
                } else if (!assignment.empty()) {
                    out << ", not in this course";
                }
                out << '\n';
            }
            ofAssignment.push_back(&run);
        }
        flush();
    }
    if (const ClassList* list = report.classList()) {
        writeAbsences(*list, out);
    }
}
