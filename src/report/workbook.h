#pragma once

#include "report/gradebook.h"
#include "report/ordered_output.h"
#include "report/report.h"

#include <cstdint>
#include <memory>
#include <string>

// The report's workbook: the CSV's rows on the sheet "Responses" as they
// come (another sheet when one is full), then a grid of students by
// questions per assignment, then the gradebook. Sheets are written a row at
// a time and nothing of them is kept, so memory stays flat however long the
// class's files are.
class Workbook : public CsvSink
{
public:
    // The most rows of a sheet, Excel's.
    static constexpr std::uint32_t kSheetRows = 1'048'576;

    // Null, with the system's reason, when the file cannot be made; the file
    // is made now, so that a path that cannot be written is told before the
    // reading.
    static std::unique_ptr<Workbook> open(const std::string& path, std::string& error,
                                          std::uint32_t sheetRows = kSheetRows);

    // The CSV's rows, whole, in order (see CsvWriter).
    void write(const std::vector<std::string>& texts) override = 0;
    virtual void writeGrids(const Report& report) = 0;
    virtual void writeGradebook(const Gradebook& book) = 0;
    // Writes the file: empty, or why it could not be written.
    virtual std::string close() = 0;
};
