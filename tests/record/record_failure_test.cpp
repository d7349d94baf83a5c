// A record file that cannot be written: the student is told which and why,
// nothing of the click stays in any file, and the typed text stays in the box.
#include "record_run.h"

#include <QDir>

#include <gtest/gtest.h>

#include <map>
#include <ostream>

namespace
{

// What a path holds, as far as a click could change it: a file's bytes, a
// link's target (never followed), a folder's entries, or nothing.
std::string pathState(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink()) {
        return "link to " + info.symLinkTarget().toStdString();
    }
    if (info.isDir()) {
        return "folder holding [" +
               QDir(path)
                   .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                   .join(u',')
                   .toStdString() +
               "]";
    }
    if (info.exists()) {
        return "file holding " + TestFolder::read(path).toStdString();
    }
    return "nothing";
}

void removeFolder(const QString& path)
{
    QDir(QFileInfo(path).path()).removeRecursively();
}

void makeFolder(const QString& path)
{
    QFile::remove(path);
    QDir().mkpath(path);
}

void linkToFullDisk(const QString& path)
{
    placeOnFullDisk(filePath(path));
}

enum class Click { response, note };
enum class Moment { beforeTheClick, whileTheRatingPromptIsOpen };

struct FailureCase {
    const char* name;
    Click click;
    Moment moment;
    FileRole broken;
    void (*breakFile)(const QString& path);
    FileFault fault;
};

void PrintTo(const FailureCase& c, std::ostream* out)
{
    *out << c.name;
}

class RecordFailure : public testing::TestWithParam<FailureCase>
{
};

TEST_P(RecordFailure, ReportedAndUndoneWithTheTextKept)
{
    const FailureCase& c = GetParam();
    if (c.fault == FileFault::FullDisk && kNoFullDisk) {
        GTEST_SKIP() << kNoFullDisk;
    }
    if (c.fault == FileFault::MissingFolder && kNoFolderRemoval) {
        GTEST_SKIP() << kNoFolderRemoval;
    }
    RecordRun r({"2"});
    r.press();
    r.type("my answer");
    const QString brokenPath = r.w().records.path(c.broken);
    const std::vector<FileRole> touched =
        c.click == Click::note ? std::vector{FileRole::master, FileRole::send, FileRole::notes}
                               : std::vector{FileRole::master, FileRole::send};

    std::map<FileRole, std::string> before;
    const auto snapshot = [&] {
        for (const FileRole role : touched) {
            before[role] = pathState(r.w().records.path(role));
        }
    };
    if (c.moment == Moment::beforeTheClick) {
        c.breakFile(brokenPath);
        snapshot();
    } else {
        snapshot();
        r.run->platform.onPrompt = [&] {
            c.breakFile(brokenPath);
            before[c.broken] = pathState(brokenPath);
        };
    }
    c.click == Click::note ? r.w().cmd_save_as_notes_Click() : r.w().cmd_enter_response_Click();

    EXPECT_EQ(r.run->platform.messages, QStringList{"Could not write to the file " + brokenPath +
                                                    ": " + reasonFor(c.fault) + "."});
    for (const FileRole role : touched) {
        EXPECT_EQ(pathState(r.w().records.path(role)), before[role])
            << r.w().records.path(role).toStdString();
    }
    EXPECT_EQ(r.w().txt_answer->toPlainText(), "my answer");
    EXPECT_EQ(r.w().txt_question->toPlainText(), "`q004.  What is 2+2?");
    EXPECT_TRUE(r.w().promptDue);
    EXPECT_EQ(r.w().displayedText, "`q004.  What is 2+2?");
    EXPECT_EQ(r.run->platform.prompts.size(), c.moment == Moment::beforeTheClick ? 3 : 4);
    EXPECT_FALSE(r.w().ended());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RecordFailure,
    testing::Values(FailureCase{"FolderRemoved", Click::response, Moment::beforeTheClick,
                                FileRole::master, removeFolder, FileFault::MissingFolder},
                    FailureCase{"SendPathIsAFolder", Click::response, Moment::beforeTheClick,
                                FileRole::send, makeFolder, FileFault::IsAFolder},
                    FailureCase{"MasterOnFullDisk", Click::response, Moment::beforeTheClick,
                                FileRole::master, linkToFullDisk, FileFault::FullDisk},
                    FailureCase{"SendOnFullDisk", Click::response, Moment::beforeTheClick,
                                FileRole::send, linkToFullDisk, FileFault::FullDisk},
                    FailureCase{"NoteFolderRemoved", Click::note, Moment::beforeTheClick,
                                FileRole::master, removeFolder, FileFault::MissingFolder},
                    FailureCase{"NotesPathIsAFolder", Click::note, Moment::beforeTheClick,
                                FileRole::notes, makeFolder, FileFault::IsAFolder},
                    FailureCase{"NotesFileOnFullDisk", Click::note, Moment::beforeTheClick,
                                FileRole::notes, linkToFullDisk, FileFault::FullDisk},
                    // The head is in both files when the disk fills: the send file's
                    // head is taken back too.
                    FailureCase{"MasterFillsWhileRating", Click::response,
                                Moment::whileTheRatingPromptIsOpen, FileRole::master,
                                linkToFullDisk, FileFault::FullDisk},
                    // The master file's tail is written before the send file fails.
                    FailureCase{"SendFillsWhileRating", Click::response,
                                Moment::whileTheRatingPromptIsOpen, FileRole::send, linkToFullDisk,
                                FileFault::FullDisk}),
    [](const testing::TestParamInfo<FailureCase>& param) { return param.param.name; });

TEST(RecordFailureThenRetry, SucceedsOnceTheFolderIsBack)
{
    if (kNoFolderRemoval) {
        GTEST_SKIP() << kNoFolderRemoval;
    }
    RecordRun r({"2"});
    r.press();
    r.type("my answer");
    const QString folder = r.w().workFolder;
    const QByteArray sendBefore = TestFolder::read(r.w().sendFilePath());
    removeFolder(r.w().masterFilePath());
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
