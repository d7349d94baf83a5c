#include "report_window/system.h"

#include <cstdio>

#include <windows.h>

// The console of the Command Prompt that started the program, unless the
// output goes to a file or a pipe already; started from Explorer or the
// Start menu there is none, and nothing is shown.
void reachTheConsole()
{
    if (GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_UNKNOWN &&
        AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::FILE* reopened = nullptr;
        freopen_s(&reopened, "CONOUT$", "w", stdout);
        freopen_s(&reopened, "CONOUT$", "w", stderr);
    }
}

// Wide-character paths, so that a folder such as "José" is found whole; the
// reason in Windows' own words ("being used by another process").
QString replaceFile(const QString& from, const QString& to)
{
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(from.utf16()),
                    reinterpret_cast<const wchar_t*>(to.utf16()), MOVEFILE_REPLACE_EXISTING)) {
        return {};
    }
    wchar_t* text = nullptr;
    const DWORD size = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, GetLastError(), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString reason = QString::fromWCharArray(text, static_cast<int>(size)).trimmed();
    LocalFree(text);
    // The message ends with a period; the path and the reason are one line.
    if (reason.endsWith(u'.')) {
        reason.chop(1);
    }
    return reason;
}
