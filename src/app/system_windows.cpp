#include "app/system.h"

#include <cstdio>

#include <windows.h>

// The folder Windows students of this course have always been told.
QString platformDefaultFolder()
{
    return QStringLiteral("c:\\tutrdata");
}

// A Windows session always has its desktop.
std::optional<std::string> missingDisplay()
{
    return std::nullopt;
}

// The console of the Command Prompt that started the program, unless the
// output goes to a file or a pipe already; started from Explorer or the Start
// menu there is none, and nothing is shown.
void showCommandLineAnswers()
{
    const bool hasOutput = GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_UNKNOWN;
    if (!hasOutput && AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::FILE* reopened = nullptr;
        freopen_s(&reopened, "CONOUT$", "w", stdout);
        freopen_s(&reopened, "CONOUT$", "w", stderr);
    }
}
