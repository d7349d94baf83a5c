#include "report_window/command_line.h"
#include "report_window/report_window.h"
#include "report_window/system.h"

#include <QApplication>
#include <QSettings>

#include <iostream>

int main(int argc, char* argv[])
{
    if (const auto answer = commandLineAnswer(argc, argv)) {
        reachTheConsole();
        std::cout << *answer << std::flush;
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("qa-tutor"));
    QApplication::setApplicationName(QStringLiteral("qa-tutor-report-window"));
    QApplication::setApplicationDisplayName(QStringLiteral("qa-tutor report"));
    QSettings settings;
    ReportWindow window(settings);
    // Windows names a file dropped on the program's icon here; Qt reads
    // the command line in wide characters there, so "José.zip" stays whole.
    if (const QStringList paths = QApplication::arguments().mid(1); !paths.isEmpty()) {
        window.takeDownload(paths);
    }
    window.show();
    return QApplication::exec();
}
