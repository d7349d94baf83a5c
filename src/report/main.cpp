#include "report/report_command_line.h"
#include "report/report_files.h"

#include <iostream>
#include <string>
#include <variant>
#include <vector>

int main(int argc, char* argv[])
{
    const std::vector<std::string> words = programWords(argc, argv);
    std::vector<const char*> wordTexts;
    for (const std::string& word : words) {
        wordTexts.push_back(word.c_str());
    }
    const auto parsed = parseReportCommandLine(static_cast<int>(wordTexts.size()), wordTexts.data(),
                                               std::cout, std::cerr);
    if (const int* status = std::get_if<int>(&parsed)) {
        return *status;
    }
    // The course text is a compiled-in resource, which needs no application
    // object; nothing else of Qt runs.
    std::ios::sync_with_stdio(false);
    return runReport(std::get<ReportOptions>(parsed), std::cout, std::cerr);
}
