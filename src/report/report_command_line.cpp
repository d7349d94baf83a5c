#include "report/report_command_line.h"

#include <ostream>
#include <string_view>
#include <utility>

#ifndef QA_TUTOR_VERSION
#define QA_TUTOR_VERSION "unknown"
#endif

namespace
{

constexpr std::string_view kUsage =
    "Usage: qa-tutor-report [--recursive] [--csv FILE] [--html FILE] [--xlsx FILE]\n"
    "                       [--grades FILE] [--csv-bom] FILE_OR_FOLDER...\n";

constexpr std::string_view kHelp =
    "qa-tutor-report: reads the record files of qa-tutor (Precalculus I) that students send\n"
    "and prints, per student and assignment, each run's questions answered, critiques,\n"
    "ratings, the questions rated 0 or 1, notes and first and last time stamp.\n"
    "\n"
    "A folder is read for its send files (send_*.txt); master and notes files are read\n"
    "when named. A ZIP archive (FILE.zip) is read as a folder, at any depth, without\n"
    "unpacking it; a member is told as ARCHIVE.zip:folder/send_MMDDName.txt. A copy\n"
    "suffix (\" (1)\", \"-1\") or a course site's prefix ending in \"_\" is no part of a\n"
    "file's name. A record found in two of a student's files counts once.\n"
    "A record that cannot be read is told on standard error with its file and line;\n"
    "another .txt file in a folder or archive is told as skipped.\n"
    "\n"
    "Options:\n"
    "  --csv FILE     write one row per response and note to FILE (CSV, UTF-8)\n"
    "  --html FILE    write one page with a grid of students by questions to FILE\n"
    "  --xlsx FILE    write a workbook to FILE: the CSV's rows, a grid of students by\n"
    "                 questions per assignment, and the gradebook\n"
    "  --grades FILE  write the gradebook to FILE (CSV): per student and assignment,\n"
    "                 questions answered of the course's, critiques, mean ratings and\n"
    "                 the last run's date\n"
    "  --csv-bom      begin the CSV files with a UTF-8 byte order mark, for Excel\n"
    "  --recursive    read the send files in the folders' subfolders as well\n"
    "  --help         show this help and exit\n"
    "  --version      show the version and exit\n"
    "\n"
    "Exit status: 0 when everything was read (a file skipped for its name is no\n"
    "failure), 1 when a file, member or record was skipped, 2 for a usage error.\n";

int usageError(std::ostream& err, std::string_view what)
{
    err << "qa-tutor-report: " << what << '\n'
        << kUsage << "Try 'qa-tutor-report --help' for more information.\n";
    return 2;
}

// The options that name a file to write.
constexpr std::pair<std::string_view, std::string ReportOptions::*> kFileOptions[] = {
    {"--csv", &ReportOptions::csv},
    {"--html", &ReportOptions::html},
    {"--xlsx", &ReportOptions::xlsx},
    {"--grades", &ReportOptions::grades}};

std::string ReportOptions::*fileOption(std::string_view arg)
{
    for (const auto& [name, field] : kFileOptions) {
        if (arg == name) {
            return field;
        }
    }
    return nullptr;
}

} // namespace

std::variant<ReportOptions, int> parseReportCommandLine(int argc, const char* const* argv,
                                                        std::ostream& out, std::ostream& err)
{
    ReportOptions options;
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnd || arg == "-" || !arg.starts_with('-')) {
            options.paths.emplace_back(arg);
        } else if (arg == "--") {
            optionsEnd = true;
        } else if (arg == "--help" && argc == 2) {
            out << kUsage << '\n' << kHelp;
            return 0;
        } else if (arg == "--version" && argc == 2) {
            out << "qa-tutor-report " << QA_TUTOR_VERSION << '\n';
            return 0;
        } else if (arg == "--recursive") {
            options.recursive = true;
        } else if (arg == "--csv-bom") {
            options.csvBom = true;
        } else if (const auto field = fileOption(arg)) {
            if (i + 1 == argc || std::string_view(argv[i + 1]).empty()) {
                return usageError(err, "option '" + std::string(arg) + "' needs a file");
            }
            options.*field = argv[++i];
        } else {
            return usageError(err, "unexpected argument '" + std::string(arg) + "'");
        }
    }
    if (options.paths.empty()) {
        return usageError(err, "no file or folder to read");
    }
    if (options.csvBom && options.csv.empty() && options.grades.empty()) {
        return usageError(err, "option '--csv-bom' needs '--csv' or '--grades'");
    }
    return options;
}
