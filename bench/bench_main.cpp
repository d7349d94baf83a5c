// main() of the Google Benchmark programs: a QApplication on the offscreen
// platform, the console report, then each case's ratio to its baseline.
#include "bench_main.h"

#include <QApplication>

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace
{

std::vector<std::function<void()>>& exits()
{
    static std::vector<std::function<void()>> done;
    return done;
}

std::map<std::string, double>& goals()
{
    static std::map<std::string, double> byCase;
    return byCase;
}

struct Measured {
    double seconds = 0;
    std::map<std::string, double> counters;
};

// Keeps each benchmark's time per iteration, the median when repeated.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred) {
                failed = true;
                continue;
            }
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Aggregate && !median) {
                continue;
            }
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty()) {
                name += "/" + run.run_name.args;
            }
            if (median || !medians.contains(name)) {
                // In declaration order, however the runs were interleaved.
                order[{run.family_index, run.per_family_instance_index}] = name;
                Measured& m = measured[name];
                m.seconds =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
                for (const auto& [key, counter] : run.counters) {
                    m.counters[key] = counter.value;
                }
                if (median) {
                    medians.insert(name);
                }
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, Measured> measured;
    std::map<std::pair<std::int64_t, std::int64_t>, std::string> order;
    std::set<std::string> medians;
    bool failed = false;
};

std::string duration(double s)
{
    char text[32];
    // The unit follows the size, so that a negative difference reads as well.
    const double size = std::fabs(s);
    if (size >= 1) {
        std::snprintf(text, sizeof text, "%.2f s", s);
    } else if (size >= 1e-3) {
        std::snprintf(text, sizeof text, "%.2f ms", s * 1e3);
    } else if (size >= 1e-6) {
        std::snprintf(text, sizeof text, "%.2f us", s * 1e6);
    } else {
        std::snprintf(text, sizeof text, "%.1f ns", s * 1e9);
    }
    return text;
}

// "A/program/8" pairs with "A/baseline/8" and is reported as "A/8".
void printRatios(const RatioReporter& reporter)
{
    const std::string program = "/program";
    for (const auto& [index, name] : reporter.order) {
        const Measured& m = reporter.measured.at(name);
        const auto at = name.find(program);
        if (at == std::string::npos) {
            continue;
        }
        const std::string rest = name.substr(at + program.size());
        const auto base = reporter.measured.find(name.substr(0, at) + "/baseline" + rest);
        if (base == reporter.measured.end()) {
            continue;
        }
        const std::string caseName = name.substr(0, at);
        const double ratio = m.seconds / base->second.seconds;
        std::string goal = "-";
        std::string met = "-";
        if (const auto g = goals().find(caseName); g != goals().end()) {
            char text[32];
            std::snprintf(text, sizeof text, "<= %.2fx", g->second);
            goal = text;
            met = ratio <= g->second ? "met" : "MISSED";
        }
        // Per-unit figures, so growth with size shows at a glance.
        std::string note;
        if (const auto mb = m.counters.find("MB"); mb != m.counters.end() && mb->second > 0) {
            note = duration(m.seconds / mb->second) + "/MB (baseline " +
                   duration(base->second.seconds / mb->second) + "/MB, program's extra " +
                   duration((m.seconds - base->second.seconds) / mb->second) + "/MB)";
        }
        const auto presses = m.counters.find("presses");
        const auto entries = base->second.counters.find("presses");
        if (presses != m.counters.end() && entries != base->second.counters.end()) {
            note = duration(m.seconds / presses->second) + " a press (baseline " +
                   duration(base->second.seconds / entries->second) + "), " +
                   std::to_string(std::lround(presses->second)) + " presses";
        }
        std::printf(ratio < 100 ? "RESULT|%s%s|%.2fx|%s|%s|%s|%s|%s\n"
                                : "RESULT|%s%s|%.0fx|%s|%s|%s|%s|%s\n",
                    caseName.c_str(), rest.c_str(), ratio, duration(m.seconds).c_str(),
                    duration(base->second.seconds).c_str(), goal.c_str(), met.c_str(),
                    note.c_str());
    }
}

} // namespace

bool bench::setGoal(const std::string& caseName, double ratio)
{
    goals()[caseName] = ratio;
    return true;
}

void bench::atExit(std::function<void()> done)
{
    exits().push_back(std::move(done));
}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto& done : exits()) {
        done();
    }
    benchmark::Shutdown();
    std::fflush(stdout);
    printRatios(reporter);
    return reporter.failed ? 1 : 0;
}
