#include "bank/course_text.h"

#include <gtest/gtest.h>

namespace
{

using Entries = std::vector<std::string>;

struct ParseCase {
    const char* name;
    std::string file;
    Entries entries;
};

class ParseCourseText : public testing::TestWithParam<ParseCase>
{
};

TEST_P(ParseCourseText, GivesExactEntries)
{
    EXPECT_EQ(parseCourseText(GetParam().file), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Format, ParseCourseText,
    testing::Values(
        ParseCase{"EmptyFile", "", {}}, ParseCase{"CommentOnly", "a comment\n\nmore comment\n", {}},
        ParseCase{"CommentBeforeFirstMarkerIgnored", "about the file\n@@\n001.\n", {"001."}},
        ParseCase{"MarkerAloneIsEmptyEntry", "@@\n", {""}},
        ParseCase{"EmptyEntriesInARow", "@@\n@@ two\n@@\nx\n", {"", "", "x"}},
        ParseCase{"LabelIgnored", "@@ 001 q001 whatever\ntext\n", {"text"}},
        ParseCase{"LinesJoinedWithCrLf", "@@\nline one\nline two\n", {"line one\r\nline two"}},
        ParseCase{"BlankLineIsParagraphBreak",
                  "@@\npara one\n\npara two\n",
                  {"para one\r\n\r\npara two"}},
        ParseCase{"TrailingBlanksKept", "@@\n006. \n@@\nend  \n", {"006. ", "end  "}},
        ParseCase{"LeadingBlanksKept", "@@\n  indented\n", {"  indented"}},
        ParseCase{"TrailingEmptyLineKept", "@@\ntext\n\n@@\n", {"text\r\n", ""}},
        ParseCase{"CrLfFileReadLikeLf", "c\r\n@@ x\r\na\r\nb\r\n@@\r\n", {"a\r\nb", ""}},
        ParseCase{"LoneCrKept", "@@\na\rb\n", {"a\rb"}},
        ParseCase{"LastLineWithoutLineEnd", "@@\nend program", {"end program"}},
        ParseCase{"MarkerOnlyAtLineStart", "@@\nx @@ y\n @@\n", {"x @@ y\r\n @@"}},
        ParseCase{"GraveAccentsArePlainText", "@@\n`q001.  `sqrt(2)\n", {"`q001.  `sqrt(2)"}}),
    [](const testing::TestParamInfo<ParseCase>& param) { return param.param.name; });

} // namespace
