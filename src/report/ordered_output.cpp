#include "report/ordered_output.h"

#include "report/csv_writer.h"
#include "report/report_files.h"

void CsvFile::write(const std::vector<std::string>& texts)
{
    if (error_ != 0) {
        return;
    }
    if (!forSpreadsheets_) {
        error_ = writeTexts(file_, texts);
        return;
    }
    std::vector<std::string> guarded;
    guarded.reserve(texts.size());
    for (const std::string& text : texts) {
        guarded.push_back(guardedFromFormulas(text));
    }
    error_ = writeTexts(file_, guarded);
}

void CsvSinks::write(const std::vector<std::string>& texts)
{
    for (CsvSink* sink : sinks_) {
        sink->write(texts);
    }
}

OrderedOutput::OrderedOutput(std::size_t files, CsvSink* csv, std::ostream& err)
    : slots_(files), csv_(csv), err_(err)
{
}

void OrderedOutput::wait(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready)
{
    ++waiting_;
    changed_.wait(lock, ready);
    --waiting_;
}

void OrderedOutput::waitToStart(std::size_t i)
{
    std::unique_lock lock(mutex_);
    // The next file to be written always starts, so the others never wait for
    // ever; a thread writing pauses the reading only when much is waiting.
    const auto mayStart = [&] {
        return i == next_ || (i < next_ + kAhead && heldBytes_ < kHeldBytes);
    };
    if (!mayStart()) {
        wait(lock, mayStart);
    }
}

void OrderedOutput::writePending()
{
    if (csv_) {
        csv_->write(pending_);
    }
    pendingBytes_ = 0;
}

void OrderedOutput::spill(std::size_t i, std::string& csv)
{
    std::unique_lock lock(mutex_);
    if (next_ != i) {
        wait(lock, [&] { return next_ == i; });
    }
    pending_.push_back(std::move(csv));
    writePending();
    csv = std::move(pending_.back());
    csv.clear();
    pending_.pop_back();
    recycle();
}

void OrderedOutput::recycle()
{
    for (std::string& text : pending_) {
        text.clear();
        spare_.push_back(std::move(text));
    }
    pending_.clear();
}

void OrderedOutput::finish(std::size_t i, std::string& csv, std::string messages, bool complete)
{
    std::unique_lock lock(mutex_);
    // The text is kept as it is, and the thread goes on with one written before.
    heldBytes_ += csv.size();
    slots_[i] = {std::move(csv), std::move(messages), complete, true};
    csv.clear();
    if (!spare_.empty()) {
        csv.swap(spare_.back());
        spare_.pop_back();
    }
    if (writing_) {
        return; // the thread that writes will find it
    }
    // This thread writes the files that are done, from the next one on, with
    // the lock released so that the others go on reading.
    writing_ = true;
    const std::size_t from = next_;
    std::vector<Slot> ready;
    while (next_ < slots_.size() && slots_[next_].finished) {
        for (std::size_t j = next_; j < slots_.size() && slots_[j].finished; ++j) {
            heldBytes_ -= slots_[j].csv.size();
            ready.push_back(std::move(slots_[j]));
            slots_[j] = {std::string(), std::string(), false, true};
        }
        lock.unlock();
        for (Slot& slot : ready) {
            err_ << slot.messages;
            complete_ = complete_ && slot.complete;
            pendingBytes_ += slot.csv.size();
            pending_.push_back(std::move(slot.csv));
        }
        const bool last = next_ + ready.size() == slots_.size();
        if (pendingBytes_ >= kPiece || last) {
            writePending();
        }
        lock.lock();
        next_ += ready.size();
        ready.clear();
        if (pendingBytes_ == 0) {
            recycle();
        }
    }
    writing_ = false;
    if (next_ != from && waiting_ > 0) {
        lock.unlock();
        changed_.notify_all();
    }
}
