#include "report/ordered_output.h"

#include <cerrno>

OrderedOutput::OrderedOutput(std::size_t files, std::FILE* csv, std::ostream& err)
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
    if (i >= next_ + kAhead) {
        wait(lock, [&] { return i < next_ + kAhead; });
    }
}

void OrderedOutput::writeCsv(const std::string& text)
{
    if (!csv_ || text.empty()) {
        return;
    }
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), csv_) != text.size() && csvError_ == 0) {
        csvError_ = errno ? errno : EIO;
    }
}

void OrderedOutput::spill(std::size_t i, std::string& csv)
{
    std::unique_lock lock(mutex_);
    if (next_ != i) {
        wait(lock, [&] { return next_ == i; });
    }
    writeCsv(pending_);
    pending_.clear();
    writeCsv(csv);
    csv.clear();
}

void OrderedOutput::finish(std::size_t i, std::string& csv, std::string messages, bool complete)
{
    std::unique_lock lock(mutex_);
    // The text is kept as it is, and the thread goes on with one written before.
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
            ready.push_back(std::move(slots_[j]));
            slots_[j] = {std::string(), std::string(), false, true};
        }
        lock.unlock();
        for (const Slot& slot : ready) {
            pending_ += slot.csv;
            err_ << slot.messages;
            complete_ = complete_ && slot.complete;
        }
        if (pending_.size() >= kPiece || next_ + ready.size() == slots_.size()) {
            writeCsv(pending_);
            pending_.clear();
        }
        lock.lock();
        next_ += ready.size();
        for (Slot& slot : ready) {
            slot.csv.clear();
            spare_.push_back(std::move(slot.csv));
        }
        ready.clear();
    }
    writing_ = false;
    if (next_ != from && waiting_ > 0) {
        lock.unlock();
        changed_.notify_all();
    }
}
