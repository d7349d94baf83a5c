#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// Between the report's CSV text and a workbook's cells.

inline constexpr std::size_t kCsvColumns = 10; // CsvWriter's

// A text as a cell holds it exactly: valid UTF-8 (what is not becomes
// U+FFFD, which a NUL does too), Excel's _xHHHH_ escapes kept as typed, and
// no more than a cell holds, the cut told. `text` itself when it needs
// nothing, else `scratch`'s.
const char* cellText(const std::string& text, std::string& scratch);

// The fields of the CSV row that begins at `at`, as CsvWriter quotes them;
// where the next row begins.
std::size_t readRow(std::string_view text, std::size_t at,
                    std::array<std::string, kCsvColumns>& fields);

// The three numbers of 2026-04-16 or 14:05:09, the first `width` digits
// long; false for anything else.
bool readTriple(std::string_view text, std::size_t width, char separator, int& a, int& b, int& c);
