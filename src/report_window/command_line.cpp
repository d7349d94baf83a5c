#include "report_window/command_line.h"

#include <string_view>

#ifndef QA_TUTOR_VERSION
#define QA_TUTOR_VERSION "unknown"
#endif

namespace
{

constexpr std::string_view kHelp =
    "Usage: qa-tutor-report-window [--help | --version] [DOWNLOAD...]\n"
    "\n"
    "qa-tutor-report-window: the report of qa-tutor-report (Precalculus I) in a window,\n"
    "for instructors. Choose or drop the course site's download of the students' send\n"
    "files (a ZIP archive, a folder or send files), the class list the site exported if\n"
    "you like, and the folder the results go to (beside the download unless you choose\n"
    "another). One button makes the page, the workbook and the grades (in the site's\n"
    "import format when a class list is given), shows the summary and lists each problem\n"
    "with its file; then buttons open the page, the workbook and the folder. A DOWNLOAD\n"
    "named on the command line, as Windows names a file dropped on the program's icon,\n"
    "is shown ready to make.\n"
    "\n"
    "Options:\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "Exit status: 0 when the window is closed or an option is answered.\n";

} // namespace

std::optional<std::string> commandLineAnswer(int argc, const char* const* argv)
{
    if (argc != 2) {
        return std::nullopt;
    }
    const std::string_view word = argv[1];
    if (word == "--help") {
        return std::string(kHelp);
    }
    if (word == "--version") {
        return "qa-tutor-report-window " QA_TUTOR_VERSION "\n";
    }
    return std::nullopt;
}
