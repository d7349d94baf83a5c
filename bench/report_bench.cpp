// qa-tutor-report on the send files of a class, against reading the same
// bytes with no parsing, and on the same files in one ZIP against the folder;
// and its peak memory on one small and one large file, alone and zipped.
#include "class_files.h"
#include "machine.h"

#include "report/report_run.h"

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{

constexpr int kStudents = 200;
constexpr int kRepetitions = 7;
constexpr double kTimeGoal = 3.0;
constexpr double kArchiveGoal = 1.5;
constexpr double kMemoryGoalMiB = 4.0;
constexpr double kWorkbookGoal = 2.0; // the workbook's time against the CSV's
constexpr int kRosterStudents = 10'000;
constexpr double kRosterGoal = 1.1; // with a class list against without

using Clock = std::chrono::steady_clock;

void writeFile(const QString& path, const std::string& bytes)
{
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

// Each student works through each assignment on a day of its own, twice
// (the second run after starting the program again), and once more on a
// review day three weeks later.
std::vector<std::string> writeClass(const ClassWriter& w, const QString& folder)
{
    std::vector<std::string> files;
    const QStringList assignments = w.assignments();
    for (int s = 0; s < kStudents; ++s) {
        const QString name = QStringLiteral("Student %1").arg(s, 3, 10, QLatin1Char('0'));
        const QString fileName = QString(name).replace(u' ', u'_');
        for (int a = 0; a < assignments.size(); ++a) {
            const QString& assignment = assignments[a];
            const int count = static_cast<int>(w.questions(assignment).size());
            const std::string code = "RUN" + std::to_string(s * 100 + a);
            for (const int review : {0, 21}) {
                const QDate day = QDate(2026, 2, 2).addDays(a + review);
                QTime clock(8 + s % 10, 0);
                std::string bytes =
                    w.run(FileRole::send, assignment, day, clock, code + 'a', count, name);
                if (review == 0) {
                    bytes += w.run(FileRole::send, assignment, day, clock, code + 'b', count, name);
                }
                const QString path =
                    folder + QStringLiteral("/send_%1%2.txt")
                                 .arg(day.toString(QStringLiteral("MMdd")), fileName);
                writeFile(path, bytes);
                files.push_back(path.toStdString());
            }
        }
    }
    return files;
}

// One run whose student answers the first question again and again, to
// about `megabytes` MB.
std::string oneLargeFile(const ClassWriter& w, double megabytes)
{
    const auto& q = w.questions("001")[0];
    std::string bytes = w.opening("001", QDate(2026, 2, 2), "RUN");
    std::string record =
        ClassWriter::head(FileRole::send, QTime(9, 0), "001", q.number, q.entry, "x = 2, y = 1") +
        ClassWriter::tail(ResponseTail::Rating::confidence, "2");
    while (static_cast<double>(bytes.size()) < megabytes * (1 << 20)) {
        bytes += record;
    }
    return bytes;
}

std::uint64_t readWithoutParsing(const std::vector<std::string>& files)
{
    static std::vector<char> buffer(std::size_t{1} << 16);
    std::uint64_t total = 0;
    for (const std::string& path : files) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer.data(), buffer.size())) > 0;) {
            total += static_cast<std::uint64_t>(n);
        }
        ::close(fd);
    }
    return total;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The files in one ZIP, deflated as a course site stores them. Written by a
// child, since the heap libzip leaves would count in the peaks of the
// children forked after it.
void writeArchive(const QString& path, const std::vector<std::string>& files)
{
    if (::fork() == 0) {
        std::vector<std::pair<std::string, std::string>> members;
        for (const std::string& file : files) {
            members.emplace_back(file.substr(file.rfind('/') + 1), readFile(file));
        }
        writeFile(path, zipBytes(members));
        ::_exit(0);
    }
    int status = 0;
    ::wait(&status);
}

