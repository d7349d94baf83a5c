#include "record/record_reader.h"

#include "bank/question_bank.h"
#include "record/record_text.h"
#include "record/windows1252.h"
#include "text/byte_scan.h"

#include <QString>

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

using namespace recordText;

namespace
{

std::string bytesOf(const QString& text)
{
    return toWindows1252(text.toStdString());
}

// The record texts as they stand in a file.
struct Texts {
    std::string startRule = bytesOf(recordStartRule);
    std::string endRule = bytesOf(recordEndRule);
    std::string runOn = bytesOf(recordEndRule + zoneSpaces);
    std::string assignment = bytesOf(assignmentPrefix);
    std::string response = bytesOf(responseLabel);
    std::string notes = bytesOf(notesLabel);
    std::string confidence = bytesOf(ratingLabel(ResponseTail::Rating::confidence));
    std::string selfCritique = bytesOf(ratingLabel(ResponseTail::Rating::selfCritique));
};

const Texts& texts()
{
    static const Texts t;
    return t;
}

std::string quoted(const std::string& text)
{
    const auto end = text.find_last_not_of(' ');
    return '"' + text.substr(0, end == std::string::npos ? 0 : end + 1) + '"';
}

constexpr std::uint64_t kHashSeed = 0x9e3779b97f4a7c15ULL;

// Sixteen bytes at a time, in two independent lanes: the entry's lines are
// most of a file's bytes.
std::uint64_t lineHash(std::string_view line)
{
    constexpr std::uint64_t kFirst = 0xff51afd7ed558ccdULL;
    constexpr std::uint64_t kSecond = 0xc4ceb9fe1a85ec53ULL;
    std::uint64_t a = kHashSeed ^ line.size();
    std::uint64_t b = 0x2545f4914f6cdd1dULL;
    std::size_t i = 0;
    for (; i + 16 <= line.size(); i += 16) {
        a = (a ^ byteScan::word(line.data() + i)) * kFirst;
        a ^= a >> 29;
        b = (b ^ byteScan::word(line.data() + i + 8)) * kSecond;
        b ^= b >> 29;
    }
    std::uint64_t rest[2] = {0, 0};
    if (i < line.size()) {
        std::memcpy(rest, line.data() + i, line.size() - i);
    }
    a = (a ^ rest[0]) * kFirst;
    b = (b ^ rest[1]) * kSecond;
    const std::uint64_t hash = (a ^ (b >> 31) ^ (b << 33)) * kFirst;
    return hash ^ (hash >> 32);
}

std::uint64_t mixLine(std::uint64_t hash, std::string_view line)
{
    return (hash ^ lineHash(line)) * 0x100000001b3ULL + 1;
}

struct Line {
    // Into the reader's buffer: valid until the next peek.
    std::string_view text;
    std::size_t number = 0;
    bool tooLong = false;
};

// The file's lines, a few at a time: a line ends at LF, and a CR before the
// LF is no part of it. Lines stay in the buffer they were read into; the
// buffer grows only for a line, with the few after it, longer than itself.
class Lines
{
public:
    explicit Lines(const ByteSource& source)
        : source_(source), buffer_(std::make_unique_for_overwrite<char[]>(kChunk)), size_(kChunk)
    {
    }

    // The line k places after the current one; null past the end.
    const Line* peek(std::size_t k)
    {
        while (count_ <= k) {
            if (!fill()) {
                return nullptr;
            }
        }
        return &ring_[(start_ + k) % ring_.size()];
    }
    void pop()
    {
        start_ = (start_ + 1) % ring_.size();
        --count_;
    }
    // The current line keeps what follows its first n bytes.
    void dropPrefix(std::size_t n) { ring_[start_].text.remove_prefix(n); }
    std::size_t endNumber() const { return number_ + 1; }
    int error() const { return error_; }

private:
    static constexpr std::size_t kChunk = std::size_t{1} << 16;

