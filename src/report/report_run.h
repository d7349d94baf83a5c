#pragma once

#include <iosfwd>
#include <string>
#include <vector>

struct ReportOptions {
    std::vector<std::string> paths;
    bool recursive = false;
    std::string csv;
    std::string html;
    unsigned threads = 0; // 0: one per core
    // Initialized, so that the options may be given from the first few on.
    std::string xlsx{};
    std::string grades{};
    bool csvBom = false;        // the CSV files begin with a UTF-8 byte order mark
    std::string roster{};       // the class list
    std::string gradesFormat{}; // of --grades; empty: the class list's site's
    std::string gradeBy{};      // what a grade counts; empty: both
};

struct ReadingProgress;

// Reads every record file the paths name or hold, writes the CSV, the page,
// the workbook and the grades where asked and the summary to `out`; each
// file or record skipped is told on `err`. 0 when everything was read, 1
// otherwise, and kReportStopped when `progress` asked it to stop: the files
// it wrote are then not whole, and nothing more is written.
inline constexpr int kReportStopped = 3;
int runReport(const ReportOptions& options, std::ostream& out, std::ostream& err);
int runReport(const ReportOptions& options, std::ostream& out, std::ostream& err,
              const ReadingProgress& progress);
