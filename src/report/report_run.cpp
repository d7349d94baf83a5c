#include "report/report_run.h"

#include "bank/course.h"
#include "record/student_records.h"
#include "report/class_reading.h"
#include "report/gradebook.h"
#include "report/report.h"
#include "report/report_files.h"
#include "report/workbook.h"
#include "report/writers.h"

#include <QString>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
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

// Each output file, opened before anything is read so that a path that
// cannot be written is told at once.
struct Outputs {
    std::unique_ptr<std::FILE, FileCloser> csv;
    std::optional<CsvFile> csvRows;
    std::ofstream page;
    std::unique_ptr<Workbook> workbook;
    std::unique_ptr<std::FILE, FileCloser> grades;
    CsvSinks rows; // where the CSV's rows go as they are read

    bool open(const ReportOptions& options, std::ostream& err)
    {
        const std::string_view bom = options.csvBom ? kUtf8Bom : std::string_view();
        if (!options.csv.empty()) {
            csv.reset(openOutput(options.csv));
            if (!csv) {
                err << options.csv << ": " << systemMessage(errno) << '\n';
                return false;
            }
            // Given to the file before the rows, which are written past the stream.
            errno = 0;
            const std::string header = std::string(bom).append(CsvWriter::kHeader);
            const bool written =
                std::fwrite(header.data(), 1, header.size(), csv.get()) == header.size() &&
                std::fflush(csv.get()) == 0;
            csvRows.emplace(csv.get(), written ? 0 : errno ? errno : EIO);
            rows.add(&*csvRows);
        }
        if (!options.html.empty()) {
            page.open(systemPath(options.html), std::ios::binary | std::ios::trunc);
            if (!page) {
                err << options.html << ": " << systemMessage(errno) << '\n';
                return false;
            }
        }
        if (!options.grades.empty()) {
            grades.reset(openOutput(options.grades));
            if (!grades) {
                err << options.grades << ": " << systemMessage(errno) << '\n';
                return false;
            }
        }
        if (!options.xlsx.empty()) {
            std::string error;
            workbook = Workbook::open(options.xlsx, error);
            if (!workbook) {
                err << options.xlsx << ": " << error << '\n';
                return false;
            }
            rows.add(workbook.get());
        }
        return true;
    }

    // False, told, when the file did not take everything.
    static bool close(std::unique_ptr<std::FILE, FileCloser>& file, int error,
                      const std::string& path, std::ostream& err)
    {
        if (!file) {
            return true;
        }
        errno = 0;
        const bool written = error == 0 && std::fflush(file.get()) == 0;
        if (!written || std::fclose(file.release()) != 0) {
            error = error ? error : errno;
            err << path << ": " << systemMessage(error ? error : EIO) << '\n';
            return false;
        }
        return true;
    }

    bool closeCsv(const std::string& path, std::ostream& err)
    {
        return close(csv, csvRows ? csvRows->error() : 0, path, err);
    }

    // The workbook's grids and gradebook and the grades, from the cells
    // before the page frees them; false when one could not be written.
    bool writeGrades(const Report& report, const ReportOptions& options, std::ostream& err)
    {
        if (!workbook && !grades) {
            return true;
        }
        const Gradebook book = gradebookOf(report);
        bool ok = true;
        if (workbook) {
            workbook->writeGrids(report);
            workbook->writeGradebook(book);
            if (const std::string error = workbook->close(); !error.empty()) {
                err << options.xlsx << ": " << error << '\n';
                ok = false;
            }
            workbook.reset();
        }
        if (grades) {
            const std::string text = std::string(options.csvBom ? kUtf8Bom : "") + gradesCsv(book);
            errno = 0;
            const bool written =
                std::fwrite(text.data(), 1, text.size(), grades.get()) == text.size();
            ok = close(grades, written ? 0 : errno ? errno : EIO, options.grades, err) && ok;
        }
        return ok;
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
    report.keepCells(!options.html.empty() || outputs.workbook || outputs.grades);
    const ClassReading reading =
        readClass(inputs, options.threads, outputs.rows.sink(), report, err);
    complete = reading.complete && complete;
    complete = outputs.closeCsv(options.csv, err) && complete;
    complete = outputs.writeGrades(report, options, err) && complete;
    if (const int pageError = writeSummaryAndPage(report, out, outputs.page)) {
        err << options.html << ": " << systemMessage(pageError) << '\n';
        complete = false;
    }
    return complete ? 0 : 1;
}
