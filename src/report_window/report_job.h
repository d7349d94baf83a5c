#pragma once

#include "report/class_reading.h"
#include "report/report_run.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <iosfwd>
#include <thread>

// How a run is made: runReport, unless a test wants its own.
using ReportRunner = std::function<int(const ReportOptions& options, std::ostream& out,
                                       std::ostream& err, const ReadingProgress& progress)>;
ReportRunner reportRunner();

// What a run of the report gave.
struct RunOutcome {
    enum class End {
        made,         // every file read, the files moved into place
        madeWithSome, // some files, members or records skipped; the files in place
        nothingMade,  // nothing to write: no send file, a class list that is none
        notWritten,   // a file could not be written: none moved into place
        stopped,      // stopped, or the window closed: none moved into place
    };
    End end = End::nothingMade;
    QString summary;
    QStringList problems; // each line the report told, with its file
    QString reason;       // the one that left nothing made or written
    QStringList made;     // the files moved into place
    QString folder;       // where they went
};

// What the window says of a run's end, in words.
QString outcomeMessage(const RunOutcome& outcome);

// One run of the report on a thread of its own, writing into a staging
// folder inside the output folder and moving the files into place once
// they are whole. What it tells (the files read, the outcome) is called on
// other threads.
class ReportJob
{
public:
    explicit ReportJob(ReportRunner runner);
    ReportJob(const ReportJob&) = delete;
    ReportJob& operator=(const ReportJob&) = delete;
    // Stops a run and waits for its end.
    ~ReportJob();

    struct Plan {
        ReportOptions options; // what to read and how; the outputs are set here
        QString folder;        // where the files go
        QStringList names;     // of the page, the workbook and the grades
    };
    using Progress = std::function<void(std::size_t done, std::size_t files)>;
    using Finished = std::function<void(const RunOutcome&)>;
    // Starts a run; the one before must have been waited for.
    void start(Plan plan, Progress progress, Finished finished);
    // Asks the run to stop: the files not begun are not read.
    void stop();
    // Waits for the run's thread to end.
    void wait();

private:
    RunOutcome run(const Plan& plan, const Progress& progress);

    ReportRunner runner_;
    std::atomic<bool> stop_ = false;
    std::thread thread_;
};
