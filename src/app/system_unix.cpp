#include "app/system.h"

#include <QDir>

#include <cstdlib>

QString platformDefaultFolder()
{
    return QDir::homePath() + QDir::separator() + QStringLiteral("tutrdata");
}

// Without this check Qt aborts with a toolkit message a student cannot act on.
std::optional<std::string> missingDisplay()
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    if (set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY")) {
        return std::nullopt;
    }
    return "qa-tutor needs a graphical display and none is available: start it from a desktop "
           "session, or set DISPLAY to a running X server.";
}

// The terminal's output is the program's own.
void showCommandLineAnswers() {}