    // Moves what is still needed, from `keep` on, to the front, makes room
    // and reads more. False at the end.
    bool refill(std::size_t& keep)
    {
        if (atEnd_) {
            return false;
        }
        std::size_t live = keep;
        for (std::size_t i = 0; i < count_; ++i) {
            const Line& line = ring_[(start_ + i) % ring_.size()];
            if (!line.text.empty()) {
                live = std::min(live, static_cast<std::size_t>(line.text.data() - buffer_.get()));
            }
        }
        if (live > 0) {
            std::memmove(buffer_.get(), buffer_.get() + live, end_ - live);
            for (std::size_t i = 0; i < count_; ++i) {
                Line& line = ring_[(start_ + i) % ring_.size()];
                if (!line.text.empty()) {
                    line.text = {line.text.data() - live, line.text.size()};
                }
            }
            end_ -= live;
            pos_ -= live;
            keep -= live;
        }
        if (end_ == size_) {
            auto larger = std::make_unique_for_overwrite<char[]>(size_ * 2);
            std::memcpy(larger.get(), buffer_.get(), end_);
            for (std::size_t i = 0; i < count_; ++i) {
                Line& line = ring_[(start_ + i) % ring_.size()];
                if (!line.text.empty()) {
                    line.text = {larger.get() + (line.text.data() - buffer_.get()),
                                 line.text.size()};
                }
            }
            buffer_ = std::move(larger);
            size_ *= 2;
        }
        for (;;) {
            const std::ptrdiff_t n = source_(buffer_.get() + end_, size_ - end_);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                error_ = errno;
            }
            if (n <= 0) {
                atEnd_ = true;
                return false;
            }
            end_ += static_cast<std::size_t>(n);
            return true;
        }
    }

    bool fill()
    {
        Line& line = ring_[(start_ + count_) % ring_.size()];
        line.tooLong = false;
        std::size_t begin = pos_;
        std::size_t lineEnd = 0;
        for (;;) {
            const auto* lf =
                pos_ < end_
                    ? static_cast<const char*>(std::memchr(buffer_.get() + pos_, '\n', end_ - pos_))
                    : nullptr;
            if (lf) {
                lineEnd = static_cast<std::size_t>(lf - buffer_.get());
                pos_ = lineEnd + 1;
                break;
            }
            pos_ = end_;
            if (line.tooLong || end_ - begin > kLongestLine) {
                // Not held: what is read of it is dropped.
                line.tooLong = true;
                end_ = pos_ = begin;
            }
            if (!refill(begin)) {
                if (begin == end_ && !line.tooLong) {
                    return false;
                }
                lineEnd = end_;
                pos_ = end_;
                break;
            }
        }
        line.text = line.tooLong ? std::string_view()
                                 : std::string_view(buffer_.get() + begin, lineEnd - begin);
        if (line.text.ends_with('\r')) {
            line.text.remove_suffix(1);
        }
        line.number = ++number_;
        ++count_;
        return true;
    }

    const ByteSource& source_;
    std::unique_ptr<char[]> buffer_;
    std::size_t size_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    int error_ = 0;
    std::array<Line, 8> ring_;
    std::size_t start_ = 0;
    std::size_t count_ = 0;
    std::size_t number_ = 0;
};

class Parser
{
public:
    Parser(Lines& in, RecordSink& sink) : in_(in), sink_(sink) {}

    void run()
    {
        if (const Line* first = in_.peek(0); first && first->text.starts_with("\xEF\xBB\xBF")) {
            utf8_ = true;
            in_.dropPrefix(3);
        }
        while (const Line* line = in_.peek(0)) {
            if (line->tooLong) {
                problem(kLineLimit, kLinesSkipped);
                in_.pop();
                skipToRecord();
            } else if (line->text == t_.startRule) {
                entryRecord();
            } else if (opensRun(0)) {
                opening();
            } else if (line->text.starts_with(t_.runOn)) {
                in_.dropPrefix(t_.runOn.size());
            } else {
                problem("an opening record or the first rule of a record", kLinesSkipped);
                in_.pop();
                skipToRecord();
            }
        }
    }

private:
    static constexpr std::string_view kRecordSkipped = "the record is skipped";
    static constexpr std::string_view kLinesSkipped = "the lines up to the next record are skipped";
    static constexpr std::string_view kLineLimit = "a line of at most 4 MiB";

    bool isStamp(std::size_t k)
    {
        const Line* line = in_.peek(k);
        return line && !line->tooLong && stampLineTime(line->text);
    }

