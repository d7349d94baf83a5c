#include "app/startup_text.h"
#include "window_run.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <utility>

namespace
{

// The code line and the rest of an opening record.
struct Opening {
    QByteArray codeLine;
    QByteArray rest;
};

Opening splitOpening(const QByteArray& record)
{
    const auto end = record.indexOf("\r\n");
    return {record.left(end), record.mid(end + 2)};
}

void expectCodeLine(const QByteArray& line, int codeNumber)
{
    int high = 0;
    for (const char ch : line) {
        const int c = static_cast<unsigned char>(ch);
        EXPECT_GE(c, 66);
        EXPECT_NE(c, 117);
        high += c >= 118;
    }
    EXPECT_EQ(high, codeNumber);
}

struct OpeningCase {
    const char* name;
    const char* reply;
    int header;
    const char* record; // after the code line
};

class OpeningRecord : public testing::TestWithParam<OpeningCase>
{
};

TEST_P(OpeningRecord, WrittenToMasterThenSendByteForByte)
{
    const OpeningCase& c = GetParam();
    WindowRun run({"Ann Lee", "", c.reply});
    run.window->Form_Load();
    EXPECT_EQ(run.window->bankCursor, c.header);

    const QByteArray master = TestFolder::read(run.window->masterFilePath());
    const QByteArray send = TestFolder::read(run.window->sendFilePath());
    const Opening m = splitOpening(master);
    const Opening s = splitOpening(send);
    EXPECT_EQ(m.rest, QByteArray(c.record));
    EXPECT_EQ(s.rest, QByteArray(c.record));
    EXPECT_EQ(m.codeLine, s.codeLine);
    expectCodeLine(m.codeLine, run.window->codeNumber);
    EXPECT_FALSE(QFileInfo::exists(run.window->notesFilePath()));
}

INSTANTIATE_TEST_SUITE_P(
    Assignments, OpeningRecord,
    testing::Values(OpeningCase{"First", "1", 1,
                                "assignment #001\r\n001.\r\nPrecalculus I\r\n04-16-2026\r\n"},
                    OpeningCase{"HeaderWithTrailingBlank", "6", 164,
                                "assignment #006\r\n006. \r\nPrecalculus I\r\n04-16-2026\r\n"},
                    OpeningCase{"Last", "015", 452,
                                "assignment #015\r\n015.\r\nPrecalculus I\r\n04-16-2026\r\n"}),
    [](const testing::TestParamInfo<OpeningCase>& param) { return param.param.name; });

TEST(Opening, AppendsAfterExistingContentsAndDrawsAFreshCodeLine)
{
    TestFolder folder;
    const QString tutrdata = folder.file("tutrdata");
    QDir().mkdir(tutrdata);
    const QString master = tutrdata + "/masterFile_Ann.txt";
    const QString send = tutrdata + "/send_0416Ann.txt";
    const QByteArray earlier = "earlier master\r\nno line end";
    TestFolder::write(master, earlier);
    TestFolder::write(send, "earlier send\r\n");

    for (std::uint32_t seed : {7u, 8u}) {
        ScriptedPlatform platform({"Ann", "", "2"});
        q_a_template_ window(platform, {{}, seed, tutrdata});
        window.Form_Load();
    }
    const QByteArray tail = "assignment #002\r\n002.\r\nPrecalculus I\r\n04-16-2026\r\n";
    const QByteArray m = TestFolder::read(master);
    ASSERT_TRUE(m.startsWith(earlier));
    ASSERT_TRUE(TestFolder::read(send).startsWith("earlier send\r\n"));
    EXPECT_EQ(m.count(tail), 2);
    EXPECT_EQ(TestFolder::read(send).count(tail), 2);
    // The first record starts right after the last character that was there.
    const Opening first = splitOpening(m.mid(earlier.size()));
    EXPECT_TRUE(first.rest.startsWith(tail));
    const Opening second = splitOpening(first.rest.mid(tail.size()));
    EXPECT_EQ(second.rest, tail);
    EXPECT_NE(first.codeLine, second.codeLine);
    EXPECT_FALSE(QFileInfo::exists(tutrdata + "/notes_Ann.txt"));
}

TEST(Opening, UnknownAssignmentIsAskedAgain)
{
    // The reply as the message shows it: filled with zeros to three characters.
    const std::pair<const char*, const char*> replies[] = {
        {"", ""},      {"016", "016"}, {"000", "000"}, {"0005", "0005"},   {"abc", "abc"},
        {" 5", "0 5"}, {"5 ", "05 "},  {"-1", "0-1"},  {"1e999", "1e999"},
    };
    for (const auto& [bad, shown] : replies) {
        SCOPED_TRACE(bad);
        WindowRun run({"Ann", "", bad, "3"});
        run.window->Form_Load();
        EXPECT_EQ(run.platform.messages,
                  QStringList{QStringLiteral("There is no assignment \"%1\" in this course. The "
                                             "assignments are 001 to 015.")
                                  .arg(shown)});
        EXPECT_EQ(run.platform.prompts.last(), assignmentPrompt());
        EXPECT_EQ(run.window->assignmentNumber, "003");
        EXPECT_EQ(run.window->nextAssignmentNumber, "004");
        EXPECT_EQ(run.window->bankCursor, 83);
        EXPECT_FALSE(run.window->ended());
        EXPECT_TRUE(
            TestFolder::read(run.window->masterFilePath()).contains("assignment #003\r\n003."));
    }
}

TEST(Opening, CancelOnTheAssignmentPromptEndsWithNothingWritten)
{
    WindowRun run({"Ann", "", "16"});
    run.window->Form_Load();
    EXPECT_TRUE(run.window->ended());
    EXPECT_EQ(run.platform.endRequests, 1);
    EXPECT_TRUE(QDir(run.defaultFolder()).entryList(QDir::Files).isEmpty());
}

TEST(Opening, UnwritableFolderIsAskedForAgain)
{
    TestFolder other;
    const QString missing = other.file("no such folder");
    WindowRun run({"Ann", "1", missing, "1", other.path()});
    run.window->Form_Load();
    EXPECT_EQ(run.platform.messages,
              QStringList{"Could not write to the file " + missing +
                          "/masterFile_Ann.txt: No such file or directory."});
    EXPECT_EQ(run.platform.prompts.last(), changeFolderPrompt(run.defaultFolder()));
    EXPECT_EQ(run.window->workFolder, other.path());
    EXPECT_EQ(run.window->masterFilePath(), other.path() + "/masterFile_Ann.txt");
    EXPECT_TRUE(TestFolder::read(run.window->sendFilePath()).contains("assignment #001\r\n"));
    EXPECT_FALSE(run.window->ended());
}

TEST(Opening, RecordPathThatIsAFolderLeavesBothFilesUntouched)
{
    TestFolder other;
    // The send file's path is taken by a folder: the master file must not get
    // half of the opening.
    QDir().mkpath(other.file("send_0416Ann.txt"));
    WindowRun run({"Ann", "1", other.path(), "1"});
    run.window->Form_Load();
    EXPECT_EQ(run.platform.messages,
              QStringList{"Could not write to the file " + other.file("send_0416Ann.txt") +
                          ": Is a directory."});
    EXPECT_TRUE(TestFolder::read(other.file("masterFile_Ann.txt")).isEmpty());
    EXPECT_TRUE(run.window->ended());
}

TEST(Opening, FullDiskIsReportedAndCancelEnds)
{
    TestFolder other;
    QFile::link("/dev/full", other.file("masterFile_Ann.txt"));
    WindowRun run({"Ann", "1", other.path(), "1", ""});
    run.window->Form_Load();
    EXPECT_EQ(run.platform.messages,
              QStringList{"Could not write to the file " + other.file("masterFile_Ann.txt") +
                          ": No space left on device."});
    EXPECT_TRUE(run.window->ended());
    EXPECT_TRUE(TestFolder::read(other.file("send_0416Ann.txt")).isEmpty());
}

} // namespace
