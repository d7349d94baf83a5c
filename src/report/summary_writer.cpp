#include "report/writers.h"

#include <algorithm>
#include <vector>

namespace
{

void writeCounts(Out& out, std::string_view name, const RatingCounts& counts)
{
    out << "      " << name;
    for (std::size_t digit = 0; digit < counts.digits.size(); ++digit) {
        out << (digit ? ", " : " ") << digit << ": " << counts.digits[digit];
    }
    if (counts.cancelled) {
        out << ", cancelled: " << counts.cancelled;
    }
    if (counts.other) {
        out << ", other: " << counts.other;
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
    out << "      rated 0 or 1:";
    bool any = false;
    const auto help = [&](const RunSummary::Question& q, std::string_view what, char rating) {
        if (rating == '0' || rating == '1') {
            out << (any ? ", " : " ") << questionName(q.number) << " (" << what << ' ' << rating
                << ')';
            any = true;
        }
    };
    for (const auto& q : rated) {
        help(q, "confidence", q.confidence);
    }
    for (const auto& q : rated) {
        help(q, "critique", q.critique);
    }
    out << (any ? "\n" : " none\n");
}

} // namespace

void writeSummary(const Report& report, Out& out)
{
    for (const auto& [student, runs] : report.runs()) {
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
}
