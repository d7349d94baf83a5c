#include "report/report_run.h"

#include "bank/course.h"
#include "report/class_reading.h"
#include "report/input_names.h"
#include "report/report.h"
#include "report/report_files.h"
#include "report/writers.h"

#include <algorithm>
#include <atomic>
#include <cctype>
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

// The files to read as they are found, and those skipped for their names:
// these are told at the end, once each, but for those named as well.
struct Listing {
    std::ostream& err;
    std::vector<InputFile> inputs;
    std::vector<std::pair<std::string, std::string_view>> skipped;
    bool complete = true;

    // A send file found in a folder or archive; another .txt file is skipped.
    void found(std::string path, std::string_view fileName,
               std::optional<ArchiveMember> member = std::nullopt)
    {
        FoundFile file = foundFile(fileName);
        if (file.name) {
            inputs.push_back({std::move(path), std::move(file.name->student), file.name->role,
                              std::move(file.name->day), std::move(member)});
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
        if (recursive && entry.folder) {
            addFolder(inFolder(folder, entry.name), recursive, listing);
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
// file's notes are found in the run that wrote them when that run is read first.
std::vector<InputFile> inputFiles(const ReportOptions& options, std::ostream& err, bool& complete)
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
