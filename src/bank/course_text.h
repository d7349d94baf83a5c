#pragma once

#include <string>
#include <string_view>
#include <vector>

// The course text file holds the question bank's entries in bank order, in a
// form an author edits without escapes:
//
//   - A line that begins with "@@" starts a new entry; the rest of that line
//     is a label for the author and is ignored.
//   - The lines after it, up to the next "@@" line, are the entry's lines,
//     joined with CR LF. An entry with no lines is the empty entry.
//   - Lines before the first "@@" line are a comment.
//   - File lines end with LF; a CR before the LF is dropped, so a checkout
//     with CR LF line ends reads the same. Every other byte, trailing blanks
//     included, is kept as it stands.
//
// No entry line can begin with "@@"; nothing else needs escaping.
std::vector<std::string> parseCourseText(std::string_view file);
