// The program's start-up as main() runs it, its moments marked for
// bench_startup: until the name prompt is painted ("prompt"), or with the
// prompts answered until the window is painted ("window").
//   bench_startup_window prompt|window FOLDER
#include "app/q_a_template_.h"
#include "app/qt_platform.h"
#include "first_paint.h"
#include "startup_steps.h"

namespace
{

// The real prompts; the end of the last one is marked.
class MarkingPlatform : public QtPlatform
{
public:
    QString prompt(QWidget* parent, const QString& message) override
    {
        const QString reply = QtPlatform::prompt(parent, message);
        if (++prompts_ == startupReplies().size()) {
            moments::mark("prompt returned");
        }
        return reply;
    }

private:
    qsizetype prompts_ = 0;
};

} // namespace

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

    MarkingPlatform platform;
    WindowOptions options;
    options.defaultFolder = arguments.folder;
    q_a_template_ window(platform, options);
    moments::mark("window built");

    const PromptAnswerer answerer(arguments.untilPrompt ? QStringList() : startupReplies());
    const PaintWatcher painted(window.objectName(), [](QWidget*) {
        moments::mark("painted");
        moments::endRun();
    });
    loadInSteps(window);
    if (window.ended()) {
        return 1;
    }
    window.show();
    moments::mark("shown");
    return QApplication::exec();
}
