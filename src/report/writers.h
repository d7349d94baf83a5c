#pragma once

#include "report/report.h"

#include <QDate>
#include <QTime>

#include <functional>
#include <ostream>
#include <string>

// The number's digits, with zeros before them up to `width`.
void appendDigits(std::string& out, int value, int width);

// q004: a question as the summary and the page name it.
std::string questionName(int number);

// 2026-04-16 and 14:05:09; empty for an unknown date.
std::string isoDate(QDate date);
std::string clockTime(QTime time);

// Begins a CSV file when it is asked for: Excel on Windows reads a file
// without it in the system's code page.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// A field as RFC 4180 has it: quoted, its quotes doubled, when it holds a
// comma, a quote or a line break.
void appendCsvField(std::string& out, std::string_view text);

// The rows as RFC 4180 CSV in UTF-8, appended to a text as they come; when it
// holds a quarter megabyte or more it is handed to `full`, which may write and empty it.
class CsvWriter : public RowSink
{
public:
    static constexpr std::string_view kHeader =
        "student,file,date,time,assignment,question,kind,rating,response,entry\r\n";

    CsvWriter(std::string& text, std::function<void(std::string&)> full);
    void row(const ReportRow& row) override;

private:
    void field(std::string_view text) { appendCsvField(buffer_, text); }
    std::string& buffer_;
    std::function<void(std::string&)> full_;
    // Most rows are of the file and date of the row before.
    std::string lastStudent_;
    std::string lastFile_;
    std::string lastFileText_;
    QDate lastDate_;
    std::string lastDateText_;
};

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

// Per student and assignment, each run: questions answered of the course's
// count, critiques, both ratings, the questions rated 0 or 1, notes and the
// first and last time stamp.
void writeSummary(const Report& report, Out& out);

// One page: per assignment a grid of students by questions. `written` is
// told how many assignments are written, after each.
void writePage(const Report& report, Out& out,
               const std::function<void(std::size_t)>& written = {});
