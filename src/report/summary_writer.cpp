#include "report/writers.h"

#include <algorithm>
#include <vector>

namespace
{

std::string questionName(int number)
{
    const std::string digits = std::to_string(number);
    return 'q' + std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits;
}

void writeCounts(std::ostream& out, const char* name, const RatingCounts& counts)
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

bool needsHelp(const std::string& rating)
{
    return rating == "0" || rating == "1";
}

void writeRun(std::ostream& out, const RunSummary& run, std::size_t questions)
{
    out << "    run ";
    if (run.first.isValid()) {
        out << isoDate(run.first.date()) << ' ' << clockTime(run.first.time()) << " to "
            << (run.last.date() == run.first.date() ? "" : isoDate(run.last.date()) + ' ')
            << clockTime(run.last.time());
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
    std::vector<std::string> help;
    for (const auto& q : rated) {
        if (q.answered && needsHelp(q.confidence)) {
            help.push_back(questionName(q.number) + " (confidence " + q.confidence + ')');
        }
    }
    for (const auto& q : rated) {
        if (q.critiqued && needsHelp(q.critique)) {
            help.push_back(questionName(q.number) + " (critique " + q.critique + ')');
        }
    }
    out << "      rated 0 or 1:";
    if (help.empty()) {
        out << " none";
    }
    for (std::size_t i = 0; i < help.size(); ++i) {
        out << (i ? ", " : " ") << help[i];
    }
    out << '\n';
}

} // namespace

void writeSummary(const Report& report, std::ostream& out)
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
