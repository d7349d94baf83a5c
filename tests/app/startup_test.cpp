#include "app/startup_text.h"
#include "pictures/picture_box.h"
#include "window_run.h"

#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <set>

namespace
{

TEST(StartUp, AnnLeeOnSixteenthOfApril)
{
    WindowRun run({"Ann Lee", "", "5"});
    run.window->Form_Load();
    const QString folder = run.defaultFolder();
    EXPECT_EQ(run.window->courseTitle, "Precalculus I");
    EXPECT_EQ(run.window->workFolder, folder);
    EXPECT_EQ(run.window->masterFilePath(), inFolder(folder, "masterFile_Ann_Lee.txt"));
    EXPECT_EQ(run.window->sendFilePath(), inFolder(folder, "send_0416Ann_Lee.txt"));
    EXPECT_EQ(run.window->notesFilePath(), inFolder(folder, "notes_Ann_Lee.txt"));
    EXPECT_EQ(run.window->assignmentNumber, "005");
    EXPECT_EQ(run.window->nextAssignmentNumber, "006");
    EXPECT_EQ(run.window->defaultPrompt, defaultPromptText());
    EXPECT_EQ(run.platform.prompts,
              QStringList({namePrompt(), changeFolderQuestion(folder), assignmentPrompt()}));
    EXPECT_TRUE(run.platform.messages.isEmpty());
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_FALSE(run.window->ended());
    // The window shows nothing yet.
    EXPECT_EQ(run.window->txt_question->toPlainText(), "");
    EXPECT_EQ(run.window->txt_answer->toPlainText(), "");
}

TEST(StartUp, BankLoadedAndCursorOnHeader)
{
    WindowRun run({"Ann", "", "1"});
    run.window->Form_Load();
    EXPECT_EQ((*run.window->bankLines)[1], "001.");
    EXPECT_EQ((*run.window->bankLines)[501], "end program");
    EXPECT_EQ(run.window->bankCursor, 1);
}

struct FolderCase {
    const char* name;
    QStringList folderReplies; // replies to the folder question(s)
    const char* typedFolder;   // relative to the test folder, or "" for the default
    bool thirdPromptShown;
};

class FolderChoice : public testing::TestWithParam<FolderCase>
{
};

TEST_P(FolderChoice, OnlyExactlyOneAsksForAnotherFolder)
{
    const FolderCase& c = GetParam();
    TestFolder other;
    QStringList replies{"Ann"};
    for (QString reply : c.folderReplies) {
        replies << reply.replace("<other>", other.path());
    }
    replies << "1";
    WindowRun run(replies);
    run.window->Form_Load();
    const QString expected =
        QString::fromLatin1(c.typedFolder).isEmpty()
            ? run.defaultFolder()
            : QString::fromLatin1(c.typedFolder).replace("<other>", other.path());
    EXPECT_EQ(run.window->workFolder, expected);
    EXPECT_EQ(run.platform.prompts.contains(changeFolderPrompt(run.defaultFolder())),
              c.thirdPromptShown);
    EXPECT_EQ(run.window->masterFilePath(), inFolder(expected, "masterFile_Ann.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Replies, FolderChoice,
    testing::Values(FolderCase{"EnterKeepsDefault", {""}, "", false},
                    FolderCase{"OneThenFolder", {"1", "<other>"}, "<other>", true},
                    FolderCase{"OneThenTrailingSeparator", {"1", "<other>/"}, "<other>/", true},
                    FolderCase{"OneThenEnterKeepsDefault", {"1", ""}, "", true},
                    FolderCase{"ZeroOneIsNotOne", {"01"}, "", false},
                    FolderCase{"BlankOneIsNotOne", {" 1"}, "", false},
                    FolderCase{"OneBlankIsNotOne", {"1 "}, "", false},
                    FolderCase{"YesIsNotOne", {"yes"}, "", false}),
    [](const testing::TestParamInfo<FolderCase>& param) { return param.param.name; });

TEST(StartUp, TrailingSeparatorGivesTwoInARow)
{
    TestFolder other;
    WindowRun run({"Ann", "1", other.path() + QDir::separator(), "1"});
    run.window->Form_Load();
    EXPECT_EQ(run.window->masterFilePath(),
              inFolder(other.path() + QDir::separator(), "masterFile_Ann.txt"));
    EXPECT_FALSE(TestFolder::read(run.window->masterFilePath()).isEmpty());
}

TEST(StartUp, NameBlanksBecomeUnderscores)
{
    WindowRun run({" Ann  Lee ", "", "1"});
    run.window->Form_Load();
    EXPECT_EQ(run.window->masterFilePath(),
              inFolder(run.defaultFolder(), "masterFile__Ann__Lee_.txt"));
}

TEST(StartUp, EmptyNameIsUsed)
{
    WindowRun run({"", "", "1"});
    run.window->Form_Load();
    EXPECT_EQ(run.window->masterFilePath(), inFolder(run.defaultFolder(), "masterFile_.txt"));
    EXPECT_EQ(run.window->sendFilePath(), inFolder(run.defaultFolder(), "send_0416.txt"));
    EXPECT_EQ(run.window->notesFilePath(), inFolder(run.defaultFolder(), "notes_.txt"));
}

TEST(StartUp, RefusedNameIsAskedAgainWithTheReason)
{
    struct Refused {
        QString name;
        QString message;
    };
    std::vector<Refused> refused;
    for (const QString& bad : {QString("a/b"), QString("a\\b"), QString("a:b"), QString("a*b"),
                               QString("a?b"), QString("a\"b"), QString("a<b"), QString("a>b"),
                               QString("a|b"), QString("a\tb"), "a" + QString(QChar(1)) + "b"}) {
        refused.push_back({bad, unsafeNameMessage()});
    }
    // Longer than a file name may be, in bytes of UTF-8.
    refused.push_back({QString(234, u'n'), nameTooLongMessage()});
    refused.push_back({QString(117, QChar(0xe9)), nameTooLongMessage()});
    refused.push_back({QString(78, QChar(0x4e2d)), nameTooLongMessage()});
    for (const Refused& bad : refused) {
        SCOPED_TRACE(bad.name.toStdString());
        WindowRun run({bad.name, "..", "", "1"});
        run.window->Form_Load();
        EXPECT_EQ(run.platform.messages, QStringList{bad.message});
        EXPECT_EQ(
            run.platform.prompts.mid(0, 3),
            QStringList({namePrompt(), namePrompt(), changeFolderQuestion(run.defaultFolder())}));
        // ".." is a safe name: it stays inside the folder as part of a longer file name.
        EXPECT_EQ(run.window->masterFilePath(), inFolder(run.defaultFolder(), "masterFile_...txt"));
    }
}

TEST(StartUp, LongestNamesAreTaken)
{
    for (const QString& name :
         {QString(233, u'n'), QString(116, QChar(0xe9)), QString(77, QChar(0x4e2d))}) {
        SCOPED_TRACE(name.size());
        WindowRun run({name, "", "1"});
        run.window->Form_Load();
        EXPECT_TRUE(run.platform.messages.isEmpty());
        EXPECT_FALSE(TestFolder::read(run.window->masterFilePath()).isEmpty());
        EXPECT_FALSE(TestFolder::read(run.window->sendFilePath()).isEmpty());
    }
}

TEST(StartUp, CodeNumberIsAWholeNumberFrom19To28)
{
    std::set<int> seen;
    for (std::uint32_t seed = 0; seed < 400; ++seed) {
        ScriptedPlatform platform({"Ann", "", "1"});
        TestFolder folder;
        q_a_template_ window(platform, {{}, seed, folder.file("tutrdata")});
        window.startUp();
        ASSERT_GE(window.codeNumber, 19);
        ASSERT_LE(window.codeNumber, 28);
        seen.insert(window.codeNumber);
    }
    EXPECT_EQ(seen.size(), 10u);
}

TEST(StartUp, PictureCentreIsFiveHundredFiveHundred)
{
    WindowRun run({"Ann", "", "1"});
    run.window->Form_Load();
    for (PictureBox* box : {run.window->Picture1, run.window->Picture2}) {
        EXPECT_EQ(box->scaleWidth(), 1000);
        EXPECT_EQ(box->scaleHeight(), 1000);
        EXPECT_EQ(box->toPixels({500, 500}), QPointF(box->width() / 2.0, box->height() / 2.0));
        EXPECT_EQ(box->toPixels({1000, 1000}), QPointF(box->width(), box->height()));
    }
}

TEST(StartUp, DefaultFolderFailureIsIgnored)
{
    TestFolder folder;
    // A file where the default folder should be: creating it fails silently.
    TestFolder::write(folder.file("tutrdata"), "not a folder");
    ScriptedPlatform platform({"Ann", "", "1"});
    q_a_template_ window(platform, {{}, 1, folder.file("tutrdata")});
    window.startUp();
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(window.assignmentNumber, "001");
}

TEST(StartUp, BankIndexOutOfRangeStopsLoading)
{
    std::vector<std::string> tooLong(5001, "x");
    ScriptedPlatform platform({"Ann", "", "1"});
    TestFolder folder;
    q_a_template_ window(platform, {tooLong, 1, folder.file("tutrdata")});
    EXPECT_THROW(window.startUp(), BankIndexOutOfRange);
}

} // namespace
