#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdio>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

// Where the CSV rows go, in the files' order, from one thread at a time;
// each text holds whole rows.
class CsvSink
{
public:
    virtual ~CsvSink() = default;
    virtual void write(const std::vector<std::string>& texts) = 0;
};

// The CSV file, written past its stream (flushed before). After a write it
// took less of, nothing more is written.
class CsvFile : public CsvSink
{
public:
    // A file for a spreadsheet has its fields guarded from formulas (see
    // guardedFromFormulas); one for scripts is written as the rows come.
    CsvFile(std::FILE* file, int error, bool forSpreadsheets = false)
        : file_(file), error_(error), forSpreadsheets_(forSpreadsheets)
    {
    }
    void write(const std::vector<std::string>& texts) override;
    // The errno of the write that failed; 0 when none did.
    int error() const { return error_; }

private:
    std::FILE* file_;
    int error_;
    bool forSpreadsheets_;
};

// The CSV file and the workbook, one after the other.
class CsvSinks : public CsvSink
{
public:
    void add(CsvSink* sink) { sinks_.push_back(sink); }
    // Null when there is none.
    CsvSink* sink() { return sinks_.empty() ? nullptr : this; }
    void write(const std::vector<std::string>& texts) override;

private:
    std::vector<CsvSink*> sinks_;
};

// What the files read on several threads give, written in the files' order
// by a thread that finishes the next file to be written: each file's CSV
// rows to `csv` and its messages to `err`. A thread may run only so
// far ahead of the one being written, and a file's rows are written as they
// come once it is the next, so a long file is never held.
class OrderedOutput
{
public:
    OrderedOutput(std::size_t files, CsvSink* csv, std::ostream& err);

    // Waits until file i is near enough to the one being written.
    void waitToStart(std::size_t i);
    // Writes what the CSV text of file i holds, once the files before it are
    // written, and empties it.
    void spill(std::size_t i, std::string& csv);
    // File i is read: its CSV text is written or kept, and emptied.
    void finish(std::size_t i, std::string& csv, std::string messages, bool complete);

    // Once every file is finished: false when one was not read whole.
    bool complete() const { return complete_; }

private:
    struct Slot {
        std::string csv;
        std::string messages;
        bool complete = false;
        bool finished = false;
    };
    // Gives the pending texts to the CSV's sink.
    void writePending();
    // Under the lock: the written texts are kept to be filled again.
    void recycle();
    void wait(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready);

    // How far a thread may read ahead of the file being written: in files,
    // and in the rows of finished files not yet written.
    static constexpr std::size_t kAhead = 1024;
    static constexpr std::size_t kHeldBytes = std::size_t{16} << 20;
    // Rows of small files are written a piece at a time.
    static constexpr std::size_t kPiece = std::size_t{1} << 20;
    std::vector<Slot> slots_;
    CsvSink* csv_;
    std::ostream& err_;
    std::size_t next_ = 0; // the file whose output is written next
    std::size_t heldBytes_ = 0;
    // Rows of files whose turn has come, not yet given to the file.
    std::vector<std::string> pending_;
    std::size_t pendingBytes_ = 0;
    std::vector<std::string> spare_; // written texts, to be filled again
    bool complete_ = true;
    bool writing_ = false; // a thread is writing files out of the lock
    int waiting_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
};
