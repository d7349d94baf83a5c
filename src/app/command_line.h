#pragma once

#include <iosfwd>
#include <optional>
#include <string_view>

// Answers --version and --help as command-line programs do, and refuses any
// other argument. Nothing when the program should start as usual; otherwise
// the exit status, after printing to `out` or `err`. The help names the
// default folder of the student's files.
std::optional<int> handleCommandLine(int argc, const char* const* argv, std::ostream& out,
                                     std::ostream& err, std::string_view defaultFolder);

// The place on the command line of the argument refused: the first one, or
// the one after --help or --version; nothing when none is refused.
std::optional<int> refusedArgument(int argc, const char* const* argv);
