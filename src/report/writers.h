#pragma once

#include "report/report.h"

#include <QDate>
#include <QTime>

#include <cstdio>
#include <ostream>
#include <string>

// 2026-04-16 and 14:05:09; empty for an unknown date.
std::string isoDate(QDate date);
std::string clockTime(QTime time);

// The rows as RFC 4180 CSV in UTF-8, with a header row, written as they come.
class CsvWriter : public RowSink
{
public:
    explicit CsvWriter(std::FILE* file);
    ~CsvWriter() override;
    void row(const ReportRow& row) override;
    // Writes what is buffered; false when the file took less.
    bool flush();

private:
    void field(std::string_view text);
    std::FILE* file_;
    std::string buffer_;
    QDate lastDate_;
    std::string lastDateText_;
    bool failed_ = false;
};

// Per student and assignment, each run: questions answered of the course's
// count, critiques, both ratings, the questions rated 0 or 1, notes and the
// first and last time stamp.
void writeSummary(const Report& report, std::ostream& out);

// One page: per assignment a grid of students by questions.
void writePage(const Report& report, std::ostream& out);
