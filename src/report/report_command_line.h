#pragma once

#include "report/report_run.h"

#include <iosfwd>
#include <variant>

// The options of qa-tutor-report, or the exit status after --help, --version
// or a usage error (2), printed to `out` or `err`.
std::variant<ReportOptions, int> parseReportCommandLine(int argc, const char* const* argv,
                                                        std::ostream& out, std::ostream& err);
