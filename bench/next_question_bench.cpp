// "Next Question / Answer" through every assignment of the course, against
// setting the same texts into the same boxes of a plain Qt window: the
// question box's text and, where a press sets it, the answer box's, with the
// line-end conversion a Qt box needs. "presses" gives the time per press.
#include "bench_main.h"
#include "next_question_walk.h"
#include "plain_window.h"
#include "window_run.h"

#include <QCoreApplication>
#include <QPlainTextEdit>

#include <memory>
#include <vector>

namespace
{

constexpr int kAssignments = 15;

// One shown window per assignment, opened on its header, and the texts each
// of its presses sets. A walk stops once "end program" is shown, so a window
// is never ended and can walk again.
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
        plain.show();
        QCoreApplication::processEvents();
        for (std::size_t a = 0; a < runs.size(); ++a) {
            auto walk = recordWalk(*runs[a]->window, headers[a]);
            if (!walk) {
                return;
            }
            texts.push_back(std::move(*walk));
        }
    }
    bool walked() const { return texts.size() == runs.size(); }

    std::vector<std::unique_ptr<WindowRun>> runs;
    std::vector<int> headers;
    std::vector<std::vector<PressTexts>> texts;
    PlainWindow plain;
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
            const bool walked = walkAssignment(w, c.headers[a], [&] {
                const auto start = bench::Clock::now();
                w.cmdNextQuestion_Click();
                pressing += bench::seconds(start, bench::Clock::now());
                ++presses;
            });
            if (!walked) {
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
    if (!c.walked()) {
        state.SkipWithError("the walk ended the program");
        return;
    }
    long presses = 0;
    for (auto _ : state) {
        double pressing = 0;
        presses = 0;
        for (const std::vector<PressTexts>& walk : c.texts) {
            c.plain.question->clear();
            c.plain.answer->clear();
            QCoreApplication::processEvents();
            for (const PressTexts& texts : walk) {
                const auto start = bench::Clock::now();
                showPlain(c.plain, texts);
                pressing += bench::seconds(start, bench::Clock::now());
                ++presses;
                c.plain.question->clear();
                QCoreApplication::processEvents();
            }
        }
        state.SetIterationTime(pressing);
    }
    state.counters["presses"] = static_cast<double>(presses);
}

} // namespace

// Each iteration walks the whole course.
BENCHMARK(program)->Name("NextQuestion/program")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(baseline)->Name("NextQuestion/baseline")->UseManualTime()->Unit(benchmark::kMillisecond);
