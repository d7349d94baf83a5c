#include "window_run.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace
{

TEST(WindowCoding, CodeReturnsItsLineUnchanged)
{
    WindowRun run({});
    for (const QString& line :
         {QString(), QStringLiteral("assignment #001"), QStringLiteral("two\r\nlines \u221a")}) {
        EXPECT_EQ(run.window->code(line, 19), line);
        EXPECT_EQ(run.window->code(line, 0), line);
    }
}

// The system's words for a file that is not there.
constexpr const char* kMissing = "<missing>";

struct QueryCase {
    const char* name;
    bool create;
    QByteArray query;
    const char* message; // part of the message, kMissing, or "" when none
    QByteArray queri;    // what queri.txt holds afterwards; absent when empty
    int codeNumber;      // afterwards
};

class CodeFile : public testing::TestWithParam<QueryCase>
{
};

TEST_P(CodeFile, CodesTheQueryFileOrSaysWhyNot)
{
    const QueryCase& c = GetParam();
    WindowRun run({});
    run.window->workFolder = run.folder.path();
    run.window->codeNumber = 23;
    if (c.create) {
        TestFolder::write(run.folder.file("query.txt"), c.query);
    }
    run.window->codeFile();
    const QString queri = run.folder.file("queri.txt");
    if (QString::fromLatin1(c.message).isEmpty()) {
        EXPECT_TRUE(run.platform.messages.isEmpty());
        EXPECT_EQ(TestFolder::read(queri), c.queri);
    } else {
        ASSERT_EQ(run.platform.messages.size(), 1);
        const QString message = c.message == kMissing ? reasonFor(FileFault::MissingFile)
                                                      : QString::fromLatin1(c.message);
        EXPECT_TRUE(run.platform.messages[0].contains(message))
            << run.platform.messages[0].toStdString();
        EXPECT_TRUE(run.platform.messages[0].contains(inFolder(run.folder.path(), "query.txt")));
        EXPECT_FALSE(QFileInfo::exists(queri));
    }
    EXPECT_EQ(run.window->codeNumber, c.codeNumber);
}

INSTANTIATE_TEST_SUITE_P(
    Files, CodeFile,
    testing::Values(QueryCase{"Missing", false, "", kMissing, "", 23},
                    QueryCase{"Empty", true, "", "is empty; nothing was written", "", 23},
                    QueryCase{"Lines", true, "Assign 3\r\nquery #what is x\r\nplain\r\n", "",
                              "Assign 3\r\nquerywhat is x\r\nplain\r\n", 8}),
    [](const testing::TestParamInfo<QueryCase>& param) { return param.param.name; });

TEST(WindowCoding, MakeCodeLineDrawsFromTheProgramGenerator)
{
    WindowRun first({}), second({});
    EXPECT_EQ(first.window->makeCodeLine(19), second.window->makeCodeLine(19));
    EXPECT_EQ(first.window->makeCodeLine(0), "");
}

TEST(WindowCoding, DecodeDropsFillers)
{
    WindowRun run({});
    EXPECT_EQ(run.window->decode("  ", 19), "  ");
    EXPECT_EQ(run.window->decode("BZav", 19), "");
}

} // namespace
