#pragma once

#include "record/records.h"

#include <optional>
#include <string>
#include <string_view>

// The record file a name is of, as names arrive: a browser's or mail
// program's copy suffix before ".txt" (" (1)", "(2)", "-1") and a course
// site's prefix ending in "_", " - " or a blank ("diazcarla_1234_56789_",
// "101194-88412 - Ann Lee - Dec 9, 2026 814 PM - ") are no part of the
// record file's name. With a prefix, the first place after a "_" or a blank
// where a record file's name starts is taken, so a name holding "notes_"
// stays whole.
struct InputName {
    FileRole role;
    std::string student; // UTF-8, underscores made blanks
    std::string day;     // a send file's MMDD; empty for the others
};
std::optional<InputName> inputName(std::string_view fileName);

// A file a course site adds to its download beside the students' own:
// Blackboard's details of an attempt ("..._attempt_2026-12-09-20-14-05.txt").
bool isSiteFile(std::string_view fileName);

// A file found in a folder or archive: a send file is read, a file other
// than ".txt" or one of the Finder's "._" files is passed over without a
// word, a site's own file is only counted, and any other is skipped with the
// reason told.
struct FoundFile {
    std::optional<InputName> name; // when read
    std::string_view skipped;      // the reason, when told
    bool siteFile = false;
};
FoundFile foundFile(std::string_view fileName);
