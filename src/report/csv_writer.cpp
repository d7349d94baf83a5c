#include "report/writers.h"

#include <algorithm>

namespace
{

constexpr std::size_t kFlushSize = std::size_t{1} << 20;

void appendDigits(std::string& out, int value, int width)
{
    char digits[12];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0 && n < 11);
    while (n < width) {
        digits[n++] = '0';
    }
    while (n > 0) {
        out += digits[--n];
    }
}

} // namespace

std::string isoDate(QDate date)
{
    std::string text;
    int year = 0;
    int month = 0;
    int day = 0;
    date.getDate(&year, &month, &day);
    if (date.isValid() && year > 0) {
        appendDigits(text, year, 4);
        text += '-';
        appendDigits(text, month, 2);
        text += '-';
        appendDigits(text, day, 2);
    }
    return text;
}

std::string clockTime(QTime time)
{
    std::string text;
    if (time.isValid()) {
        appendDigits(text, time.hour(), 2);
        text += ':';
        appendDigits(text, time.minute(), 2);
        text += ':';
        appendDigits(text, time.second(), 2);
    }
    return text;
}

CsvWriter::CsvWriter(std::FILE* file) : file_(file)
{
    buffer_ = "student,file,date,time,assignment,question,kind,rating,response,entry\r\n";
}

CsvWriter::~CsvWriter()
{
    flush();
}

bool CsvWriter::flush()
{
    if (!buffer_.empty() &&
        std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
        failed_ = true;
    }
    buffer_.clear();
    return !failed_;
}

void CsvWriter::field(std::string_view text)
{
    const bool plain = std::none_of(text.begin(), text.end(), [](char c) {
        return c == ',' || c == '"' || c == '\r' || c == '\n';
    });
    if (plain) {
        buffer_ += text;
        return;
    }
    buffer_ += '"';
    for (std::size_t quote; (quote = text.find('"')) != std::string_view::npos;) {
        buffer_.append(text.substr(0, quote + 1));
        buffer_ += '"';
        text.remove_prefix(quote + 1);
    }
    buffer_ += text;
    buffer_ += '"';
}

void CsvWriter::row(const ReportRow& row)
{
    field(*row.student);
    buffer_ += ',';
    field(*row.file);
    buffer_ += ',';
    if (row.date != lastDate_) {
        lastDate_ = row.date;
        lastDateText_ = isoDate(row.date);
    }
    buffer_ += lastDateText_;
    buffer_ += ',';
    buffer_ += clockTime(row.time);
    buffer_ += ',';
    field(row.assignment);
    buffer_ += ',';
    if (row.question > 0) {
        appendDigits(buffer_, row.question, 3);
    }
    buffer_ += ',';
    buffer_ += kindName(row.kind);
    buffer_ += ',';
    field(row.record->reply);
    buffer_ += ',';
    field(row.record->text);
    buffer_ += ',';
    field(row.record->entryFirstLine);
    buffer_ += "\r\n";
    if (buffer_.size() >= kFlushSize) {
        flush();
    }
}
