#pragma once

#include "record/record_reader.h"

#include <QDate>
#include <QTime>

#include <functional>
#include <string>
#include <string_view>

// One response or note as the report shows it.
struct ReportRow {
    enum class Kind { question, critique, note, other };
    const std::string* student = nullptr;
    const std::string* file = nullptr;
    QDate date;
    QTime time;
    std::string assignment; // "005"; empty when unknown
    int question = 0;       // 0 when unknown
    Kind kind = Kind::other;
    bool rated = false;
    const ReadEntry* record = nullptr;
};

std::string_view kindName(ReportRow::Kind kind);

class RowSink
{
public:
    virtual ~RowSink() = default;
    virtual void row(const ReportRow& row) = 0;
};

// Begins a CSV file when it is asked for: Excel on Windows reads a file
// without it in the system's code page.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// A field as RFC 4180 has it: quoted, its quotes doubled, when it holds a
// comma, a quote or a line break.
void appendCsvField(std::string& out, std::string_view text);

// CSV text for a spreadsheet: each field that begins as a formula does
// ("=", "+", "-", "@", a tab or a carriage return, inside its quotes or
// not) begins with an apostrophe, so that what a student typed is shown as
// typed and never computed. Fields are split at `delimiter`.
std::string guardedFromFormulas(std::string_view csv, char delimiter = ',');

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
