#include "app/system.h"

#include <QDir>

QString platformDefaultFolder()
{
    return QDir::homePath() + QDir::separator() + QStringLiteral("tutrdata");
}

// A macOS session always has its window server.
std::optional<std::string> missingDisplay()
{
    return std::nullopt;
}

// The terminal's output is the program's own.
void showCommandLineAnswers() {}

// Started from a terminal, the console's message is where the student looks.
void showArgumentRefusal(int) {}

// Qt passes on macOS's own flag of a repeat.
void watchSystemKeys() {}

std::optional<bool> systemRepeat(const QKeyEvent&)
{
    return std::nullopt;
}
