#pragma once

#include <QString>

#include <optional>
#include <string>

// What differs between the systems the program runs on, one source file each
// (system_unix.cpp for Linux and the BSDs, system_macos.cpp,
// system_windows.cpp), picked by the build.

// The folder offered when nothing else is chosen: c:\tutrdata on Windows,
// ~/tutrdata elsewhere.
QString platformDefaultFolder();

// Why the window cannot be shown, in words a student can act on; nothing on a
// system that always has a display.
std::optional<std::string> missingDisplay();

// Lets what --help and --version print reach the terminal the program was
// started from: a Windows window program has no console of its own.
void showCommandLineAnswers();
