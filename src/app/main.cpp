#include "app/command_line.h"
#include "app/q_a_template_.h"
#include "app/qt_platform.h"

#include <QApplication>

#include <cstdlib>
#include <exception>
#include <iostream>

namespace
{

// Without this check Qt aborts with a toolkit message a student cannot act on.
bool displayAvailable()
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char* argv[])
{
    if (const auto status = handleCommandLine(argc, argv, std::cout, std::cerr)) {
        return *status;
    }
    if (!displayAvailable()) {
        std::cerr << "qa-tutor needs a graphical display and none is available: start it from a "
                     "desktop session, or set DISPLAY to a running X server.\n";
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qa-tutor"));
    QApplication::setApplicationDisplayName(QStringLiteral("qa-tutor"));

    try {
        QtPlatform platform;
        q_a_template_ window(platform);
        window.Form_Load();
        if (window.ended()) {
            return 0;
        }
        window.show();
        return QApplication::exec();
    } catch (const std::exception& e) {
        std::cerr << "qa-tutor: " << e.what() << '\n';
        return 1;
    }
}
