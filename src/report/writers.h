#pragma once

// What the report's text outputs write alike: numbers, dates, times and a
// stream written in pieces.
#include <QDate>
#include <QTime>

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

// The number's digits, with zeros before them up to `width`.
void appendDigits(std::string& out, int value, int width);

// q004: a question as the summary and the page name it.
std::string questionName(int number);

// 2026-04-16 and 14:05:09; empty for an unknown date.
std::string isoDate(QDate date);
std::string clockTime(QTime time);

// Text for a stream, in pieces of a megabyte: a stream's own cost per call
// would otherwise be most of the writing.
class Out
{
public:
    explicit Out(std::ostream& out) : out_(out) {}
    ~Out() { flush(); }
    Out(const Out&) = delete;
    Out& operator=(const Out&) = delete;
    Out& operator<<(std::string_view text)
    {
        text_ += text;
        if (text_.size() >= kFlushSize) {
            flush();
        }
        return *this;
    }
    Out& operator<<(char c) { return *this << std::string_view(&c, 1); }
    Out& operator<<(long long number);
    Out& operator<<(int number) { return *this << static_cast<long long>(number); }
    Out& operator<<(std::size_t number) { return *this << static_cast<long long>(number); }
    // To append to directly; written at the next << that fills a piece.
    std::string& raw() { return text_; }
    void flush();

private:
    static constexpr std::size_t kFlushSize = std::size_t{1} << 20;
    std::ostream& out_;
    std::string text_;
};
