#pragma once

// The start of a report window until its first paint, its moments marked
// for bench_startup: the program's window or its stock-Qt baseline, made by
// `make` from the run's fresh folder.
//   PROGRAM report FOLDER
#include "first_paint.h"

#include <memory>
#include <string>

template <typename Make> int paintReportWindow(int argc, char* argv[], Make make)
{
    if (argc != 3 || std::string(argv[1]) != "report") {
        std::fprintf(stderr, "usage: %s report FOLDER\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    moments::mark("app");
    QApplication::setApplicationName(QStringLiteral("qa-tutor-report-window"));
    QApplication::setApplicationDisplayName(QStringLiteral("qa-tutor report"));
    const std::unique_ptr<QWidget> window = make(QString::fromLocal8Bit(argv[2]));
    moments::mark("window built");
    const PaintWatcher painted(window->objectName(), [](QWidget*) {
        moments::mark("painted");
        moments::endRun();
    });
    window->show();
    moments::mark("shown");
    return QApplication::exec();
}
