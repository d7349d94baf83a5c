// The program's start-up up to its first paint, the prompts answered at once.
#include "first_paint.h"
#include "window_run.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qa-tutor"));
    // The default folder lies in a fresh temporary folder, as a new HOME would hold it.
    WindowRun run({"Ann", "", "1"});
    run.window->Form_Load();
    if (run.window->ended()) {
        return 1;
    }
    new ExitOnFirstPaint(run.window.get());
    run.window->show();
    return QApplication::exec();
}
