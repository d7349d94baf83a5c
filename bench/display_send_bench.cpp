// "display SEND file" on send files of 1, 8 and 64 MB of real records, against
// putting the text it shows into the same box directly.
#include "bench_main.h"
#include "window_run.h"

#include <QCoreApplication>
#include <QPlainTextEdit>

#include <map>
#include <memory>

namespace
{

const bool goalSet = bench::setGoal("DisplaySend", 1.5);

// Fewer than assignment 1 has questions and answers, so the run never ends.
constexpr int kResponses = 16;

// A shown window whose send file holds, after its opening, real responses to
// the first questions and answers of assignment 1, repeated to the asked size.
class Session
{
public:
    Session() : run({"Ann", "", "1"})
    {
        w().Form_Load();
        w().show();
        opening_ = TestFolder::read(w().sendFilePath());
        run.platform.onPrompt = [this] { run.platform.replies << QString::number(responses_ % 4); };
        for (responses_ = 0; responses_ < kResponses; ++responses_) {
            w().cmdNextQuestion_Click();
            q_a_template_::setBoxText(
                w().txt_answer, QStringLiteral("Response %1: 3a + 3b = 9 and 4a - 5b = 3, so a = "
                                               "2 and b = 1.\nChecked in both equations.")
                                    .arg(responses_));
            w().cmd_enter_response_Click();
        }
        records_ = TestFolder::read(w().sendFilePath()).mid(opening_.size());
    }
    q_a_template_& w() { return *run.window; }

    // Writes a send file of about `megabytes` MB; returns its size in MB.
    double writeSendFile(int megabytes)
    {
        const qsizetype target = qsizetype{megabytes} << 20;
        QByteArray bytes = opening_;
        bytes.reserve(target + records_.size());
        while (bytes.size() + records_.size() <= target) {
            bytes += records_;
        }
        TestFolder::write(w().sendFilePath(), bytes);
        return static_cast<double>(bytes.size()) / (1 << 20);
    }

    // What the click shows in an empty box, for the baseline to set directly.
    const QString& shownText(int megabytes)
    {
        auto& text = shown_[megabytes];
        if (text.isEmpty()) {
            writeSendFile(megabytes);
            clearBox();
            w().cmd_displayCumulativeText_Click();
            text = w().txt_question->toPlainText();
            clearBox();
        }
        return text;
    }

    void clearBox()
    {
        w().txt_question->clear();
        QCoreApplication::processEvents();
    }

    WindowRun run;

private:
    QByteArray opening_;
    QByteArray records_;
    int responses_ = 0;
    std::map<int, QString> shown_;
};

Session& session()
{
    static std::unique_ptr<Session> s;
    if (!s) {
        s = std::make_unique<Session>();
        bench::atExit([] { s.reset(); });
    }
    return *s;
}

void program(benchmark::State& state)
{
    Session& s = session();
    const int megabytes = static_cast<int>(state.range(0));
    const QString& expected = s.shownText(megabytes);
    state.counters["MB"] = s.writeSendFile(megabytes);
    for (auto _ : state) {
        s.clearBox();
        const auto start = bench::Clock::now();
        s.w().cmd_displayCumulativeText_Click();
        state.SetIterationTime(bench::seconds(start, bench::Clock::now()));
    }
    if (!s.run.platform.messages.isEmpty()) {
        state.SkipWithError(s.run.platform.messages.front().toUtf8().constData());
    } else if (expected.isEmpty() || s.w().ended()) {
        state.SkipWithError("the send file was not made");
    } else if (s.w().txt_question->document()->characterCount() != expected.size() + 1) {
        state.SkipWithError("the box does not show the send file");
    }
    s.clearBox();
}

void baseline(benchmark::State& state)
{
    Session& s = session();
    const int megabytes = static_cast<int>(state.range(0));
    const QString& text = s.shownText(megabytes);
    state.counters["MB"] = s.writeSendFile(megabytes);
    for (auto _ : state) {
        s.clearBox();
        const auto start = bench::Clock::now();
        s.w().txt_question->setPlainText(text);
        state.SetIterationTime(bench::seconds(start, bench::Clock::now()));
    }
    s.clearBox();
}

} // namespace

BENCHMARK(program)
    ->Name("DisplaySend/program")
    ->Arg(1)
    ->Arg(8)
    ->Arg(64)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(baseline)
    ->Name("DisplaySend/baseline")
    ->Arg(1)
    ->Arg(8)
    ->Arg(64)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
