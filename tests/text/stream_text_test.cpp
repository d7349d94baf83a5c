#include "qt_printers.h"
#include "text/stream_text.h"

#include <gtest/gtest.h>

namespace
{

TEST(ConvertBraces, EveryPairBecomesALineBreak)
{
    EXPECT_EQ(convertBraces(""), "");
    EXPECT_EQ(convertBraces("no braces"), "no braces");
    EXPECT_EQ(convertBraces("a{}b"), "a\r\nb");
    EXPECT_EQ(convertBraces("\r\n{}So"), "\r\n\r\nSo");
    EXPECT_EQ(convertBraces("{}{}"), "\r\n\r\n");
    // Scanned from the left: the first pair found is the one replaced.
    EXPECT_EQ(convertBraces("{{}}"), "{\r\n}");
    EXPECT_EQ(convertBraces("{ }"), "{ }");
}

TEST(RemSpaces, DropsBlanksAndHyphensOnly)
{
    EXPECT_EQ(remSpaces("graph 1"), "graph1");
    EXPECT_EQ(remSpaces("graph-3"), "graph3");
    EXPECT_EQ(remSpaces(" - -  "), "");
    EXPECT_EQ(remSpaces(""), "");
    EXPECT_EQ(remSpaces("G_r\ta"), "G_r\ta");
}

TEST(RoutineEntries, KeywordInAnyCaseAndNameFromTheTenthCharacter)
{
    EXPECT_TRUE(beginsWithRoutineKeyword(u"`routine graph1"));
    EXPECT_TRUE(beginsWithRoutineKeyword(u"`ROUTINE"));
    EXPECT_FALSE(beginsWithRoutineKeyword(u"`routin"));
    EXPECT_FALSE(beginsWithRoutineKeyword(u"routine x"));
    EXPECT_EQ(routineName("`routine Graph-2"), "graph2");
    EXPECT_EQ(routineName("`routine  exitprog"), "exitprog");
    EXPECT_EQ(routineName("`routinegraph1"), "raph1");
    EXPECT_EQ(routineName("`routine "), "");
    EXPECT_EQ(routineName("`routine"), "");
}

} // namespace
