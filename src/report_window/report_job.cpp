#include "report_window/report_job.h"

#include "report_window/staged_outputs.h"

#include <QDir>

#include <exception>
#include <sstream>
#include <string>

namespace
{

QString fromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A failure to write one of the run's files, rather than what it left out
// of a course site's import, which it also tells under the file's name.
bool failedToWrite(const QString& line, const QStringList& outputs)
{
    for (const QString& output : outputs) {
        if (line.startsWith(output + QStringLiteral(": ")) &&
            !line.startsWith(output + QStringLiteral(": left out of the "))) {
            return true;
        }
    }
    return false;
}

} // namespace

ReportRunner reportRunner()
{
    return [](const ReportOptions& options, std::ostream& out, std::ostream& err,
              const ReadingProgress& progress) { return runReport(options, out, err, progress); };
}

ReportJob::ReportJob(ReportRunner runner) : runner_(std::move(runner)) {}

ReportJob::~ReportJob()
{
    stop();
    wait();
}

void ReportJob::start(Plan plan, Progress progress, Finished finished)
{
    stop_ = false;
    thread_ = std::thread([this, plan = std::move(plan), progress = std::move(progress),
                           finished = std::move(finished)] { finished(run(plan, progress)); });
}

void ReportJob::stop()
{
    stop_ = true;
}

void ReportJob::wait()
{
    if (thread_.joinable()) {
        thread_.join();
    }
}

RunOutcome ReportJob::run(const Plan& plan, const Progress& progress)
{
    RunOutcome outcome;
    StagedOutputs staged;
    if (const QString problem = staged.open(plan.folder); !problem.isEmpty()) {
        outcome.end = RunOutcome::End::notWritten;
        outcome.problems << problem;
        return outcome;
    }
    ReportOptions options = plan.options;
    QStringList outputs;
    for (const QString& name : plan.names) {
        outputs << staged.staged(name);
    }
    options.html = outputs.value(0).toStdString();
    options.xlsx = outputs.value(1).toStdString();
    options.grades = outputs.value(2).toStdString();

    std::ostringstream out;
    std::ostringstream err;
    int status = 1;
    try {
        status = runner_(options, out, err, ReadingProgress{progress, &stop_});
    } catch (const std::exception& e) {
        err << "qa-tutor-report: " << e.what() << '\n';
        outcome.end = RunOutcome::End::notWritten;
    }
    outcome.summary = fromUtf8(out.str());
    bool notWritten = outcome.end == RunOutcome::End::notWritten;
    for (const QString& line : fromUtf8(err.str()).split(u'\n', Qt::SkipEmptyParts)) {
        notWritten = notWritten || failedToWrite(line, outputs);
        outcome.problems << staged.shownPath(line);
    }
    if (stop_ || status == kReportStopped) {
        outcome.end = RunOutcome::End::stopped;
    } else if (notWritten) {
        outcome.end = RunOutcome::End::notWritten;
    } else {
        const StagedOutputs::Moved moved = staged.moveIntoPlace(plan.names);
        outcome.made = moved.paths;
        outcome.problems << moved.failures;
        if (!moved.failures.isEmpty()) {
            outcome.end =
                moved.paths.isEmpty() ? RunOutcome::End::notWritten : RunOutcome::End::madeWithSome;
        } else if (moved.paths.isEmpty()) {
            outcome.end = RunOutcome::End::nothingMade;
        } else {
            outcome.end = status == 0 ? RunOutcome::End::made : RunOutcome::End::madeWithSome;
        }
    }
    return outcome;
}
