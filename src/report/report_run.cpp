#include "report/report_run.h"

#include "bank/course.h"
#include "report/class_list.h"
#include "report/class_reading.h"
#include "report/csv_writer.h"
#include "report/gradebook.h"
#include "report/grades_import.h"
#include "report/input_names.h"
#include "report/page_writer.h"
#include "report/report.h"
#include "report/report_files.h"
#include "report/roster.h"
#include "report/summary_writer.h"
#include "report/workbook.h"
#include "report/writers.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <optional>
#include <ostream>
#include <sstream>
#include <thread>
#include <unordered_set>

namespace fs = std::filesystem;

namespace
{

std::string systemMessage(int error)
{
    return std::strerror(error);
}

// The files to read as they are found, and those skipped for their names:
// these are told at the end, once each, but for those named as well.
struct Listing {
    std::ostream& err;
    std::vector<InputFile> inputs;
    std::vector<std::pair<std::string, std::string_view>> skipped;
    bool complete = true;
    // What was looked at, for a run that finds no send file.
    std::size_t files = 0;
    std::size_t subfolders = 0; // not read, for want of --recursive
    std::size_t siteFiles = 0;

    // A send file found in a folder or archive; another .txt file is skipped.
    void found(std::string path, std::string_view fileName,
               std::optional<ArchiveMember> member = std::nullopt)
    {
        ++files;
        FoundFile file = foundFile(fileName);
        if (file.name) {
            inputs.push_back({std::move(path), std::move(file.name->student), file.name->role,
                              std::move(file.name->day), std::move(member)});
        } else if (file.siteFile) {
            ++siteFiles;
        } else if (!file.skipped.empty()) {
            skipped.emplace_back(std::move(path), file.skipped);
        }
    }
    void tellSkipped(std::unordered_set<std::string>& read) const
    {
        for (const auto& [path, reason] : skipped) {
            if (read.insert(path).second) {
                err << path << ": " << reason << '\n';
            }
        }
        if (siteFiles > 0) {
            err << "passed over " << siteFiles << (siteFiles == 1 ? " file" : " files")
                << " a course site adds beside the students' (Blackboard's details of an "
                   "attempt)\n";
        }
    }
    // Why nothing was found in `paths`, with what was looked at.
    void tellNothingFound(const std::vector<std::string>& paths) const
    {
        err << "qa-tutor-report: no send files found in ";
        for (std::size_t i = 0; i < paths.size(); ++i) {
            err << (i ? ", " : "") << paths[i];
        }
        err << " (" << files << (files == 1 ? " file" : " files")
            << " looked at, none named send_MMDDName.txt";
        if (subfolders > 0) {
            err << "; " << subfolders << (subfolders == 1 ? " subfolder" : " subfolders")
                << " not read: add --recursive to read them";
        }
        err << ")\n";
    }
};

// A folder's send files, in name order; a folder that cannot be listed is told.
void addFolder(const std::string& folder, bool recursive, Listing& listing)
{
    std::vector<FolderEntry> found;
    if (const int error = listFolder(folder, found)) {
        listing.err << folder << ": " << systemMessage(error) << '\n';
        listing.complete = false;
        return;
    }
    std::sort(found.begin(), found.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    for (const FolderEntry& entry : found) {
        if (entry.folder && recursive) {
            addFolder(inFolder(folder, entry.name), recursive, listing);
        } else if (entry.folder && !entry.name.ends_with(".txt")) {
            ++listing.subfolders;
        } else {
            listing.found(inFolder(folder, entry.name), entry.name);
        }
    }
}

// An archive's send files at any depth, in the order of a folder's; a member
// whose path leads out of the archive is told and not read.
void addArchive(const std::string& path, Listing& listing)
{
    readTimeZoneOnce();
    Archive archive;
    std::vector<ArchiveMember> members;
    std::string message;
    if (!archive.open(path, message) || !archive.list(members, message)) {
        listing.err << path << ": " << message << '\n';
        listing.complete = false;
        return;
    }
    std::sort(members.begin(), members.end(), memberBefore);
    listing.inputs.reserve(listing.inputs.size() + members.size());
    for (ArchiveMember& member : members) {
        std::string shown = path + ':' + member.name;
        if (leavesItsFolder(member.rawName)) {
            listing.err << shown << ": skipped: its path leads out of the archive's folder\n";
            listing.complete = false;
        } else {
            const std::string fileName(memberFileName(member.name));
            listing.found(std::move(shown), fileName, std::move(member));
        }
    }
}

bool isArchiveName(const std::string& path)
{
    constexpr std::string_view kZip = ".zip";
    return path.size() > kZip.size() &&
           std::equal(kZip.begin(), kZip.end(), path.end() - kZip.size(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

// The system's form of a UTF-8 path.
fs::path systemPath(const std::string& path)
{
    return fs::path(std::u8string(path.begin(), path.end()));
}

// A file named on the command line is read whatever its name.
InputFile namedFile(const std::string& path)
{
    const std::size_t end = path.find_last_of(kPathSeparators);
    const std::string name = end == std::string::npos ? path : path.substr(end + 1);
    std::optional<InputName> recordName = inputName(name);
    if (!recordName) {
        return {path, name, std::nullopt, {}, std::nullopt};
    }
    return {path, std::move(recordName->student), recordName->role, std::move(recordName->day),
            std::nullopt};
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The files the paths name or hold, each once, notes files last: a notes
// file's notes are found in the run that wrote them when that run is read
// first. None, told, when the paths hold no record file at all.
std::optional<std::vector<InputFile>> inputFiles(const ReportOptions& options, std::ostream& err,
                                                 bool& complete)
{
    Listing listing{err, {}, {}, true};
    for (const std::string& path : options.paths) {
        std::error_code ec;
        const fs::file_status status = fs::status(systemPath(path), ec);
        if (ec && status.type() != fs::file_type::not_found) {
            err << path << ": " << ec.message() << '\n';
            listing.complete = false;
        } else if (fs::is_directory(status)) {
            addFolder(path, options.recursive, listing);
        } else if (isArchiveName(path)) {
            addArchive(path, listing);
        } else {
            listing.inputs.push_back(namedFile(path));
        }
    }
    complete = listing.complete && complete;
    std::vector<InputFile> inputs;
    std::unordered_set<std::string> seenPaths;
    for (InputFile& input : listing.inputs) {
        if (seenPaths.insert(input.path).second) {
            inputs.push_back(std::move(input));
        }
    }
    listing.tellSkipped(seenPaths);
    if (inputs.empty()) {
        listing.tellNothingFound(options.paths);
        return std::nullopt;
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
            csvRows.emplace(csv.get(), written ? 0 : errno ? errno : EIO, options.csvBom);
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

    // The grades file's text: a course site's import for a class list, with
    // what it leaves out told, else the gradebook by name.
    static std::string gradesText(const Report& report, const Gradebook& book,
                                  const ReportOptions& options, GradesFormat format,
                                  std::ostream& err)
    {
        const ClassList* list = report.classList();
        if (!list || format == GradesFormat::names) {
            return gradesCsv(book);
        }
        const GradeMeasure measure =
            gradeMeasureNamed(options.gradeBy).value_or(GradeMeasure::both);
        std::vector<std::string> leftOut;
        std::string text = gradesImport(book, *list->roster, format, measure, leftOut);
        for (const std::string& what : leftOut) {
            err << options.grades << ": left out of the " << gradesFormatName(format)
                << " import: " << what << '\n';
        }
        return text;
    }

    bool closeCsv(const std::string& path, std::ostream& err)
    {
        return close(csv, csvRows ? csvRows->error() : 0, path, err);
    }

    // The workbook's grids and gradebook and the grades, from the cells
    // before the page frees them, the grades in `format` for a class list;
    // false when one could not be written.
    bool writeGrades(const Report& report, const ReportOptions& options, GradesFormat format,
                     std::ostream& err)
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
            std::string text = gradesText(report, book, options, format, err);
            if (options.csvBom) {
                const char delimiter = format == GradesFormat::blackboard ? '\t' : ',';
                text = std::string(kUtf8Bom) + guardedFromFormulas(text, delimiter);
            }
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
    // A mutex, not std::atomic's wait: libstdc++ 12's can miss a wake-up where
    // there is no futex (Windows), and the run then never ends.
    std::mutex doneMutex;
    std::condition_variable doneChanged;
    std::size_t pageDone = 0;
    const auto done = [&](std::size_t assignmentsDone) {
        {
            const std::lock_guard lock(doneMutex);
            pageDone = assignmentsDone;
        }
        doneChanged.notify_one();
    };
    const std::size_t assignments = report.cells().size();
    if (pageFile.is_open()) {
        page = std::thread([&] {
            errno = 0;
            {
                Out text(pageFile);
                writePage(report, text, done);
            }
            done(assignments);
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
        {
            std::unique_lock lock(doneMutex);
            doneChanged.wait(lock, [&] { return pageDone != freed; });
            freed = pageDone;
        }
        report.freeCells(freed);
    }
    if (page.joinable()) {
        page.join();
    }
    return pageError;
}

// No class list file is larger; a longer one is not a class list.
constexpr std::uintmax_t kMostRosterBytes = std::uintmax_t{64} << 20;

// The class list at `path`; none, told, when it cannot be read or is none.
std::optional<Roster> readRosterFile(const std::string& path, std::ostream& err)
{
    std::error_code ec;
    if (fs::is_directory(systemPath(path), ec)) {
        err << path << ": " << systemMessage(EISDIR) << '\n';
        return std::nullopt;
    }
    const std::uintmax_t size = fs::file_size(systemPath(path), ec);
    if (!ec && size > kMostRosterBytes) {
        err << path << ": not a class list: it holds " << (size >> 20)
            << " MiB, more than any class's (" << (kMostRosterBytes >> 20) << " MiB at most)\n";
        return std::nullopt;
    }
    std::ifstream file(systemPath(path), std::ios::binary);
    if (!file) {
        err << path << ": " << systemMessage(errno) << '\n';
        return std::nullopt;
    }
    std::ostringstream whole;
    whole << file.rdbuf();
    const std::string bytes = std::move(whole).str();
    std::string error;
    std::optional<Roster> roster = readRoster(bytes, error);
    if (!roster) {
        err << path << ": " << error << '\n';
    }
    return roster;
}

// The format of --grades: the one asked for, else the class list site's.
// None, told, when the class list lacks what that format keys on.
std::optional<GradesFormat> gradesFormat(const ReportOptions& options, const Roster* roster,
                                         std::ostream& err)
{
    if (!roster) {
        return GradesFormat::names;
    }
    const GradesFormat format = options.gradesFormat.empty()
                                    ? gradesFormatOf(roster->site)
                                    : *gradesFormatNamed(options.gradesFormat);
    if (const std::string needs = gradesFormatNeeds(format, *roster);
        !needs.empty() && !options.grades.empty()) {
        err << options.roster << ": the " << gradesFormatName(format) << " import needs " << needs
            << ", which this class list (" << rosterSiteName(roster->site) << ") lacks\n";
        return std::nullopt;
    }
    return format;
}

} // namespace

int runReport(const ReportOptions& options, std::ostream& out, std::ostream& err)
{
    return runReport(options, out, err, {});
}

int runReport(const ReportOptions& options, std::ostream& out, std::ostream& err,
              const ReadingProgress& progress)
{
    bool complete = true;
    // A large course's class list takes as long to read as a folder of
    // files to list: the two side by side, told in that order.
    std::optional<Roster> roster;
    std::optional<ClassList> classList;
    std::ostringstream rosterTold;
    std::future<void> loading;
    if (!options.roster.empty()) {
        loading = std::async(std::launch::async, [&] {
            if ((roster = readRosterFile(options.roster, rosterTold))) {
                classList = classListOf(*roster, options.roster);
            }
        });
    }
    std::ostringstream inputsTold;
    std::optional<std::vector<InputFile>> inputs = inputFiles(options, inputsTold, complete);
    if (loading.valid()) {
        loading.get();
    }
    err << rosterTold.view();
    if (!options.roster.empty() && !roster) {
        return 1;
    }
    const std::optional<GradesFormat> format =
        gradesFormat(options, roster ? &*roster : nullptr, err);
    if (!format) {
        return 1;
    }
    err << inputsTold.view();
    if (!inputs) {
        return 1;
    }
    if (classList) {
        matchFiles(*classList, *inputs, err);
    }
    Outputs outputs;
    if (!outputs.open(options, err)) {
        return 1;
    }
    prepareMemory();
    const CourseIndex course(courseEntries());
    Report report(course, nullptr);
    report.keepCells(!options.html.empty() || outputs.workbook || outputs.grades);
    const ClassReading reading =
        readClass(*inputs, options.threads, outputs.rows.sink(), report, err, progress);
    if (reading.stopped) {
        return kReportStopped;
    }
    if (classList) {
        findAbsences(*classList, report.runs());
        report.setClassList(&*classList);
    }
    complete = reading.complete && complete;
    complete = outputs.closeCsv(options.csv, err) && complete;
    complete = outputs.writeGrades(report, options, *format, err) && complete;
    if (const int pageError = writeSummaryAndPage(report, out, outputs.page)) {
        err << options.html << ": " << systemMessage(pageError) << '\n';
        complete = false;
    }
    return complete ? 0 : 1;
}
