// A record file that cannot be written: the student is told which and why,
// nothing of the click stays in any file, and the typed text stays in the box.
#include "record_run.h"

#include <QDir>

#include <gtest/gtest.h>

#include <functional>

namespace
{

struct FailureCase {
    const char* name;
    std::function<void(RecordRun&)> breakFiles;
    const char* reason;
    bool notes; // save a note rather than enter a response
};

class RecordFailure : public testing::TestWithParam<FailureCase>
{
};

void removeFolder(RecordRun& r)
{
    QDir(r.w().workFolder).removeRecursively();
}

void sendIsAFolder(RecordRun& r)
{
    QFile::remove(r.w().sendFilePath());
    QDir().mkpath(r.w().sendFilePath());
}

void masterOnFullDisk(RecordRun& r)
{
    QFile::remove(r.w().masterFilePath());
    QFile::link("/dev/full", r.w().masterFilePath());
}

void notesOnFullDisk(RecordRun& r)
{
    QFile::link("/dev/full", r.w().notesFilePath());
}

TEST_P(RecordFailure, ReportedAndUndoneWithTheTextKept)
{
    const FailureCase& c = GetParam();
    RecordRun r({"2"});
    r.press();
    r.type("my answer");
    const QByteArray sendBefore = TestFolder::read(r.w().sendFilePath());
    c.breakFiles(r);
    c.notes ? r.w().cmd_save_as_notes_Click() : r.w().cmd_enter_response_Click();

    ASSERT_EQ(r.run->platform.messages.size(), 1);
    EXPECT_TRUE(r.run->platform.messages[0].contains(QString::fromLatin1(c.reason)))
        << r.run->platform.messages[0].toStdString();
    EXPECT_TRUE(r.run->platform.messages[0].contains(r.w().workFolder));
    EXPECT_EQ(r.w().txt_answer->toPlainText(), "my answer");
    EXPECT_EQ(r.w().txt_question->toPlainText(), "`q004.  What is 2+2?");
    EXPECT_TRUE(r.w().promptDue);
    EXPECT_EQ(r.w().displayedText, "`q004.  What is 2+2?");
    EXPECT_EQ(r.run->platform.prompts.size(), 3); // no rating was asked for
    if (QFileInfo(r.w().sendFilePath()).isFile()) {
        EXPECT_EQ(TestFolder::read(r.w().sendFilePath()), sendBefore);
    }
    EXPECT_FALSE(r.w().ended());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RecordFailure,
    testing::Values(
        FailureCase{"FolderRemoved", removeFolder, "No such file or directory", false},
        FailureCase{"SendPathIsAFolder", sendIsAFolder, "Is a directory", false},
        FailureCase{"MasterOnFullDisk", masterOnFullDisk, "No space left on device", false},
        FailureCase{"NoteFolderRemoved", removeFolder, "No such file or directory", true},
        FailureCase{"NotesFileOnFullDisk", notesOnFullDisk, "No space left on device", true}),
    [](const testing::TestParamInfo<FailureCase>& param) { return param.param.name; });

TEST(RecordFailureAfterRating, TheWholeClickIsUndone)
{
    RecordRun r({"2"});
    r.press();
    r.type("my answer");
    const QByteArray sendBefore = TestFolder::read(r.w().sendFilePath());
    // While the rating prompt is open the master file's disk fills up: the
    // lines already written to the send file are taken back too.
    r.run->platform.onPrompt = [&] { masterOnFullDisk(r); };
    r.w().cmd_enter_response_Click();
    ASSERT_EQ(r.run->platform.messages.size(), 1);
    EXPECT_TRUE(r.run->platform.messages[0].contains("No space left on device"));
    EXPECT_EQ(TestFolder::read(r.w().sendFilePath()), sendBefore);
    EXPECT_EQ(r.w().txt_answer->toPlainText(), "my answer");
    EXPECT_TRUE(r.w().promptDue);
}

TEST(RecordFailureThenRetry, SucceedsOnceTheFolderIsBack)
{
    RecordRun r({"2"});
    r.press();
    r.type("my answer");
    const QString folder = r.w().workFolder;
    const QByteArray sendBefore = TestFolder::read(r.w().sendFilePath());
    removeFolder(r);
    r.w().cmd_enter_response_Click();
    QDir().mkpath(folder);
    TestFolder::write(r.w().sendFilePath(), sendBefore);
    r.w().cmd_enter_response_Click();
    EXPECT_TRUE(TestFolder::read(r.w().sendFilePath())
                    .endsWith("RESPONSE -->  \r\nmy answer\r\n"
                              "confidence assessment:  2\r\n"
                              ".................................................\r\n"));
    EXPECT_EQ(r.w().txt_answer->toPlainText(), "");
}

} // namespace
