// The baseline of the report window's start, the same controls in stock Qt,
// until painted: bench_report_window_plain report FOLDER
#include "plain_report_window.h"
#include "report_window_paint.h"

int main(int argc, char* argv[])
{
    return paintReportWindow(argc, argv,
                             [](const QString&) { return std::make_unique<PlainReportWindow>(); });
}
