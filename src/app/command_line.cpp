#include "app/command_line.h"

#include <ostream>
#include <string_view>

#ifndef QA_TUTOR_VERSION
#define QA_TUTOR_VERSION "unknown"
#endif

namespace
{

constexpr std::string_view kUsage = "Usage: qa-tutor [--help | --version]\n";

constexpr std::string_view kHelp =
    "qa-tutor: a study program for the course Precalculus I.\n"
    "\n"
    "Started without arguments, it asks for your full name, whether to use another folder\n"
    "for your files than the one named below, and the number of the assignment (1 to 15),\n"
    "then shows its window: \"Next Question / Answer\" shows each question and then its\n"
    "worked answer, \"Enter Response\" records what you typed in the answer box. Your\n"
    "records go to the master file, the notes file and the send file of the day, which you\n"
    "send to your instructor.\n"
    "\n"
    "Options:\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "Folder of your files unless you choose another: ";

} // namespace

std::optional<int> refusedArgument(int argc, const char* const* argv)
{
    if (argc <= 1) {
        return std::nullopt;
    }
    const std::string_view first = argv[1];
    const bool known = first == "--version" || first == "--help";
    if (argc == 2 && known) {
        return std::nullopt;
    }
    return known ? 2 : 1;
}

std::optional<int> handleCommandLine(int argc, const char* const* argv, std::ostream& out,
                                     std::ostream& err, std::string_view defaultFolder)
{
    if (const auto refused = refusedArgument(argc, argv)) {
        err << "qa-tutor: unexpected argument '" << argv[*refused] << "'\n"
            << kUsage << "Try 'qa-tutor --help' for more information.\n";
        return 2;
    }
    if (argc <= 1) {
        return std::nullopt;
    }
    if (std::string_view(argv[1]) == "--version") {
        out << "qa-tutor " << QA_TUTOR_VERSION << '\n';
        return 0;
    }
    out << kUsage << '\n' << kHelp << defaultFolder << '\n';
    return 0;
}
