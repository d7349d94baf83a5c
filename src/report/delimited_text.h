#pragma once

// A table a spreadsheet or a course site wrote: its text, whatever its
// encoding, and its rows of fields.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The bytes as UTF-8 text: UTF-16 (little or big end) by its byte order
// mark, UTF-8 with or without one, and otherwise Windows-1252, as Excel saves
// a CSV file on Windows. None when the text holds a NUL: not a text file.
std::optional<std::string> decodedText(std::string_view bytes);

struct TableRow {
    int line = 0; // of its first field, from 1
    std::vector<std::string> fields;
};

// The rows of delimited text: fields quoted as RFC 4180 has it (a line
// break inside quotes stays in the field), rows ended by CR LF, LF or CR;
// an empty line is no row. At most `most` rows are read; `more` tells
// whether there were others.
std::vector<TableRow> tableRows(std::string_view text, char delimiter, std::size_t most,
                                bool& more);

// The first line of the text, for telling a table's kind.
std::string_view firstLine(std::string_view text);
