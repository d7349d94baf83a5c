// "Next Question / Answer" through every assignment of the course against
// reading the same entries from the bank in a loop; "presses" gives the time
// per press.
#include "bench_main.h"
#include "window_run.h"

#include <QCoreApplication>
#include <QPlainTextEdit>

#include <memory>
#include <vector>

namespace
{

constexpr int kAssignments = 15;
const std::string kEnd = "end program";

// One shown window per assignment, opened on its header. A walk stops once
// "end program" is shown, so a window is never ended and can walk again.
struct Course {
    Course()
    {
        for (int a = 1; a <= kAssignments; ++a) {
            auto run = std::make_unique<WindowRun>(QStringList{"Ann", "", QString::number(a)});
            run->window->Form_Load();
            run->window->show();
            headers.push_back(run->window->bankCursor);
            runs.push_back(std::move(run));
        }
        QCoreApplication::processEvents();
    }
    std::vector<std::unique_ptr<WindowRun>> runs;
    std::vector<int> headers;
};

Course& course()
{
    static std::unique_ptr<Course> c;
    if (!c) {
        c = std::make_unique<Course>();
        bench::atExit([] { c.reset(); });
    }
    return *c;
}

void program(benchmark::State& state)
{
    Course& c = course();
    long presses = 0;
    for (auto _ : state) {
        double pressing = 0;
        presses = 0;
        for (std::size_t a = 0; a < c.runs.size(); ++a) {
            q_a_template_& w = *c.runs[a]->window;
            w.bankCursor = c.headers[a];
            w.promptDue = false;
            w.txt_question->clear();
            do {
                const auto start = bench::Clock::now();
                w.cmdNextQuestion_Click();
                pressing += bench::seconds(start, bench::Clock::now());
                ++presses;
                // As a recorded response would, between presses and untimed.
                w.txt_question->clear();
                QCoreApplication::processEvents();
            } while (!w.ended() && w.currentLine.toStdString() != kEnd);
            if (w.ended()) {
                state.SkipWithError("the walk ended the program");
                return;
            }
        }
        state.SetIterationTime(pressing);
    }
    state.counters["presses"] = static_cast<double>(presses);
}

void baseline(benchmark::State& state)
{
    Course& c = course();
    long entries = 0;
    for (auto _ : state) {
        entries = 0;
        const auto start = bench::Clock::now();
        for (std::size_t a = 0; a < c.runs.size(); ++a) {
            const BankLines& bank = *c.runs[a]->window->bankLines;
            std::size_t index = static_cast<std::size_t>(c.headers[a]);
            const std::string* shown = nullptr;
            do {
                do {
                    ++index;
                } while (bank[index].empty());
                shown = &bank[index];
                benchmark::DoNotOptimize(shown->data());
                ++entries;
            } while (*shown != kEnd);
        }
        state.SetIterationTime(bench::seconds(start, bench::Clock::now()));
    }
    state.counters["presses"] = static_cast<double>(entries);
}

} // namespace

// Each iteration walks the whole course.
BENCHMARK(program)->Name("NextQuestion/program")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(baseline)->Name("NextQuestion/baseline")->UseManualTime()->Unit(benchmark::kMicrosecond);
