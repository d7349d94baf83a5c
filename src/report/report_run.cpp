#include "report/report_run.h"

#include "bank/course.h"
#include "record/student_records.h"
#include "report/report.h"
#include "report/writers.h"

#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{

struct InputFile {
    std::string path;
    std::string student;
    std::optional<FileRole> role;
};

bool isSendFileName(const std::string& name)
{
    return name.starts_with("send_") && name.ends_with(".txt");
}

// A folder's send files, in name order; a folder that cannot be listed is told.
bool addFolder(const fs::path& folder, bool recursive, std::vector<std::string>& files,
               std::ostream& err)
{
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    // The entry's own type, as the listing gives it, saves a look-up per file.
    std::vector<std::pair<fs::path, bool>> found;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        found.emplace_back(it->path(), it->is_directory(typeError));
    }
    if (ec) {
        err << folder.string() << ": " << ec.message() << '\n';
        return false;
    }
    std::sort(found.begin(), found.end());
    bool ok = true;
    for (const auto& [path, folderHere] : found) {
        if (recursive && folderHere) {
            ok = addFolder(path, recursive, files, err) && ok;
        } else if (isSendFileName(path.filename().string())) {
            files.push_back(path.string());
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
    FileSink(Report& report, const std::string& path, std::ostream& err)
        : report_(report), path_(path), err_(err)
    {
    }
    void opening(const ReadOpening& record) override { report_.opening(record); }
    void entry(const ReadEntry& record) override { report_.entry(record); }
    void problem(const ReadProblem& problem) override
    {
        err_ << path_ << ':' << problem.line << ": " << problem.message << '\n';
        skipped = true;
    }
    bool skipped = false;

private:
    Report& report_;
    const std::string& path_;
    std::ostream& err_;
};

std::string systemMessage(int error)
{
    return std::strerror(error);
}

// False when the file could not be read whole or a record was skipped.
bool readFile(const InputFile& input, Report& report, std::ostream& err)
{
    const int fd = ::open(input.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        err << input.path << ": " << systemMessage(errno) << '\n';
        return false;
    }
    FileSink sink(report, input.path, err);
    const int error = readRecords(
        [fd](char* buffer, std::size_t size) {
            return static_cast<std::ptrdiff_t>(::read(fd, buffer, size));
        },
        sink);
    ::close(fd);
    if (error != 0) {
        err << input.path << ": " << systemMessage(error) << '\n';
        return false;
    }
    return !sink.skipped;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

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
    std::map<std::string, int> filesOf;
    std::set<std::string> keepsCopies;
    for (const InputFile& f : inputs) {
        ++filesOf[f.student];
        if (f.role == FileRole::master || f.role == FileRole::notes) {
            keepsCopies.insert(f.student);
        }
    }

    std::unique_ptr<std::FILE, FileCloser> csvFile;
    std::unique_ptr<CsvWriter> csv;
    if (!options.csv.empty()) {
        csvFile.reset(std::fopen(options.csv.c_str(), "wb"));
        if (!csvFile) {
            err << options.csv << ": " << systemMessage(errno) << '\n';
            return 1;
        }
        csv = std::make_unique<CsvWriter>(csvFile.get());
    }

    const CourseIndex course(courseEntries());
    Report report(course, csv.get());
    for (const InputFile& input : inputs) {
        report.beginFile(input.student, input.path,
                         keepsCopies.contains(input.student) && filesOf[input.student] > 1);
        complete = readFile(input, report, err) && complete;
    }

    if (csv) {
        errno = 0;
        const bool written = csv->flush() && std::fflush(csvFile.get()) == 0;
        if (!written || std::fclose(csvFile.release()) != 0) {
            err << options.csv << ": " << systemMessage(errno ? errno : EIO) << '\n';
            complete = false;
        }
    }
    writeSummary(report, out);
    if (!options.html.empty()) {
        std::ofstream page(options.html, std::ios::binary | std::ios::trunc);
        if (page) {
            writePage(report, page);
            page.close();
        }
        if (!page) {
            err << options.html << ": " << systemMessage(errno ? errno : EIO) << '\n';
            complete = false;
        }
    }
    return complete ? 0 : 1;
}