    // A run code line at k: the assignment line and a header follow it.
    bool opensRun(std::size_t k)
    {
        const Line* next = in_.peek(k + 1);
        // The first byte alone turns away nearly every line.
        if (!next || next->text.empty() || next->text[0] != t_.assignment[0] ||
            !next->text.starts_with(t_.assignment)) {
            return false;
        }
        const Line* header = in_.peek(k + 2);
        return header && isAssignmentHeader(header->text);
    }

    bool startsRecord(std::size_t k)
    {
        const Line* line = in_.peek(k);
        if (!line) {
            return false;
        }
        return line->text == t_.startRule ? isStamp(k + 1) : opensRun(k);
    }

    void problem(std::string_view expected, std::string_view consequence)
    {
        const Line* line = in_.peek(0);
        sink_.problem({line ? line->number : in_.endNumber(),
                       "expected " + std::string(expected) + "; " + std::string(consequence)});
    }

    void skipToRecord()
    {
        while (const Line* line = in_.peek(0)) {
            if (line->text.starts_with(t_.runOn)) {
                in_.dropPrefix(t_.runOn.size());
            } else if (startsRecord(0)) {
                return;
            } else {
                in_.pop();
            }
        }
    }

    // After at least one line of the record was taken, so the reader moves on.
    void skipRecord(std::string_view expected)
    {
        problem(expected, kRecordSkipped);
        skipToRecord();
    }

    void appendText(std::string& out, std::string_view bytes)
    {
        if (utf8_) {
            out +=
                QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString();
        } else if (byteScan::isAscii(bytes)) {
            out.append(bytes);
        } else {
            out += fromWindows1252(bytes);
        }
    }

    // A line of the record that must be there and within the length limit.
    const Line* needed(std::string_view expected)
    {
        const Line* line = in_.peek(0);
        if (!line || line->tooLong || startsRecord(0)) {
            skipRecord(line && line->tooLong ? kLineLimit : expected);
            return nullptr;
        }
        return line;
    }

    void opening()
    {
        ReadOpening& r = opening_;
        r = {};
        r.line = in_.peek(0)->number;
        r.codeLine = std::string(in_.peek(0)->text);
        r.assignment = in_.peek(1)->text.substr(t_.assignment.size());
        appendText(r.header, in_.peek(2)->text);
        for (int i = 0; i < 3; ++i) {
            in_.pop();
        }
        const Line* title = needed("the course title");
        if (!title) {
            return;
        }
        appendText(r.courseTitle, title->text);
        in_.pop();
        const Line* date = in_.peek(0);
        const auto day = date && !date->tooLong ? dateLineDate(date->text) : std::nullopt;
        if (!day) {
            skipRecord("the date of the opening record, such as 04-16-2026");
            return;
        }
        r.date = *day;
        in_.pop();
        sink_.opening(r);
    }

    void entryRecord()
    {
        ReadEntry& r = entry_;
        r.line = in_.peek(0)->number;
        r.date = {};
        r.questionNumber.reset();
        r.entryFirstLine.clear();
        r.text.clear();
        r.rating = ResponseTail::Rating::none;
        r.reply.clear();
        in_.pop();

        const Line* stamp = in_.peek(0);
        const auto time = stamp && !stamp->tooLong ? stampLineTime(stamp->text) : std::nullopt;
        if (!time) {
            skipRecord("the time line, 36 spaces and a time such as 14:05:09");
            return;
        }
        r.time = *time;
        in_.pop();

        r.kind = ReadEntry::Kind::response;
        const Line* third = in_.peek(0);
        if (const auto stamped = third ? dateStampLineStamp(third->text) : std::nullopt) {
            r.kind = ReadEntry::Kind::note;
            r.date = stamped->date;
            in_.pop();
        } else if (third && third->text.empty() && in_.peek(1) && in_.peek(1)->text.empty() &&
                   in_.peek(2)) {
            if (const auto number = questionNumberLineValue(in_.peek(2)->text)) {
                r.questionNumber = number;
                for (int i = 0; i < 3; ++i) {
                    in_.pop();
                }
            }
        }

        if (!entryLines()) {
            return;
        }
        if (r.kind == ReadEntry::Kind::note) {
            noteText();
        } else {
            responseText();
        }
    }