double secondsOf(const std::function<void()>& work)
{
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Peak resident memory of a child that runs the report, in MiB.
double peakMiB(const ReportOptions& options)
{
    const pid_t child = ::fork();
    if (child == 0) {
        std::ostringstream out;
        std::ostringstream err;
        ::_exit(runReport(options, out, err));
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

} // namespace

// With a folder, only writes the class's send files there (for profiling).
// A course site's class list of the class's students and many more, as
// Canvas exports it.
void writeRoster(const QString& path)
{
    std::string text = "Student,ID,SIS User ID,SIS Login ID,Section\n    Points Possible,,,,\n";
    for (int s = 0; s < kRosterStudents; ++s) {
        // The class's students as the send files name them ("Student 007").
        char row[96];
        std::snprintf(row, sizeof row,
                      s < kStudents ? "\"%03d, Student\",%d,,login%d,Section A\n"
                                    : "\"Enrolled, Other %d\",%d,,login%d,Section A\n",
                      s, 100000 + s, s);
        text += row;
    }
    writeFile(path, text);
}

int main(int argc, char* argv[])
{
    if (argc == 2) {
        writeClass(ClassWriter(), QString::fromLocal8Bit(argv[1]));
        return 0;
    }
    QTemporaryDir dir;
    const QString classFolder = dir.filePath(QStringLiteral("class"));
    QDir().mkpath(classFolder);
    const ClassWriter w;
    // Another machine's figures differ: say which this one is, and how busy.
    std::printf("machine: %s\n", bench::machineLine().c_str());
    std::printf("writing the send files of %d students ...\n", kStudents);
    const std::vector<std::string> files = writeClass(w, classFolder);
    const double classMiB = static_cast<double>(readWithoutParsing(files)) / (1 << 20);
    std::printf("%zu files, %.1f MiB\n", files.size(), classMiB);

    const ReportOptions options{{classFolder.toStdString()},
                                false,
                                dir.filePath(QStringLiteral("class.csv")).toStdString(),
                                dir.filePath(QStringLiteral("class.html")).toStdString()};
    // Before anything is timed: a child's peak counts the pages it shares
    // with this process, and the timed runs leave their threads' heaps here.
    const auto single = [&](const char* name, double megabytes, bool zipped) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        writeFile(path, oneLargeFile(w, megabytes));
        QString named = path;
        if (zipped) {
            named = path + QStringLiteral(".zip");
            writeArchive(named, {path.toStdString()});
        }
        ReportOptions o{{named.toStdString()},
                        false,
                        dir.filePath(QStringLiteral("one.csv")).toStdString(),
                        dir.filePath(QStringLiteral("one.html")).toStdString()};
        o.xlsx = dir.filePath(QStringLiteral("one.xlsx")).toStdString();
        return o;
    };
    const double small = peakMiB(single("send_0202Small.txt", 1, false));
    const double large = peakMiB(single("send_0202Large.txt", 64, false));
    const double smallZipped = peakMiB(single("send_0202Small.txt", 1, true));
    const double largeZipped = peakMiB(single("send_0202Large.txt", 64, true));
    const double whole = peakMiB(options);
    std::printf("zipping the class ...\n");
    const QString archivePath = dir.filePath(QStringLiteral("class.zip"));
    writeArchive(archivePath, files);
    ReportOptions zipped = options;
    zipped.paths = {archivePath.toStdString()};
    ReportOptions oneThread = options;
    oneThread.threads = 1;
    ReportOptions summaryOnly = options;
    summaryOnly.csv.clear();
    summaryOnly.html.clear();
    ReportOptions csvOnly = options;
    csvOnly.html.clear();
    ReportOptions withRoster = options;
    withRoster.roster = dir.filePath(QStringLiteral("roster.csv")).toStdString();
    writeRoster(QString::fromStdString(withRoster.roster));
    ReportOptions workbookOnly = summaryOnly;
    workbookOnly.xlsx = dir.filePath(QStringLiteral("class.xlsx")).toStdString();
    // Each run is compared with a reading of the class just before it, so
    // that the machine's changing speed is on both sides of each ratio.
    struct Side {
        std::vector<double> seconds;
        std::vector<double> ratios;
        std::vector<double> user; // processor time of the run
        std::vector<double> system;
        void ran(double t, double ratio, bench::CpuTime before)
        {
            const bench::CpuTime after = bench::processCpuTime();
            seconds.push_back(t);
            ratios.push_back(ratio);
            user.push_back(after.user - before.user);
            system.push_back(after.system - before.system);
        }
        // "user 120 ms, system 80 ms a run", the medians.
        std::string cpu() const
        {
            char text[80];
            std::snprintf(text, sizeof text, "user %.0f ms, system %.0f ms a run",
                          median(user) * 1e3, median(system) * 1e3);
            return text;
        }
    };
    Side program;
    Side archive; // against the folder's run just before
    Side serial;
    Side reading;
    Side csvAlone;
    Side workbook;
    Side roster; // against the run without it just before
    std::vector<double> baseline;
    // The outputs of the run before are removed first: freeing a file's pages
    // is the file system's work, not the writing of a new one.
    const auto timed = [&](Side& side, const ReportOptions& o) {
        std::remove(o.csv.c_str());
        std::remove(o.html.c_str());
        std::remove(o.xlsx.c_str());
        const double b = secondsOf([&] { readWithoutParsing(files); });
        const bench::CpuTime before = bench::processCpuTime();
        const double t = secondsOf([&] {
            std::ostringstream out;
            std::ostringstream err;
            runReport(o, out, err);
        });
        baseline.push_back(b);
        side.ran(t, t / b, before);
    };
    for (int i = 0; i < kRepetitions; ++i) {
        timed(program, options);
        std::remove(zipped.csv.c_str());
        std::remove(zipped.html.c_str());
        const bench::CpuTime before = bench::processCpuTime();
        const double a = secondsOf([&] {
            std::ostringstream out;
            std::ostringstream err;
            runReport(zipped, out, err);
        });
        archive.ran(a, a / program.seconds.back(), before);
        timed(roster, withRoster);
        roster.ratios.back() = roster.seconds.back() / program.seconds.back();
        timed(serial, oneThread);
        timed(reading, summaryOnly);
        timed(csvAlone, csvOnly);
        timed(workbook, workbookOnly);
    }
    const double b = median(baseline);
    const double p = median(program.ratios);
    std::printf("RESULT|Report, %.0f MiB of send files|%.2fx|%.0f ms|%.0f ms|<= %.1fx|%s|"
                "CSV and page written, %u threads; medians of %d runs; %s\n",
                classMiB, p, median(program.seconds) * 1e3, b * 1e3, kTimeGoal,
                p <= kTimeGoal ? "met" : "MISSED",
                std::max(1u, std::thread::hardware_concurrency()), kRepetitions,
                program.cpu().c_str());
    const double z = median(archive.ratios);
    std::printf("RESULT|Report, the class as one ZIP|%.2fx|%.0f ms|%.0f ms|<= %.1fx|%s|"
                "members deflated, against the same files in a folder; %s\n",
                z, median(archive.seconds) * 1e3, median(program.seconds) * 1e3, kArchiveGoal,
                z <= kArchiveGoal ? "met" : "MISSED", archive.cpu().c_str());
    const double c = median(roster.ratios);
    std::printf("RESULT|Report with a class list of %d students|%.2fx|%.0f ms|%.0f ms|<= %.1fx|"
                "%s|Canvas's export, against the same run without it; %s\n",
                kRosterStudents, c, median(roster.seconds) * 1e3, median(program.seconds) * 1e3,
                kRosterGoal, c <= kRosterGoal ? "met" : "MISSED", roster.cpu().c_str());
    std::printf("RESULT|Report, one thread|%.2fx|%.0f ms|%.0f ms|none||as above on one thread; "
                "%s\n",
                median(serial.ratios), median(serial.seconds) * 1e3, b * 1e3, serial.cpu().c_str());
    std::printf("RESULT|Report, summary only|%.2fx|%.0f ms|%.0f ms|none||no CSV, no page; %s\n",
                median(reading.ratios), median(reading.seconds) * 1e3, b * 1e3,
                reading.cpu().c_str());
    const double x = median(workbook.seconds) / median(csvAlone.seconds);
    std::printf("RESULT|Report workbook against the CSV alone|%.2fx|%.0f ms|%.0f ms|<= %.1fx|%s|"
                "--xlsx alone against --csv alone on the same class; %s against %s\n",
                x, median(workbook.seconds) * 1e3, median(csvAlone.seconds) * 1e3, kWorkbookGoal,
                x <= kWorkbookGoal ? "met" : "MISSED", workbook.cpu().c_str(),
                csvAlone.cpu().c_str());
    std::printf("RESULT|Report peak memory, one file of 64 against 1 MiB|%+.1f MiB|%.1f MiB|"
                "%.1f MiB|<= +%.0f MiB|%s|ru_maxrss of each child, CSV, page and workbook "
                "written; whole class: %.1f MiB\n",
                large - small, large, small, kMemoryGoalMiB,
                large - small <= kMemoryGoalMiB ? "met" : "MISSED", whole);
    std::printf("RESULT|Report peak memory, one ZIP member of 64 against 1 MiB|%+.1f MiB|"
                "%.1f MiB|%.1f MiB|<= +%.0f MiB|%s|each alone in a ZIP, deflated\n",
                largeZipped - smallZipped, largeZipped, smallZipped, kMemoryGoalMiB,
                largeZipped - smallZipped <= kMemoryGoalMiB ? "met" : "MISSED");
    std::printf("machine at the end: load average %s\n", bench::loadAverage().c_str());
    return 0;
}
