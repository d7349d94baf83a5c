#pragma once

#include <QString>

// What differs between the systems the report's window runs on, one source
// file each (system_posix.cpp, system_windows.cpp), picked by the build.

// Lets what --help and --version print reach the Command Prompt the window
// program was started from: on Windows a window program has no console.
void reachTheConsole();

// Moves the file `from` to `to`, replacing a file there in one step; empty,
// or the system's reason it could not (on Windows, a workbook open in the
// spreadsheet program cannot be replaced, and says so).
QString replaceFile(const QString& from, const QString& to);
