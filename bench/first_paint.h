#pragma once

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLineEdit>
#include <QMetaObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// The start-up children of bench_startup: the moments of one run, each on the
// driver's clock (steady_clock is CLOCK_MONOTONIC, the same in every process)
// and as the processor time the process has used, which other load on the
// machine disturbs less. Printed on stdout as "name wall-ns processor-ns"
// lines when the run ends.
namespace moments
{

struct Moment {
    const char* name;
    long long wallNs;
    long long processorNs;
};

inline std::vector<Moment>& marks()
{
    static std::vector<Moment> all;
    return all;
}

inline void mark(const char* name)
{
    timespec processor{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &processor);
    marks().push_back({name,
                       std::chrono::duration_cast<std::chrono::nanoseconds>(
                           std::chrono::steady_clock::now().time_since_epoch())
                           .count(),
                       processor.tv_sec * 1000000000LL + processor.tv_nsec});
}

// Ends the process at once: the run is over when the picture is painted, and
// tearing the widgets down is no part of what is measured.
[[noreturn]] inline void endRun()
{
    for (const Moment& m : marks()) {
        std::printf("%s %lld %lld\n", m.name, m.wallNs, m.processorNs);
    }
    std::fflush(stdout);
    _exit(0);
}

} // namespace moments

// Calls `painted` once for each widget named `name`, after its first paint
// (its children's included) has finished. Widgets made later, such as each
// prompt dialog, are watched too.
class PaintWatcher : public QObject
{
public:
    PaintWatcher(QString name, std::function<void(QWidget*)> painted)
        : name_(std::move(name)), painted_(std::move(painted))
    {
        QApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            watched->objectName() == name_ && !watched->property(kSeen).toBool()) {
            watched->setProperty(kSeen, true);
            // Queued, so that the paint under way finishes first.
            QMetaObject::invokeMethod(
                this,
                [this, widget = QPointer<QWidget>(static_cast<QWidget*>(watched))] {
                    if (widget) {
                        painted_(widget);
                    }
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static constexpr const char* kSeen = "benchPainted";
    QString name_;
    std::function<void(QWidget*)> painted_;
};

// Answers each prompt dialog, once painted, as a student would: types the
// next reply and presses OK. The moment of the last reply is marked "reply".
// A prompt with no reply left ends the run with the mark "painted".
class PromptAnswerer
{
public:
    explicit PromptAnswerer(QStringList replies)
        : replies_(std::move(replies)),
          watcher_(QStringLiteral("promptDialog"), [this](QWidget* dialog) { answer(dialog); })
    {
    }

private:
    void answer(QWidget* dialog)
    {
        if (replies_.isEmpty()) {
            moments::mark("painted");
            moments::endRun();
        }
        auto* entry = dialog->findChild<QLineEdit*>(QStringLiteral("promptEntry"));
        if (entry == nullptr) {
            std::fprintf(stderr, "the prompt has no entry field \"promptEntry\"\n");
            _exit(3);
        }
        entry->setText(replies_.takeFirst());
        if (replies_.isEmpty()) {
            moments::mark("reply");
        }
        qobject_cast<QDialog*>(dialog)->accept();
    }

    QStringList replies_;
    PaintWatcher watcher_;
};

// The replies of a start-up: a name, the default folder kept, assignment 1.
inline QStringList startupReplies()
{
    return {QStringLiteral("Ann"), QString(), QStringLiteral("1")};
}

// "prompt" or "window", and the default folder, from the command line.
struct StartupArguments {
    bool untilPrompt = false;
    QString folder;
    bool valid = false;
};

inline StartupArguments startupArguments(int argc, char* argv[])
{
    StartupArguments a;
    if (argc == 3) {
        const std::string until = argv[1];
        a.untilPrompt = until == "prompt";
        a.folder = QString::fromLocal8Bit(argv[2]);
        a.valid = (until == "prompt" || until == "window") && !a.folder.isEmpty();
    }
    if (!a.valid) {
        std::fprintf(stderr, "usage: %s prompt|window FOLDER\n", argv[0]);
    }
    return a;
}
