// Runs under the preloaded trace_io library, which logs every open, write,
// flush and close of the process. Each run of lines must be on the disk
// before the next prompt and before the handler returns: written in one
// write, flushed, closed, and a new file's folder flushed too.
#include "window_run.h"

#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <functional>
#include <map>
#include <ostream>
#include <set>

namespace
{

struct Trace {
    void (*mark)(const char*) = nullptr;
    const char* (*take)() = nullptr;
};

Trace trace()
{
    return {reinterpret_cast<void (*)(const char*)>(::dlsym(RTLD_DEFAULT, "qa_trace_mark")),
            reinterpret_cast<const char* (*)()>(::dlsym(RTLD_DEFAULT, "qa_trace_take"))};
}

struct Event {
    QString kind; // open, write, sync, close or mark
    int fd = -1;
    QString how; // open: r or w, c when it created the file, d for a folder
    qint64 size = 0;
    qint64 result = 0;
    QString path; // the file's path, or a mark's text
};

QList<Event> parse(const QString& log)
{
    QList<Event> events;
    for (const QString& line : log.split(u'\n', Qt::SkipEmptyParts)) {
        Event e;
        e.kind = line.section(u' ', 0, 0);
        if (e.kind == "mark") {
            e.path = line.section(u' ', 1);
        } else if (e.kind == "open") {
            e.fd = line.section(u' ', 1, 1).toInt();
            e.how = line.section(u' ', 2, 2);
            e.path = line.section(u' ', 3);
        } else if (e.kind == "write") {
            e.fd = line.section(u' ', 1, 1).toInt();
            e.size = line.section(u' ', 2, 2).toLongLong();
            e.result = line.section(u' ', 3, 3).toLongLong();
            e.path = line.section(u' ', 4);
        } else {
            e.fd = line.section(u' ', 1, 1).toInt();
            e.result = line.section(u' ', 2, 2).toLongLong();
            e.path = line.section(u' ', 3);
        }
        events << e;
    }
    return events;
}

// One file opened for writing, up to its close.
struct Opening {
    Event open;
    int writes = 0;
    bool writtenWhole = true;
    bool flushed = false; // since the last write
};

struct Verdict {
    // Per mark, the record files written since the one before, in order,
    // with * after a file the step created: "prompt: masterFile_Ann.txt*".
    QStringList steps;
    QStringList faults;
};

QString fileName(const QString& path)
{
    return QFileInfo(path).fileName();
}

// Follows every file under `folder` from the first mark of the trace on.
Verdict judge(const QList<Event>& events, const QString& folder)
{
    Verdict v;
    QStringList written;
    std::map<int, Opening> open;
    std::set<QString> created; // until their folder is flushed
    QList<Opening> closed;

    const auto endStep = [&](const QString& mark) {
        for (const auto& [fd, o] : open) {
            v.faults << QStringLiteral("%1 still open at %2").arg(fileName(o.open.path), mark);
        }
        for (const QString& path : created) {
            v.faults << QStringLiteral("%1 created, its folder not flushed before %2")
                            .arg(fileName(path), mark);
        }
        for (const Opening& o : closed) {
            const QString file = fileName(o.open.path);
            if (o.writes > 1) {
                v.faults << QStringLiteral("%1 written in %2 writes").arg(file).arg(o.writes);
            }
            if (!o.writtenWhole) {
                v.faults << QStringLiteral("%1: a write fell short").arg(file);
            }
            if (o.writes > 0 && !o.flushed) {
                v.faults << QStringLiteral("%1 closed before %2 without a flush after its write")
                                .arg(file, mark);
            }
        }
        v.steps << mark + u':' + (written.isEmpty() ? QString() : u' ' + written.join(u' '));
        written.clear();
        created.clear();
        closed.clear();
    };

    bool started = false;
    for (const Event& e : events) {
        if (e.kind == "mark") {
            if (started) {
                endStep(e.path);
            }
            started = true;
            continue;
        }
        if (!started || !(e.path == folder || e.path.startsWith(folder + u'/'))) {
            continue;
        }
        // The lock of one run per student and folder holds no record.
        if (fileName(e.path).startsWith(u".qa-tutor-")) {
            continue;
        }
        if (e.kind == "open") {
            if (e.how.contains(u'w') || e.how.contains(u'd')) {
                open[e.fd] = Opening{e};
            }
            if (e.how.contains(u'c')) {
                created.insert(e.path);
            }
            continue;
        }
        const auto it = open.find(e.fd);
        if (it == open.end()) {
            continue;
        }
        Opening& o = it->second;
        if (e.kind == "write") {
            if (o.writes == 0) {
                for (const auto& [fd, other] : open) {
                    if (other.writes > 0 && !other.flushed) {
                        v.faults << QStringLiteral("%1 written before %2 was flushed")
                                        .arg(fileName(e.path), fileName(other.open.path));
                    }
                }
                written << fileName(e.path) + (o.open.how.contains(u'c') ? "*" : "");
            }
            ++o.writes;
            o.writtenWhole = o.writtenWhole && e.result == e.size;
            o.flushed = false;
        } else if (e.kind == "sync" && e.result == 0) {
            o.flushed = true;
            if (o.open.how.contains(u'd')) {
                std::erase_if(
                    created, [&](const QString& path) { return QFileInfo(path).path() == e.path; });
            }
        } else if (e.kind == "close") {
            closed << o;
            open.erase(it);
        }
    }
    return v;
}

struct Step {
    const char* name;
    QStringList replies;
    std::function<void(q_a_template_&)> before; // not traced
    std::function<void(q_a_template_&)> traced;
    QStringList steps;
};

void PrintTo(const Step& step, std::ostream* out)
{
    *out << step.name;
}

class Durability : public testing::TestWithParam<Step>
{
};

const std::vector<std::string> kBank = {
    "003.", "", "`q004.  What is 2+2?", "", "`aIt is 4.", "", "plain entry", "end program", "004."};

TEST_P(Durability, EveryRunOfLinesIsOnDiskBeforeTheNextPromptAndTheReturn)
{
    const Step& step = GetParam();
    const Trace t = trace();
    ASSERT_TRUE(t.mark && t.take) << "run this test with the trace_io library in LD_PRELOAD";

    WindowOptions options;
    options.bankEntries = kBank;
    WindowRun run({"Ann", "", "3"}, std::move(options));
    run.platform.replies << step.replies;
    run.platform.onPrompt = [&] { t.mark("prompt"); };
    if (step.before) {
        step.before(*run.window);
    }
    t.take();
    t.mark("start");
    step.traced(*run.window);
    t.mark("return");

    const Verdict v = judge(parse(QString::fromUtf8(t.take())), run.defaultFolder());
    EXPECT_EQ(v.steps, step.steps);
    EXPECT_EQ(v.faults, QStringList());
}

void load(q_a_template_& w)
{
    w.Form_Load();
}

void respond(q_a_template_& w)
{
    w.txt_answer->setPlainText("my answer");
    w.cmd_enter_response_Click();
}

void saveNote(q_a_template_& w)
{
    w.txt_answer->setPlainText("my note");
    w.cmd_save_as_notes_Click();
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, Durability,
    testing::Values(
        Step{"Opening",
             {},
             nullptr,
             load,
             {"prompt:", "prompt:", "prompt:", "return: masterFile_Ann.txt* send_0416Ann.txt*"}},
        Step{"ResponseToAQuestion",
             {"2"},
             [](q_a_template_& w) {
                 load(w);
                 w.cmdNextQuestion_Click();
             },
             respond,
             {"prompt: masterFile_Ann.txt send_0416Ann.txt",
              "return: masterFile_Ann.txt send_0416Ann.txt"}},
        Step{"ResponseToAWorkedAnswer",
             {"2", "3"},
             [](q_a_template_& w) {
                 load(w);
                 w.cmdNextQuestion_Click();
                 respond(w);
                 w.cmdNextQuestion_Click();
             },
             respond,
             {"prompt: masterFile_Ann.txt send_0416Ann.txt",
              "return: masterFile_Ann.txt send_0416Ann.txt"}},
        // No rating is asked: head and tail in one step, each a run of its own.
        Step{"ResponseBeforeAnyEntry",
             {},
             load,
             respond,
             {"return: masterFile_Ann.txt send_0416Ann.txt masterFile_Ann.txt send_0416Ann.txt"}},
        Step{"FirstNote",
             {},
             load,
             saveNote,
             {"return: masterFile_Ann.txt send_0416Ann.txt notes_Ann.txt*"}},
        Step{"LaterNote",
             {},
             [](q_a_template_& w) {
                 load(w);
                 saveNote(w);
             },
             saveNote,
             {"return: masterFile_Ann.txt send_0416Ann.txt notes_Ann.txt"}}),
    [](const testing::TestParamInfo<Step>& param) { return param.param.name; });

} // namespace
