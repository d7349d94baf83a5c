#include "bank/course_text.h"

std::vector<std::string> parseCourseText(std::string_view file)
{
    std::vector<std::string> entries;
    bool inEntry = false;
    bool entryHasLine = false;

    while (!file.empty()) {
        const auto end = file.find('\n');
        std::string_view line = file.substr(0, end);
        file = end == std::string_view::npos ? std::string_view{} : file.substr(end + 1);
        if (end != std::string_view::npos && line.ends_with('\r')) {
            line.remove_suffix(1);
        }

        if (line.starts_with("@@")) {
            entries.emplace_back();
            inEntry = true;
            entryHasLine = false;
        } else if (inEntry) {
            std::string& entry = entries.back();
            if (entryHasLine) {
                entry += "\r\n";
            }
            entry += line;
            entryHasLine = true;
        }
    }
    return entries;
}
