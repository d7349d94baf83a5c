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
};

// Reads every record file the paths name or hold, writes the CSV and the page
// where asked and the summary to `out`; each file or record skipped is told
// on `err`. 0 when everything was read, 1 otherwise.
int runReport(const ReportOptions& options, std::ostream& out, std::ostream& err);
