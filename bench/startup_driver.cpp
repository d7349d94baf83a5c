// The waits of a start-up, each program against its plain-Qt baseline:
//   first prompt: from launch to the name prompt painted;
//   window: from the last start-up reply to the window painted;
//   report window: from launch to the instructor's report window painted.
// The programs run by turns, each in a fresh folder; each prints its moments
// (first_paint.h) and its peak memory is the ru_maxrss of the child.
//   bench_startup [--runs N]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace
{

constexpr double kGoal = 1.10;

struct Moment {
    long long wallNs = 0;
    long long processorNs = 0;
};

struct Run {
    std::map<std::string, Moment> marks; // launch included
    double peakMiB = 0;

    // Milliseconds between two marks, on the wall clock or in processor time.
    double ms(const std::string& from, const std::string& to, bool processor = false) const
    {
        const Moment& a = marks.at(from);
        const Moment& b = marks.at(to);
        return static_cast<double>(processor ? b.processorNs - a.processorNs
                                             : b.wallNs - a.wallNs) /
               1e6;
    }
};

long long nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

[[noreturn]] void fail(const std::string& what)
{
    std::fprintf(stderr, "bench_startup: %s\n", what.c_str());
    std::exit(2);
}

// One start-up of `path` in a fresh folder. Qt's warnings go to /dev/null
// unless `showErrors`, so that they do not interleave with the table.
Run runOnce(const std::string& path, const char* until, bool showErrors = false)
{
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::string folder = (base / "qa-tutor-startup.XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        fail("mkdtemp: " + folder);
    }
    int out[2];
    if (pipe(out) != 0) {
        fail("pipe");
    }
    Run run;
    // The child's processor time starts at zero.
    run.marks["launch"] = {nowNs(), 0};
    const pid_t pid = fork();
    if (pid < 0) {
        fail("fork");
    }
    if (pid == 0) {
        // A child that never reaches its paint is ended rather than waited for.
        alarm(60);
        dup2(out[1], STDOUT_FILENO);
        if (!showErrors) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDERR_FILENO);
        }
        close(out[0]);
        close(out[1]);
        const std::string defaultFolder = folder + "/tutrdata";
        execl(path.c_str(), path.c_str(), until, defaultFolder.c_str(),
              static_cast<char*>(nullptr));
        std::perror(path.c_str());
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    close(out[0]);
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) {
        fail("wait4");
    }
    std::filesystem::remove_all(folder);

    // "name wall-ns processor-ns"; a name may hold blanks.
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const auto second = line.rfind(' ');
        const auto first = second == std::string::npos ? second : line.rfind(' ', second - 1);
        if (first != std::string::npos) {
            run.marks[line.substr(0, first)] = {std::stoll(line.substr(first + 1)),
                                                std::stoll(line.substr(second + 1))};
        }
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !run.marks.contains("painted")) {
        if (!showErrors) {
            runOnce(path, until, true); // again, to show what it says
        }
        fail(path + " " + until + " did not reach its paint (status " + std::to_string(status) +
             ")");
    }
    run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return run;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

// One program in one mode, and its runs.
struct Side {
    const char* title;
    std::string path;
    std::vector<Run> runs;

    double median(const std::function<double(const Run&)>& of) const
    {
        std::vector<double> all;
        for (const Run& r : runs) {
            all.push_back(of(r));
        }
        return ::median(all);
    }
    double wait(const std::string& from, bool processor = false) const
    {
        return median([&](const Run& r) { return r.ms(from, "painted", processor); });
    }
    double peakMiB() const
    {
        return median([](const Run& r) { return r.peakMiB; });
    }

    // The wait, then each step between two marks: medians of wall and
    // processor time.
    void print(const std::string& from) const
    {
        std::vector<double> all;
        for (const Run& r : runs) {
            all.push_back(r.ms(from, "painted"));
        }
        std::printf("%s: %.1f ms (min %.1f, max %.1f), processor %.1f ms, peak %.1f MiB\n", title,
                    wait(from), *std::min_element(all.begin(), all.end()),
                    *std::max_element(all.begin(), all.end()), wait(from, true), peakMiB());
        std::vector<std::pair<long long, std::string>> order;
        const auto& marks = runs.front().marks;
        for (const auto& [name, moment] : marks) {
            if (moment.wallNs >= marks.at(from).wallNs) {
                order.emplace_back(moment.wallNs, name);
            }
        }
        std::sort(order.begin(), order.end());
        for (std::size_t i = 1; i < order.size(); ++i) {
            const std::string& a = order[i - 1].second;
            const std::string& b = order[i].second;
            std::printf("    %-32s %7.2f ms, processor %7.2f ms\n", (a + " -> " + b).c_str(),
                        median([&](const Run& r) { return r.ms(a, b); }),
                        median([&](const Run& r) { return r.ms(a, b, true); }));
        }
    }
};

