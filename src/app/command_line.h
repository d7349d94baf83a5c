#pragma once

#include <iosfwd>
#include <optional>

// Answers --version and --help as command-line programs do, and refuses any
// other argument. Nothing when the program should start as usual; otherwise
// the exit status, after printing to `out` or `err`.
std::optional<int> handleCommandLine(int argc, const char* const* argv, std::ostream& out,
                                     std::ostream& err);
