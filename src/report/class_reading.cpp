#include "report/class_reading.h"

#include "report/csv_writer.h"
#include "report/ordered_output.h"
#include "report/report_files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <set>
#include <thread>
#include <tuple>
#include <unordered_map>

namespace
{

// Tells each skipped record with the file and its line.
class FileSink : public RecordSink
{
public:
    FileSink(Report& report, const std::string& path, std::string& messages)
        : report_(report), path_(path), messages_(messages)
    {
    }
    void opening(const ReadOpening& record) override { report_.opening(record); }
    void entry(const ReadEntry& record) override { report_.entry(record); }
    void problem(const ReadProblem& problem) override
    {
        messages_ += path_ + ':' + std::to_string(problem.line) + ": " + problem.message + '\n';
        skipped = true;
    }
    bool skipped = false;

private:
    Report& report_;
    const std::string& path_;
    std::string& messages_;
};

// A thread's files and archives.
struct Openers {
    InputOpener files;
    ArchiveOpener archives;
};

// What stopped the reading of a file: "" when it was read to its end.
std::string readToEnd(const InputFile& input, Openers& openers, RecordSink& sink)
{
    if (input.member) {
        std::string failure;
        const Archive* archive = openers.archives.open(input.member->archive, failure);
        return archive ? archive->read(*input.member, sink) : failure;
    }
    const int fd = openers.files.open(input.path);
    if (fd < 0) {
        return std::strerror(errno);
    }
    const int error = readRecords(
        [fd](char* buffer, std::size_t size) { return readInput(fd, buffer, size); }, sink);
    closeInput(fd);
    return error ? std::strerror(error) : "";
}

// False when the file could not be read whole or a record was skipped.
bool readFile(const InputFile& input, Openers& openers, Report& report, std::string& messages)
{
    FileSink sink(report, input.path, messages);
    const std::string failure = readToEnd(input, openers, sink);
    if (!failure.empty()) {
        messages += input.path + ": " + failure + '\n';
        return false;
    }
    return !sink.skipped;
}

// The student of each file, by number, and whose records may come twice: a
// student with a master or notes file and another file, or with two files of
// one role and day (a copy, or the same file in a folder and an archive).
struct Students {
    explicit Students(const std::vector<InputFile>& inputs)
    {
        std::unordered_map<std::string, std::size_t> numbers;
        std::set<std::tuple<std::size_t, std::optional<FileRole>, std::string>> kinds;
        for (const InputFile& f : inputs) {
            const std::size_t i = numbers.emplace(f.student, numbers.size()).first->second;
            of.push_back(i);
            files.resize(numbers.size());
            keepsCopies.resize(numbers.size());
            ++files[i];
            keepsCopies[i] = keepsCopies[i] || f.role == FileRole::master ||
                             f.role == FileRole::notes || !kinds.emplace(i, f.role, f.day).second;
        }
    }
    std::size_t count() const { return files.size(); }
    bool dedupe(std::size_t i) const { return keepsCopies[i] && files[i] > 1; }
    std::vector<std::size_t> of;
    std::vector<int> files;
    std::vector<bool> keepsCopies;
};

unsigned threadCount(unsigned asked, std::size_t students)
{
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return static_cast<unsigned>(
        std::clamp<std::size_t>(asked ? asked : cores, 1, std::max<std::size_t>(students, 1)));
}

} // namespace

// Each thread keeps its own report, and the reports are merged at the end.
ClassReading readClass(const std::vector<InputFile>& inputs, unsigned threads, CsvSink* csv,
                       Report& report, std::ostream& err, const ReadingProgress& progress)
{
    const Students students(inputs);
    std::atomic<std::size_t> done = 0;
    std::atomic<bool> stopped = false;
    const unsigned count = threadCount(threads, students.count());
    OrderedOutput output(inputs.size(), csv, err);
    std::vector<std::unique_ptr<Report>> reports;
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < count; ++t) {
        reports.push_back(std::make_unique<Report>(report.course(), nullptr));
        reports.back()->keepCells(report.keepsCells());
        workers.emplace_back([&, t, mine = reports.back().get()] {
            std::string rows;
            rows.reserve(std::size_t{1} << 19);
            Openers openers;
            for (std::size_t i = 0; i < inputs.size(); ++i) {
                const InputFile& input = inputs[i];
                const std::size_t student = students.of[i];
                if (student % count != t) {
                    continue;
                }
                output.waitToStart(i);
                // A file not begun is passed as read whole and empty, so that
                // the files before it are still written in order.
                if (progress.stop && progress.stop->load()) {
                    stopped = true;
                    rows.clear();
                    output.finish(i, rows, {}, true);
                    continue;
                }
                std::string messages;
                CsvWriter writer(rows, [&output, i](std::string& full) { output.spill(i, full); });
                mine->setRows(csv ? &writer : nullptr);
                mine->beginFile(input.student, input.path, students.dedupe(student));
                const bool complete = readFile(input, openers, *mine, messages);
                output.finish(i, rows, std::move(messages), complete);
                if (progress.read) {
                    progress.read(++done, inputs.size());
                }
            }
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    for (const auto& other : reports) {
        report.merge(*other);
    }
    return {output.complete(), stopped};
}
