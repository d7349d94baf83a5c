// The report window's start as main() runs it, with the settings of a first
// start, until painted: bench_report_window_start report FOLDER
#include "report_window_paint.h"

#include "report_window/report_window.h"

#include <QSettings>

int main(int argc, char* argv[])
{
    std::unique_ptr<QSettings> settings;
    return paintReportWindow(argc, argv, [&](const QString& folder) {
        settings = std::make_unique<QSettings>(folder + QStringLiteral("/settings.ini"),
                                               QSettings::IniFormat);
        return std::make_unique<ReportWindow>(*settings);
    });
}
