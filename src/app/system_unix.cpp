#include "app/system.h"

#include <QDir>
#include <QHash>
#include <QKeyEvent>

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

// Started from a terminal, the console's message is where the student looks.
void showArgumentRefusal(int) {}

// X tells a repeat by its time stamp alone.
void watchSystemKeys() {}

std::optional<bool> systemRepeat(const QKeyEvent& event)
{
    static QHash<int, quint64> releasedAt;
    if (event.type() == QEvent::KeyRelease) {
        releasedAt[event.key()] = event.timestamp();
        return std::nullopt;
    }
    if (event.timestamp() != 0 && releasedAt.value(event.key()) == event.timestamp()) {
        return true;
    }
    return std::nullopt;
}
