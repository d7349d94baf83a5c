#include "report/report_run.h"

#include "bank/course.h"
#include "record/student_records.h"
#include "report/class_reading.h"
#include "report/report.h"
#include "report/report_files.h"
#include "report/writers.h"

#include <QString>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <thread>
#include <unordered_set>

namespace fs = std::filesystem;

namespace
{

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
    std::vector<FolderEntry> found;
    if (const int error = listFolder(folder, found)) {
        err << folder << ": " << systemMessage(error) << '\n';
        return false;
    }
    std::sort(found.begin(), found.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    bool ok = true;
    for (const FolderEntry& entry : found) {
        if (recursive && entry.folder) {
            ok = addFolder(inFolder(folder, entry.name), recursive, files, err) && ok;
        } else if (isSendFileName(entry.name)) {
            files.push_back(inFolder(folder, entry.name));
        }
    }
    return ok;
}

// The system's form of a UTF-8 path.
fs::path systemPath(const std::string& path)
{
    return fs::path(std::u8string(path.begin(), path.end()));
}

InputFile inputFile(const std::string& path)
{
    const std::size_t end = path.find_last_of(kPathSeparators);
    const std::string name = end == std::string::npos ? path : path.substr(end + 1);
    const auto recordName = recordFileName(QString::fromStdString(name));
    if (!recordName) {
        return {path, name, std::nullopt};
    }
    return {path, recordName->fullName.toStdString(), recordName->role};
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The files the paths name or hold, each once, notes files last: a notes
// file's notes are found in the run that wrote them when that run is read first.
std::vector<InputFile> inputFiles(const ReportOptions& options, std::ostream& err, bool& complete)
{
    std::vector<std::string> paths;
    for (const std::string& path : options.paths) {
        std::error_code ec;
        const fs::file_status status = fs::status(systemPath(path), ec);
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
    std::unordered_set<std::string> seenPaths;
    for (const std::string& path : paths) {
        if (seenPaths.insert(path).second) {
            inputs.push_back(inputFile(path));
        }
    }
    std::stable_partition(inputs.begin(), inputs.end(),
                          [](const InputFile& f) { return f.role != FileRole::notes; });
    return inputs;
}

// The CSV file and the page, opened before anything is read so that a path
// that cannot be written is told at once.
struct Outputs {
    std::unique_ptr<std::FILE, FileCloser> csv;
    int csvError = 0;
    std::ofstream page;

    bool open(const ReportOptions& options, std::ostream& err)
    {
        if (!options.csv.empty()) {
            csv.reset(openOutput(options.csv));
            if (!csv) {
                err << options.csv << ": " << systemMessage(errno) << '\n';
                return false;
            }
            // Given to the file before the rows, which are written past the stream.
            errno = 0;
            if (std::fwrite(CsvWriter::kHeader.data(), 1, CsvWriter::kHeader.size(), csv.get()) !=
                    CsvWriter::kHeader.size() ||
                std::fflush(csv.get()) != 0) {
                csvError = errno ? errno : EIO;
            }
        }
        if (!options.html.empty()) {
            page.open(systemPath(options.html), std::ios::binary | std::ios::trunc);
            if (!page) {
                err << options.html << ": " << systemMessage(errno) << '\n';
                return false;
            }
        }
        return true;
    }

    // False when the CSV file did not take everything.
    bool closeCsv(const std::string& path, std::ostream& err)
    {
        if (!csv) {
            return true;
        }
        errno = 0;
        const bool written = csvError == 0 && std::fflush(csv.get()) == 0;
        if (!written || std::fclose(csv.release()) != 0) {
            const int error = csvError ? csvError : errno;
            err << path << ": " << systemMessage(error ? error : EIO) << '\n';
            return false;
        }
        return true;
    }
};

// The page and the summary are written side by side, and this thread frees
// the cells of each assignment the page is done with. The errno of a failure
// to write the page; 0 when it was written or not asked for.
int writeSummaryAndPage(Report& report, std::ostream& out, std::ofstream& pageFile)
{
    int pageError = 0;
    std::thread page;
    std::atomic<std::size_t> pageDone = 0;
    const std::size_t assignments = report.cells().size();
    if (pageFile.is_open()) {
        page = std::thread([&] {
            errno = 0;
            {
                Out text(pageFile);
                writePage(report, text, [&](std::size_t done) {
                    pageDone = done;
                    pageDone.notify_one();
                });
            }
            pageDone = assignments;
            pageDone.notify_one();
            // The stream stops at its first failed write, whose errno is kept.
            pageFile.close();
            pageError = pageFile ? 0 : errno ? errno : EIO;
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
    }
    return pageError;
}

} // namespace

int runReport(const ReportOptions& options, std::ostream& out, std::ostream& err)
{
    bool complete = true;
    const std::vector<InputFile> inputs = inputFiles(options, err, complete);
    Outputs outputs;
    if (!outputs.open(options, err)) {
        return 1;
    }
    prepareMemory();
    const CourseIndex course(courseEntries());
    Report report(course, nullptr);
    std::FILE* csv = outputs.csvError == 0 ? outputs.csv.get() : nullptr;
    report.keepCells(!options.html.empty());
    const ClassReading reading = readClass(inputs, options.threads, csv, report, err);
    complete = reading.complete && complete;
    outputs.csvError = outputs.csvError ? outputs.csvError : reading.csvError;
    complete = outputs.closeCsv(options.csv, err) && complete;
    if (const int pageError = writeSummaryAndPage(report, out, outputs.page)) {
        err << options.html << ": " << systemMessage(pageError) << '\n';
        complete = false;
    }
    return complete ? 0 : 1;
}
