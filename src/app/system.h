#pragma once

#include <QString>

class QKeyEvent;

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

// Tells the student that the program does not take the argument at `index`
// of its command line, beside the console's message: on Windows in a message
// box, since a window program started from Explorer (a file dropped on it, a
// shortcut with an argument) has no console. Nothing more elsewhere.
void showArgumentRefusal(int index);

// Starts watching what the system tells of its keys, for as long as the
// application lives; once is enough.
void watchSystemKeys();

// What the system tells of a key press where Qt may tell it wrong: whether it
// repeats a key already down. X sends a repeat as a release and a press with
// one time stamp, which Qt flags only when it sees both arrive together.
// Windows marks every key-down message, while Qt goes by its own record of
// the keys down, which misses a key held since before a window of the program
// had the focus and keeps one let go while none had it. Nothing where the
// system tells no more than Qt. Given every key event, in order.
std::optional<bool> systemRepeat(const QKeyEvent& event);
