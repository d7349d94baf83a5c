#include "report/csv_writer.h"

#include "report/writers.h"
#include "text/byte_scan.h"

#include <algorithm>

std::string_view kindName(ReportRow::Kind kind)
{
    switch (kind) {
    case ReportRow::Kind::question:
        return "question";
    case ReportRow::Kind::critique:
        return "critique";
    case ReportRow::Kind::note:
        return "note";
    case ReportRow::Kind::other:
        break;
    }
    return "other";
}

namespace
{

constexpr std::size_t kFullSize = std::size_t{1} << 18;

} // namespace

void appendCsvField(std::string& out, std::string_view text)
{
    if (!byteScan::holdsAny<',', '"', '\r', '\n'>(text)) {
        out += text;
        return;
    }
    out += '"';
    for (std::size_t quote; (quote = text.find('"')) != std::string_view::npos;) {
        out.append(text.substr(0, quote + 1));
        out += '"';
        text.remove_prefix(quote + 1);
    }
    out += text;
    out += '"';
}

namespace
{

bool beginsAFormula(char c)
{
    return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r';
}

} // namespace

std::string guardedFromFormulas(std::string_view csv, char delimiter)
{
    std::string out;
    out.reserve(csv.size() + csv.size() / 64);
    bool quoted = false;
    bool fieldStart = true;
    for (std::size_t i = 0; i < csv.size(); ++i) {
        const char c = csv[i];
        if (fieldStart) {
            fieldStart = false;
            const bool opensQuotes = c == '"';
            const std::size_t first = opensQuotes ? i + 1 : i;
            const bool emptyQuotes = opensQuotes && first < csv.size() && csv[first] == '"';
            // Unquoted, a carriage return ends the row, and a tab may part fields.
            const bool content = opensQuotes || (c != '\r' && c != delimiter);
            if (first < csv.size() && !emptyQuotes && content && beginsAFormula(csv[first])) {
                if (opensQuotes) {
                    out += '"';
                    quoted = true;
                    ++i;
                }
                out += '\'';
                out += csv[i];
                continue;
            }
        }
        if (quoted) {
            if (c == '"' && i + 1 < csv.size() && csv[i + 1] == '"') {
                out += "\"\"";
                ++i;
                continue;
            }
            quoted = c != '"';
        } else if (c == '"') {
            quoted = true;
        } else if (c == delimiter || c == '\n') {
            fieldStart = true;
        }
        out += c;
    }
    return out;
}

CsvWriter::CsvWriter(std::string& text, std::function<void(std::string&)> full)
    : buffer_(text), full_(std::move(full))
{
}

void CsvWriter::row(const ReportRow& row)
{
    if (*row.file != lastFile_ || *row.student != lastStudent_) {
        lastFile_ = *row.file;
        lastStudent_ = *row.student;
        const std::size_t start = buffer_.size();
        field(lastStudent_);
        buffer_ += ',';
        field(lastFile_);
        buffer_ += ',';
        lastFileText_.assign(buffer_, start);
    } else {
        buffer_ += lastFileText_;
    }
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
    if (buffer_.size() >= kFullSize && full_) {
        full_(buffer_);
    }
}
