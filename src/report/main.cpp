#include "report/report_command_line.h"

#include <iostream>
#include <variant>

int main(int argc, char* argv[])
{
    const auto parsed = parseReportCommandLine(argc, argv, std::cout, std::cerr);
    if (const int* status = std::get_if<int>(&parsed)) {
        return *status;
    }
    // The course text is a compiled-in resource, which needs no application
    // object; nothing else of Qt runs.
    std::ios::sync_with_stdio(false);
    return runReport(std::get<ReportOptions>(parsed), std::cout, std::cerr);
}
