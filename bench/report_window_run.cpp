// A run of the report window against the command line's on the report
// benchmark's class (bench_report writes it): from the press of "Make" to
// the outcome shown in the window, against qa-tutor-report writing the same
// page, workbook and grades; by turns, each ratio of a pair of runs, and
// their median.
//   bench_report_window_run [--runs N]
#include "machine.h"

#include "report_window/report_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

extern char** environ;

namespace
{

constexpr double kGoal = 1.10;

// A program to its end, its output to /dev/null; false when it failed.
bool runProgram(const std::vector<std::string>& words)
{
    std::vector<char*> argv;
    for (const std::string& word : words) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int status = 0;
    const bool started = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    return started && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

double secondsOf(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void removeOutputs(QDir folder)
{
    for (const char* name : {"class.html", "class.xlsx", "class-grades.csv"}) {
        folder.remove(QString::fromLatin1(name));
    }
}

} // namespace

int main(int argc, char* argv[])
{
    int runs = 5;
    if (argc == 3 && std::string(argv[1]) == "--runs") {
        runs = std::max(1, std::atoi(argv[2]));
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: %s [--runs N]\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    std::printf("machine: %s\n", bench::machineLine().c_str());
    QTemporaryDir dir;
    const QDir top(dir.path());
    top.mkpath(QStringLiteral("class"));
    top.mkpath(QStringLiteral("command-line"));
    const std::string classFolder = top.filePath(QStringLiteral("class")).toStdString();
    std::printf("writing the report benchmark's class ...\n");
    if (!runProgram({(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_report"))
                         .toStdString(),
                     classFolder})) {
        std::fprintf(stderr, "bench_report did not write the class\n");
        return 1;
    }
    // The window writes beside the class; the command line the same files
    // into a folder of its own, with the window's default options.
    const QDir commandLine(top.filePath(QStringLiteral("command-line")));
    const auto out = [&](const char* name) {
        return commandLine.filePath(QString::fromLatin1(name)).toStdString();
    };
    const std::vector<std::string> words = {QA_TUTOR_REPORT_PROGRAM,
                                            "--recursive",
                                            "--html",
                                            out("class.html"),
                                            "--xlsx",
                                            out("class.xlsx"),
                                            "--grades",
                                            out("class-grades.csv"),
                                            classFolder};
    QSettings settings(top.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    ReportWindow window(settings);
    window.show();
    if (!window.takeDownload({QString::fromStdString(classFolder)})) {
        std::fprintf(stderr, "the window did not take the class\n");
        return 1;
    }
    // The command line opens nothing; a browser started after each run would
    // weigh on the next.
    window.findChild<QCheckBox*>(QStringLiteral("openPageWhenMade"))->setChecked(false);
    auto* make = window.findChild<QPushButton*>(QStringLiteral("makeReport"));
    const auto windowRun = [&] {
        make->click();
        while (window.running()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    };
    std::vector<double> windowSeconds;
    std::vector<double> commandSeconds;
    std::vector<double> ratios;
    bool failed = false;
    for (int i = 0; i < runs; ++i) {
        // Freeing the files of the run before is the file system's work.
        removeOutputs(top);
        removeOutputs(commandLine);
        double w = 0;
        double c = 0;
        const auto command = [&] { failed = !runProgram(words) || failed; };
        // Alternating which goes first spreads drift in the machine's load.
        if (i % 2 == 0) {
            w = secondsOf(windowRun);
            c = secondsOf(command);
        } else {
            c = secondsOf(command);
            w = secondsOf(windowRun);
        }
        windowSeconds.push_back(w);
        commandSeconds.push_back(c);
        ratios.push_back(w / c);
        std::printf("run %d: window %.0f ms, command line %.0f ms\n", i + 1, w * 1e3, c * 1e3);
    }
    if (failed || !top.exists(QStringLiteral("class.xlsx"))) {
        std::fprintf(stderr, "a run did not write its files\n");
        return 1;
    }
    const double r = median(ratios);
    std::printf("RESULT|Report window run|%.2fx|%.0f ms|%.0f ms|<= %.2fx|%s|page, workbook and "
                "grades of the report benchmark's class, press to outcome shown, against "
                "qa-tutor-report writing the same; medians of %d runs\n",
                r, median(windowSeconds) * 1e3, median(commandSeconds) * 1e3, kGoal,
                r <= kGoal ? "met" : "MISSED", runs);
    std::printf("machine at the end: load average %s\n", bench::loadAverage().c_str());
    return 0;
}
