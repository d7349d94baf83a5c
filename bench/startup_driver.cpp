// Starts the program's window and a bare Qt window by turns, each ending at
// its first paint, and compares wall time from fork to exit and peak memory.
//   bench_startup [--runs N] [--window PATH] [--bare PATH]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <vector>

namespace
{

constexpr double kTimeGoal = 1.15;
constexpr double kMemoryGoalMiB = 5.0;

struct Sample {
    double ms;
    double cpuMs;
    double maxRssMiB;
};

// Wall time from fork until the child has been reaped, its processor time
// (which other load on the machine disturbs less) and its peak resident size.
Sample runOnce(const std::string& path, bool quiet)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        std::exit(2);
    }
    if (pid == 0) {
        if (quiet) {
            // Qt's warnings would otherwise interleave with the table.
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDERR_FILENO);
            dup2(null, STDOUT_FILENO);
        }
        execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
        std::perror(path.c_str());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) {
        std::perror("wait4");
        std::exit(2);
    }
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_startup: %s failed (status %d)\n", path.c_str(), status);
        if (quiet) {
            runOnce(path, false); // again, to show what it says
        }
        std::exit(2);
    }
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return {std::chrono::duration<double, std::milli>(end - start).count(),
            ms(usage.ru_utime) + ms(usage.ru_stime), static_cast<double>(usage.ru_maxrss) / 1024.0};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

struct Summary {
    double medianMs, minMs, maxMs, medianCpuMs, medianMiB;
};

Summary summarize(const std::vector<Sample>& samples)
{
    std::vector<double> ms, cpu, mib;
    for (const Sample& s : samples) {
        ms.push_back(s.ms);
        cpu.push_back(s.cpuMs);
        mib.push_back(s.maxRssMiB);
    }
    return {median(ms), *std::min_element(ms.begin(), ms.end()),
            *std::max_element(ms.begin(), ms.end()), median(cpu), median(mib)};
}

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
    int runs = 15;
    std::string window = besideSelf("bench_startup_window");
    std::string bare = besideSelf("bench_startup_bare");
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--runs") {
            runs = std::max(1, std::atoi(argv[i + 1]));
        } else if (option == "--window") {
            window = argv[i + 1];
        } else if (option == "--bare") {
            bare = argv[i + 1];
        } else {
            std::fprintf(stderr, "usage: %s [--runs N] [--window PATH] [--bare PATH]\n", argv[0]);
            return 2;
        }
    }
    // Both run on the offscreen platform, so no display server's timing enters.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);

    // One unmeasured run each fills the page cache.
    runOnce(window, true);
    runOnce(bare, true);

    std::vector<Sample> windowRuns, bareRuns;
    for (int i = 0; i < runs; ++i) {
        // Alternating which goes first cancels drift in the machine's load.
        if (i % 2 == 0) {
            windowRuns.push_back(runOnce(window, true));
            bareRuns.push_back(runOnce(bare, true));
        } else {
            bareRuns.push_back(runOnce(bare, true));
            windowRuns.push_back(runOnce(window, true));
        }
    }

    const Summary w = summarize(windowRuns);
    const Summary b = summarize(bareRuns);
    const double ratio = w.medianMs / b.medianMs;
    const double extraMiB = w.medianMiB - b.medianMiB;
    std::printf("start-up to first paint, %d runs each, QT_QPA_PLATFORM=offscreen\n", runs);
    std::printf("%-12s %10s %8s %8s %8s %9s\n", "", "median ms", "min ms", "max ms", "cpu ms",
                "peak MiB");
    for (const auto& [name, s] : {std::pair{"program", w}, std::pair{"bare window", b}}) {
        std::printf("%-12s %10.1f %8.1f %8.1f %8.1f %9.1f\n", name, s.medianMs, s.minMs, s.maxMs,
                    s.medianCpuMs, s.medianMiB);
    }
    std::printf("RESULT|Start-up time|%.2fx|%.1f ms|%.1f ms|<= %.2fx|%s|"
                "medians of %d runs; processor time %.2fx\n",
                ratio, w.medianMs, b.medianMs, kTimeGoal, ratio <= kTimeGoal ? "met" : "MISSED",
                runs, w.medianCpuMs / b.medianCpuMs);
    std::printf("RESULT|Start-up peak memory|%+.1f MiB|%.1f MiB|%.1f MiB|<= +%.0f MiB|%s|"
                "ru_maxrss of each child\n",
                extraMiB, w.medianMiB, b.medianMiB, kMemoryGoalMiB,
                extraMiB <= kMemoryGoalMiB ? "met" : "MISSED");
    return 0;
}
