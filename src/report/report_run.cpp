#include "report/report_run.h"

#include "bank/course.h"
#include "record/student_records.h"
#include "report/ordered_output.h"
#include "report/report.h"
#include "report/writers.h"

#include <QString>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <set>
#include <thread>
#include <unistd.h>
#include <unordered_map>

namespace fs = std::filesystem;

namespace
{

struct InputFile {
    std::string path;
    std::string student;
    std::optional<FileRole> role;
};

std::string systemMessage(int error)
{
    return std::strerror(error);
}

bool isSendFileName(const std::string& name)
{
    return name.starts_with("send_") && name.ends_with(".txt");
}

// A folder's send files, in name order; a folder that cannot be listed is told.
bool addFolder(const std::string& folder, bool recursive, std::vector<std::string>& files,
               std::ostream& err)
{
    struct Entry {
        std::string name;
        bool folder = false;
        bool operator<(const Entry& other) const { return name < other.name; }
    };
    std::vector<Entry> found;
    DIR* listing = ::opendir(folder.c_str());
    int error = listing ? 0 : errno;
    // The entry's own type, as the listing gives it, saves a look-up per
    // file. A link to a folder is not followed: it may lead back up.
    errno = 0;
    while (const dirent* entry = listing ? ::readdir(listing) : nullptr) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            std::error_code typeError;
            const bool folderHere =
                entry->d_type == DT_DIR ||
                (entry->d_type == DT_UNKNOWN && recursive &&
                 fs::symlink_status(folder + '/' + entry->d_name, typeError).type() ==
                     fs::file_type::directory);
            found.push_back({std::string(name), folderHere});
        }
        errno = 0;
    }
    if (listing) {
        error = errno;
        ::closedir(listing);
    }
    if (!listing || error != 0) {
        err << folder << ": " << systemMessage(error) << '\n';
        return false;
    }
    std::sort(found.begin(), found.end());
    bool ok = true;
    const std::string prefix = folder.ends_with('/') ? folder : folder + '/';
    for (const Entry& entry : found) {
        if (recursive && entry.folder) {
            ok = addFolder(prefix + entry.name, recursive, files, err) && ok;
        } else if (isSendFileName(entry.name)) {
            files.push_back(prefix + entry.name);
        }
    }
    return ok;
}

InputFile inputFile(const std::string& path)
{
    const std::string name = fs::path(path).filename().string();
    const auto recordName = recordFileName(QString::fromStdString(name));
    if (!recordName) {
        return {path, name, std::nullopt};
    }
    return {path, recordName->fullName.toStdString(), recordName->role};
}

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

// False when the file could not be read whole or a record was skipped.
bool readFile(const InputFile& input, Report& report, std::string& messages)
{
    const int fd = ::open(input.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        messages += input.path + ": " + systemMessage(errno) + '\n';
        return false;
    }
    FileSink sink(report, input.path, messages);
    const int error = readRecords(
        [fd](char* buffer, std::size_t size) {
            return static_cast<std::ptrdiff_t>(::read(fd, buffer, size));
        },
        sink);
    ::close(fd);
    if (error != 0) {
        messages += input.path + ": " + systemMessage(error) + '\n';
        return false;
    }
    return !sink.skipped;
}

// The errno of a failure to write the page; 0 when it was written. `written`
// is told how many assignments are written, after each.
int writePageFile(const Report& report, const std::string& path,
                  const std::function<void(std::size_t)>& written)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (file) {
        Out page(file);
        writePage(report, page, written);
        page.flush();
        file.close();
    }
    return file ? 0 : errno ? errno : EIO;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Each student's number, and whose records may come twice: a student with a
// master or notes file and another file.
struct Students {
    explicit Students(const std::vector<InputFile>& inputs)
    {
        for (const InputFile& f : inputs) {
            const std::size_t i = index.emplace(f.student, index.size()).first->second;
            files.resize(index.size());
            keepsCopies.resize(index.size());
            ++files[i];
            keepsCopies[i] =
                keepsCopies[i] || f.role == FileRole::master || f.role == FileRole::notes;
        }
    }
    bool dedupe(std::size_t i) const { return keepsCopies[i] && files[i] > 1; }
    std::unordered_map<std::string, std::size_t> index;
    std::vector<int> files;
    std::vector<bool> keepsCopies;
};

unsigned threadCount(unsigned asked, std::size_t students)
{
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return static_cast<unsigned>(
        std::clamp<std::size_t>(asked ? asked : cores, 1, std::max<std::size_t>(students, 1)));
}