    bool entryLines()
    {
        ReadEntry& r = entry_;
        r.entryHash = kHashSeed;
        bool first = true;
        for (;;) {
            const Line* line = in_.peek(0);
            if (line && !line->tooLong && line->text == t_.startRule && !isStamp(1)) {
                in_.pop();
                return true;
            }
            if (!needed("the second rule of the record")) {
                return false;
            }
            r.entryHash = mixLine(r.entryHash, line->text);
            if (first) {
                appendText(r.entryFirstLine, line->text);
                first = false;
            }
            in_.pop();
        }
    }

    void appendTextLine(std::string_view bytes, bool& first)
    {
        if (!first) {
            entry_.text += '\n';
        }
        first = false;
        appendText(entry_.text, bytes);
    }

    void responseText()
    {
        ReadEntry& r = entry_;
        const Line* label = in_.peek(0);
        if (!label || label->tooLong || label->text != t_.response) {
            skipRecord(quoted(t_.response));
            return;
        }
        in_.pop();
        bool first = true;
        for (;;) {
            const Line* line = needed("a rating line or the closing dots");
            if (!line) {
                return;
            }
            const Line* next = in_.peek(1);
            const bool closes = next && next->text == t_.endRule;
            for (const auto rating :
                 {ResponseTail::Rating::confidence, ResponseTail::Rating::selfCritique}) {
                const std::string& prefix =
                    rating == ResponseTail::Rating::confidence ? t_.confidence : t_.selfCritique;
                if (closes && line->text.starts_with(prefix)) {
                    r.rating = rating;
                    appendText(r.reply, std::string_view(line->text).substr(prefix.size()));
                    in_.pop();
                    in_.pop();
                    sink_.entry(r);
                    return;
                }
            }
            if (line->text == t_.endRule && (!next || startsRecord(1))) {
                in_.pop();
                sink_.entry(r);
                return;
            }
            appendTextLine(line->text, first);
            in_.pop();
        }
    }

    void noteText()
    {
        const Line* label = in_.peek(0);
        if (!label || label->tooLong || !label->text.starts_with(t_.notes)) {
            skipRecord(quoted(t_.notes));
            return;
        }
        bool first = true;
        appendTextLine(std::string_view(label->text).substr(t_.notes.size()), first);
        in_.pop();
        for (;;) {
            const Line* line = in_.peek(0);
            if (line && !line->tooLong && line->text.starts_with(t_.runOn)) {
                const bool restEmpty = line->text.size() == t_.runOn.size();
                const bool restStarts = line->text.substr(t_.runOn.size()) == t_.startRule;
                if (restEmpty && (!in_.peek(1) || startsRecord(1))) {
                    in_.pop();
                    break;
                }
                if (restStarts ? isStamp(1) : (!restEmpty && opensRun(0))) {
                    in_.dropPrefix(t_.runOn.size());
                    break;
                }
            }
            if (!needed("the closing dots of the note")) {
                return;
            }
            if (line->text == t_.endRule && (!in_.peek(1) || startsRecord(1))) {
                in_.pop();
                break;
            }
            appendTextLine(line->text, first);
            in_.pop();
        }
        sink_.entry(entry_);
    }

    const Texts& t_ = texts();
    Lines& in_;
    RecordSink& sink_;
    bool utf8_ = false;
    ReadOpening opening_;
    ReadEntry entry_;
};

} // namespace

int readRecords(const ByteSource& source, RecordSink& sink)
{
    Lines lines(source);
    Parser(lines, sink).run();
    return lines.error();
}

void readRecords(std::string_view bytes, RecordSink& sink)
{
    readRecords(
        [&bytes](char* buffer, std::size_t size) {
            const std::size_t n = std::min(size, bytes.size());
            std::memcpy(buffer, bytes.data(), n);
            bytes.remove_prefix(n);
            return static_cast<std::ptrdiff_t>(n);
        },
        sink);
}

std::uint64_t entryHash(const QString& entry)
{
    const std::string bytes = bytesOf(entry);
    std::uint64_t hash = kHashSeed;
    std::size_t start = 0;
    for (;;) {
        const std::size_t lf = bytes.find('\n', start);
        std::string_view line = std::string_view(bytes).substr(
            start, lf == std::string::npos ? std::string::npos : lf - start);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        hash = mixLine(hash, line);
        if (lf == std::string::npos) {
            return hash;
        }
        start = lf + 1;
    }
}