struct Wait {
    const char* name;
    const char* until;
    const char* from;
    const char* note;
    Side program;
    Side baseline;
    // The program's own steps within the wait, from one mark to another, if
    // any: what the wait would be without them is printed too.
    const char* ownFrom = nullptr;
    const char* ownTo = nullptr;
    double goal = kGoal;

    void reportOwnSteps(double baselineMs) const
    {
        const double own = program.median([&](const Run& r) { return r.ms(ownFrom, ownTo); });
        const double rest = program.median(
            [&](const Run& r) { return r.ms(from, "painted") - r.ms(ownFrom, ownTo); });
        std::printf("program's own steps (%s -> %s): %.1f ms; the wait without them: %.1f ms\n",
                    ownFrom, ownTo, own, rest);
        std::printf("RESULT|%s, own steps out|%.2fx|%.1f ms|%.1f ms|-|-|the program's wait less "
                    "its steps from \"%s\" to \"%s\" (%.1f ms)\n",
                    name, rest / baselineMs, rest, baselineMs, ownFrom, ownTo, own);
    }

    void report(int runs) const
    {
        std::printf("\n== %s: %s, medians of %d runs each\n", name, note, runs);
        program.print(from);
        baseline.print(from);
        const double p = program.wait(from);
        const double b = baseline.wait(from);
        const double ratio = p / b;
        std::printf("RESULT|%s|%.2fx|%.1f ms|%.1f ms|<= %.2fx|%s|%s; processor time %.2fx\n", name,
                    ratio, p, b, goal, ratio <= goal ? "met" : "MISSED", note,
                    program.wait(from, true) / baseline.wait(from, true));
        std::printf("RESULT|%s memory|%.2fx|%.1f MiB|%.1f MiB|-|-|peak resident size, +%.1f "
                    "MiB\n",
                    name, program.peakMiB() / baseline.peakMiB(), program.peakMiB(),
                    baseline.peakMiB(), program.peakMiB() - baseline.peakMiB());
        if (ownFrom != nullptr) {
            reportOwnSteps(b);
        }
    }
};

std::string besideSelf(const char* name)
{
    std::string self(4096, '\0');
    const ssize_t n = readlink("/proc/self/exe", self.data(), self.size());
    self.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    const auto slash = self.rfind('/');
    return (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/" + name;
}

} // namespace

int main(int argc, char* argv[])
{
    int runs = 31;
    if (argc == 3 && std::string(argv[1]) == "--runs") {
        runs = std::max(1, std::atoi(argv[2]));
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: %s [--runs N]\n", argv[0]);
        return 2;
    }
    // No display server's timing enters.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::string program = besideSelf("bench_startup_window");
    const std::string plain = besideSelf("bench_startup_plain");

    std::vector<Wait> waits = {
        {"First prompt",
         "prompt",
         "launch",
         "launch to the name prompt painted",
         {"program", program, {}},
         {"baseline, the prompt alone", plain, {}}},
        {"Window after reply",
         "window",
         "reply",
         "last start-up reply to the window painted",
         {"program", program, {}},
         {"baseline, plain Qt controls", plain, {}},
         "prompt returned",
         "opened"},
        {"Report window",
         "report",
         "launch",
         "launch to the report window painted",
         {"program", besideSelf("bench_report_window_start"), {}},
         {"baseline, the same controls in stock Qt", besideSelf("bench_report_window_plain"), {}},
         nullptr,
         nullptr,
         1.20},
    };
    // One unmeasured run of each fills the page cache.
    for (const Wait& w : waits) {
        runOnce(w.program.path, w.until);
        runOnce(w.baseline.path, w.until);
    }
    for (int i = 0; i < runs; ++i) {
        for (Wait& w : waits) {
            // Alternating which goes first spreads drift in the machine's load.
            Side& first = i % 2 == 0 ? w.program : w.baseline;
            Side& second = i % 2 == 0 ? w.baseline : w.program;
            first.runs.push_back(runOnce(first.path, w.until));
            second.runs.push_back(runOnce(second.path, w.until));
        }
    }
    for (const Wait& w : waits) {
        w.report(runs);
    }
    return 0;
}
