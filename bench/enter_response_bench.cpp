// "Enter Response" as a whole, durable writes included, against appending the
// same bytes to two files with the same flushing and nothing else.
#include "bench_main.h"
#include "window_run.h"

#include <QPlainTextEdit>

#include <fcntl.h>
#include <unistd.h>

namespace
{

const bool goalSet = bench::setGoal("EnterResponse", 1.2);

const QString kResponse = QStringLiteral(
    "Multiplying the first equation by 4 and the second by 3 gives 12a + 12b = 36 and\n"
    "12a - 15b = 9. Subtracting, 27b = 27 so b = 1, and then 3a + 3 = 9 gives a = 2.\n"
    "Check: 4(2) - 5(1) = 3.");

// A run on the first question of assignment 1 that rates every response 2.
struct Session {
    Session() : run({"Ann", "", "1"})
    {
        w().Form_Load();
        w().show();
        w().cmdNextQuestion_Click();
        run.platform.onPrompt = [this] {
            if (run.platform.replies.isEmpty()) {
                run.platform.replies << QStringLiteral("2");
            }
            ++prompts;
        };
    }
    q_a_template_& w() { return *run.window; }

    WindowRun run;
    int prompts = 0;
};

qint64 fileSize(const QString& path)
{
    return QFileInfo(path).size();
}

void program(benchmark::State& state)
{
    Session s;
    for (auto _ : state) {
        q_a_template_::setBoxText(s.w().txt_answer, kResponse);
        const auto start = bench::Clock::now();
        s.w().cmd_enter_response_Click();
        state.SetIterationTime(bench::seconds(start, bench::Clock::now()));
    }
    if (!s.run.platform.messages.isEmpty()) {
        state.SkipWithError(s.run.platform.messages.front().toUtf8().constData());
    } else if (s.prompts != state.iterations()) {
        state.SkipWithError("a response was not recorded");
    }
}

// What one click appends to each file before and after its rating prompt.
struct RecordBytes {
    QByteArray masterHead, sendHead, masterTail, sendTail;
};

RecordBytes oneRecord()
{
    Session s;
    const QString master = s.w().masterFilePath();
    const QString send = s.w().sendFilePath();
    const qint64 master0 = fileSize(master);
    const qint64 send0 = fileSize(send);
    qint64 master1 = 0;
    qint64 send1 = 0;
    const auto rate = s.run.platform.onPrompt;
    s.run.platform.onPrompt = [&] {
        master1 = fileSize(master);
        send1 = fileSize(send);
        rate();
    };
    q_a_template_::setBoxText(s.w().txt_answer, kResponse);
    s.w().cmd_enter_response_Click();
    const QByteArray m = TestFolder::read(master);
    const QByteArray d = TestFolder::read(send);
    return {m.mid(master0, master1 - master0), d.mid(send0, send1 - send0), m.mid(master1),
            d.mid(send1)};
}

bool appendDurably(const std::string& path, const QByteArray& bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    const auto size = static_cast<std::size_t>(bytes.size());
    const bool ok =
        ::write(fd, bytes.constData(), size) == static_cast<ssize_t>(size) && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

void baseline(benchmark::State& state)
{
    const RecordBytes record = oneRecord();
    if (record.masterHead.isEmpty() || record.sendTail.isEmpty()) {
        state.SkipWithError("could not capture a record");
        return;
    }
    // In the same kind of folder as the program's files, made up front as they are.
    TestFolder folder;
    const std::string master = QFile::encodeName(folder.file("master.txt")).toStdString();
    const std::string send = QFile::encodeName(folder.file("send.txt")).toStdString();
    appendDurably(master, {});
    appendDurably(send, {});
    for (auto _ : state) {
        const auto start = bench::Clock::now();
        const bool ok =
            appendDurably(master, record.masterHead) && appendDurably(send, record.sendHead) &&
            appendDurably(master, record.masterTail) && appendDurably(send, record.sendTail);
        state.SetIterationTime(bench::seconds(start, bench::Clock::now()));
        if (!ok) {
            state.SkipWithError("append failed");
            break;
        }
    }
}

} // namespace

BENCHMARK(program)->Name("EnterResponse/program")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(baseline)->Name("EnterResponse/baseline")->UseManualTime()->Unit(benchmark::kMillisecond);
