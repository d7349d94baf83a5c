#include "report_window/report_job.h"

#include "report_window/staged_outputs.h"

#include <QDir>
#include <QFileInfo>

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
    outcome.folder = QDir::toNativeSeparators(plan.folder);
    StagedOutputs staged;
    if (const QString problem = staged.open(plan.folder); !problem.isEmpty()) {
        outcome.end = RunOutcome::End::notWritten;
        outcome.problems << problem;
        outcome.reason = problem;
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
        outcome.reason = QStringLiteral("qa-tutor-report: ") + QString::fromLocal8Bit(e.what());
    }
    outcome.summary = fromUtf8(out.str());
    for (const QString& line : fromUtf8(err.str()).split(u'\n', Qt::SkipEmptyParts)) {
        outcome.problems << staged.shownPath(line);
        if (outcome.reason.isEmpty() && failedToWrite(line, outputs)) {
            outcome.reason = outcome.problems.back();
        }
    }
    if (stop_ || status == kReportStopped) {
        outcome.end = RunOutcome::End::stopped;
        return outcome;
    }
    if (!outcome.reason.isEmpty()) {
        outcome.end = RunOutcome::End::notWritten;
        return outcome;
    }
    const StagedOutputs::Moved moved = staged.moveIntoPlace(plan.names);
    outcome.made = moved.paths;
    outcome.problems << moved.failures;
    if (!moved.failures.isEmpty()) {
        outcome.end =
            moved.paths.isEmpty() ? RunOutcome::End::notWritten : RunOutcome::End::madeWithSome;
        outcome.reason = moved.failures.front();
    } else if (moved.paths.isEmpty()) {
        // The report's last word says why: no send file, a class list that is none.
        outcome.end = RunOutcome::End::nothingMade;
        outcome.reason = outcome.problems.value(outcome.problems.size() - 1);
    } else {
        outcome.end = status == 0 ? RunOutcome::End::made : RunOutcome::End::madeWithSome;
    }
    return outcome;
}

QString outcomeMessage(const RunOutcome& outcome)
{
    QStringList names;
    for (const QString& path : outcome.made) {
        names << QFileInfo(path).fileName();
    }
    const QString made =
        QStringLiteral("Made %1 in %2").arg(names.join(QStringLiteral(", ")), outcome.folder);
    const qsizetype problems = outcome.problems.size();
    const QString listed = problems == 1 ? QStringLiteral("the problem below")
                                         : QStringLiteral("the %1 problems below").arg(problems);
    switch (outcome.end) {
    case RunOutcome::End::made:
        return made +
               (problems == 0 ? QStringLiteral(".") : QStringLiteral("; see ") + listed + u'.');
    case RunOutcome::End::madeWithSome:
        return made + QStringLiteral(", without what ") + listed +
               (problems == 1 ? QStringLiteral(" names.") : QStringLiteral(" name."));
    case RunOutcome::End::nothingMade:
        return QStringLiteral("Nothing was made: ") + outcome.reason;
    case RunOutcome::End::notWritten:
        return QStringLiteral("Nothing was written, and the files of an earlier run are as they "
                              "were: ") +
               outcome.reason;
    case RunOutcome::End::stopped:
        break;
    }
    return QStringLiteral("Stopped: nothing was written, and the files of an earlier run are as "
                          "they were.");
}
