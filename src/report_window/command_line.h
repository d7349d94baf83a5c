#pragma once

#include <optional>
#include <string>

// What the window program prints for --help or --version given alone, as
// the other programs do; nothing for any other command line, whose words
// are the download to show (what Windows gives a program when a file is
// dropped on its icon).
std::optional<std::string> commandLineAnswer(int argc, const char* const* argv);
