// The baseline of bench_startup: the same pictures made with stock Qt and
// nothing of the program. "prompt" shows the name prompt alone; "window"
// makes the plain window, answers the same three prompts over it and shows it.
//   bench_startup_plain prompt|window FOLDER
#include "app/startup_text.h"
#include "first_paint.h"
#include "plain_prompt.h"
#include "plain_window.h"

int main(int argc, char* argv[])
{
    const StartupArguments arguments = startupArguments(argc, argv);
    if (!arguments.valid) {
        return 2;
    }
    QApplication app(argc, argv);
    moments::mark("app");
    QApplication::setApplicationName(QStringLiteral("qa-tutor"));
    QApplication::setApplicationDisplayName(QStringLiteral("qa-tutor"));

    if (arguments.untilPrompt) {
        const PromptAnswerer answerer({});
        PlainPrompt dialog(nullptr, namePrompt());
        dialog.exec();
        return 1;
    }

    PlainWindow window;
    moments::mark("window built");
    const PromptAnswerer answerer(startupReplies());
    const PaintWatcher painted(window.objectName(), [](QWidget*) {
        moments::mark("painted");
        moments::endRun();
    });
    for (const QString& message :
         {namePrompt(), changeFolderQuestion(arguments.folder), assignmentPrompt()}) {
        PlainPrompt dialog(&window, message);
        dialog.exec();
    }
    moments::mark("prompt returned");
    window.show();
    moments::mark("shown");
    return QApplication::exec();
}