// Each student's files are read on one thread, in order, so that the
// latest texts and the copies found twice are those of a reading by one;
// each thread keeps its own report, and the reports are merged at the end.
// False when a file was not read whole; `csvError` is the errno of a failed
// write to the CSV file.
bool readAll(const std::vector<InputFile>& inputs, unsigned threads, std::FILE* csv, Report& report,
             std::ostream& err, int& csvError)
{
    const Students students(inputs);
    const unsigned count = threadCount(threads, students.index.size());
    OrderedOutput output(inputs.size(), csv, err);
    std::vector<std::unique_ptr<Report>> reports;
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < count; ++t) {
        reports.push_back(std::make_unique<Report>(report.course(), nullptr));
        workers.emplace_back([&, t, mine = reports.back().get()] {
            std::string rows;
            rows.reserve(std::size_t{1} << 19);
            for (std::size_t i = 0; i < inputs.size(); ++i) {
                const InputFile& input = inputs[i];
                const std::size_t student = students.index.at(input.student);
                if (student % count != t) {
                    continue;
                }
                output.waitToStart(i);
                std::string messages;
                CsvWriter writer(rows, [&output, i](std::string& full) { output.spill(i, full); });
                mine->setRows(csv ? &writer : nullptr);
                mine->beginFile(input.student, input.path, students.dedupe(student));
                const bool complete = readFile(input, *mine, messages);
                output.finish(i, rows, std::move(messages), complete);
            }
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    for (const auto& other : reports) {
        report.merge(*other);
    }
    csvError = output.csvError();
    return output.complete();
}

} // namespace

int runReport(const ReportOptions& options, std::ostream& out, std::ostream& err)
{
    bool complete = true;
    std::vector<std::string> paths;
    for (const std::string& path : options.paths) {
        std::error_code ec;
        const fs::file_status status = fs::status(path, ec);
        if (ec && status.type() != fs::file_type::not_found) {
            err << path << ": " << ec.message() << '\n';
            complete = false;
        } else if (fs::is_directory(status)) {
            complete = addFolder(path, options.recursive, paths, err) && complete;
        } else {
            paths.push_back(path);
        }
    }

    std::vector<InputFile> inputs;
    std::set<std::string> seenPaths;
    for (const std::string& path : paths) {
        if (seenPaths.insert(path).second) {
            inputs.push_back(inputFile(path));
        }
    }
    // A notes file's notes are found in the run that wrote them when that run
    // is read first.
    std::stable_partition(inputs.begin(), inputs.end(),
                          [](const InputFile& f) { return f.role != FileRole::notes; });
    std::unique_ptr<std::FILE, FileCloser> csvFile;
    if (!options.csv.empty()) {
        csvFile.reset(std::fopen(options.csv.c_str(), "wb"));
        if (!csvFile) {
            err << options.csv << ": " << systemMessage(errno) << '\n';
            return 1;
        }
        // Given to the file before the rows, which are written past the stream.
        std::fwrite(CsvWriter::kHeader.data(), 1, CsvWriter::kHeader.size(), csvFile.get());
        std::fflush(csvFile.get());
    }

    const CourseIndex course(courseEntries());
    Report report(course, nullptr);
    int csvError = 0;
    complete = readAll(inputs, options.threads, csvFile.get(), report, err, csvError) && complete;

    if (csvFile) {
        errno = 0;
        const bool written = csvError == 0 && std::fflush(csvFile.get()) == 0;
        if (!written || std::fclose(csvFile.release()) != 0) {
            const int error = csvError ? csvError : errno;
            err << options.csv << ": " << systemMessage(error ? error : EIO) << '\n';
            complete = false;
        }
    }

    // The page and the summary are written side by side, and this thread
    // frees the cells of each assignment the page has done with.
    int pageError = 0;
    std::thread page;
    std::atomic<std::size_t> pageDone = 0;
    const std::size_t assignments = report.cells().size();
    if (!options.html.empty()) {
        page = std::thread([&] {
            pageError = writePageFile(report, options.html, [&](std::size_t done) {
                pageDone = done;
                pageDone.notify_one();
            });
            pageDone = assignments;
            pageDone.notify_one();
        });
    }
    {
        Out summary(out);
        writeSummary(report, summary);
    }
    report.freeRuns();
    for (std::size_t freed = 0; page.joinable() && freed < assignments;) {
        pageDone.wait(freed);
        freed = pageDone;
        report.freeCells(freed);
    }
    if (page.joinable()) {
        page.join();
        if (pageError != 0) {
            err << options.html << ": " << systemMessage(pageError) << '\n';
            complete = false;
        }
    }
    return complete ? 0 : 1;
}
