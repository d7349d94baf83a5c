#include "app/startup_text.h"
#include "window_run.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <map>
#include <optional>
#include <thread>
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

// Everything in a folder, hidden files included: a file's bytes, where a
// link points (a link to /dev/full is never read), or that it is a folder.
std::map<QString, QByteArray> folderContents(const QString& path)
{
    std::map<QString, QByteArray> contents;
    const auto entries = QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                  QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        contents[entry.fileName()] = entry.isSymLink() ? "-> " + entry.symLinkTarget().toUtf8()
                                     : entry.isDir()   ? QByteArray("<folder>")
                                                       : TestFolder::read(entry.filePath());
    }
    return contents;
}

QString failedFolderPrompt(const QString& folder, const QString& reason)
{
    return "Your files cannot be written in the folder " + folder + ": " + reason +
           ". Enter the path to another folder for your files. An empty reply or Cancel ends the "
           "program with nothing written.";
}

TEST(Opening, UnwritableFolderIsAskedForAgain)
{
    TestFolder other;
    const QString missing = other.file("no such folder");
    WindowRun run({"Ann", "1", missing, "1", other.path()});
    run.window->Form_Load();
    const QString reason = reasonFor(FileFault::MissingFolder);
    EXPECT_EQ(run.platform.messages,
              QStringList{"Could not write to the file " + inFolder(missing, "masterFile_Ann.txt") +
                          ": " + reason + "."});
    EXPECT_EQ(run.platform.prompts.last(), failedFolderPrompt(missing, reason));
    EXPECT_EQ(run.window->workFolder, other.path());
    EXPECT_EQ(run.window->masterFilePath(), inFolder(other.path(), "masterFile_Ann.txt"));
    EXPECT_TRUE(TestFolder::read(run.window->sendFilePath()).contains("assignment #001\r\n"));
    EXPECT_FALSE(run.window->ended());
}

struct FailedOpeningCase {
    const char* name;
    const char* master; // "" none, "/dev/full" a link to it, else its earlier bytes
    const char* send;   // the same, or "<folder>" for a folder in its place
    const char* failingFile;
    FileFault fault;
};

void PrintTo(const FailedOpeningCase& c, std::ostream* os)
{
    *os << c.name;
}

class FailedOpening : public testing::TestWithParam<FailedOpeningCase>
{
};

void prepare(const QString& path, const char* what)
{
    const QByteArray kind(what);
    if (kind == "/dev/full") {
        placeOnFullDisk(filePath(path));
    } else if (kind == "<folder>") {
        QDir().mkpath(path);
    } else if (!kind.isEmpty()) {
        TestFolder::write(path, kind);
    }
}

TEST_P(FailedOpening, LeavesEveryFileAsItWasAndAsksForAnotherFolder)
{
    const FailedOpeningCase& c = GetParam();
    if (c.fault == FileFault::FullDisk && kNoFullDisk) {
        GTEST_SKIP() << kNoFullDisk;
    }
    TestFolder other;
    prepare(other.file("masterFile_Ann.txt"), c.master);
    prepare(other.file("send_0416Ann.txt"), c.send);
    const auto before = folderContents(other.path());

    WindowRun run({"Ann", "1", other.path(), "1", ""});
    run.window->Form_Load();
    const QString reason = reasonFor(c.fault);
    EXPECT_EQ(run.platform.messages,
              QStringList{"Could not write to the file " + inFolder(other.path(), c.failingFile) +
                          ": " + reason + "."});
    EXPECT_EQ(run.platform.prompts.last(), failedFolderPrompt(other.path(), reason));
    EXPECT_TRUE(run.window->ended());
    run.window.reset();
    EXPECT_EQ(folderContents(other.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailedOpening,
    testing::Values(FailedOpeningCase{"SendPathIsAFolder", "earlier\r\nno line end", "<folder>",
                                      "send_0416Ann.txt", FileFault::IsAFolder},
                    FailedOpeningCase{"SendFileOnAFullDisk", "earlier\r\nno line end", "/dev/full",
                                      "send_0416Ann.txt", FileFault::FullDisk},
                    FailedOpeningCase{"MasterFileOnAFullDisk", "/dev/full", "earlier send\r\n",
                                      "masterFile_Ann.txt", FileFault::FullDisk},
                    FailedOpeningCase{"NeitherFileYetAndSendPathIsAFolder", "", "<folder>",
                                      "send_0416Ann.txt", FileFault::IsAFolder}),
    [](const testing::TestParamInfo<FailedOpeningCase>& param) { return param.param.name; });

QString alreadyOpen(const QString& name, const QString& folder)
{
    return "qa-tutor is already open for " + name + " with the folder " + folder +
           ". Please go on in that window: this one closes now, with nothing written.";
}

TEST(OneRunPerFolder, SecondWindowForTheSameStudentAndFolderEndsWithNothingWritten)
{
    WindowRun first({"Ann Lee", "", "1"});
    first.window->Form_Load();
    const QString folder = first.defaultFolder();
    const auto before = folderContents(folder);

    ScriptedPlatform platform({"Ann Lee", "", "2"});
    auto second = std::make_unique<q_a_template_>(platform, WindowOptions{{}, 2, folder});
    second->Form_Load();
    EXPECT_EQ(platform.messages, QStringList{alreadyOpen("Ann Lee", folder)});
    // Refused before the assignment is asked for.
    EXPECT_EQ(platform.prompts, QStringList({namePrompt(), changeFolderQuestion(folder)}));
    EXPECT_TRUE(second->ended());
    second.reset();
    EXPECT_EQ(folderContents(folder), before);
    EXPECT_FALSE(first.window->ended());
}

TEST(OneRunPerFolder, AnotherStudentOrAnotherFolderIsFree)
{
    WindowRun first({"Ann", "", "1"});
    first.window->Form_Load();
    TestFolder other;
    for (const QStringList& replies :
         {QStringList{"Bob", "", "1"}, QStringList{"Ann", "1", other.path(), "1"}}) {
        ScriptedPlatform platform(replies);
        q_a_template_ window(platform, {{}, 2, first.defaultFolder()});
        window.Form_Load();
        EXPECT_TRUE(platform.messages.isEmpty()) << replies.join(u',').toStdString();
        EXPECT_FALSE(window.ended());
    }
}

TEST(OneRunPerFolder, TheFolderGivenUpOnTheRetryIsFreeAgain)
{
    if (kNoFullDisk) {
        GTEST_SKIP() << kNoFullDisk;
    }
    TestFolder other;
    const QString full = other.file("full");
    QDir().mkpath(full);
    placeOnFullDisk(filePath(full + "/masterFile_Ann.txt"));
    WindowRun run({"Ann", "1", full, "1", other.path()});
    run.window->Form_Load();
    ASSERT_FALSE(run.window->ended());
    EXPECT_FALSE(QFileInfo::exists(full + "/.qa-tutor-Ann.lock"));
    EXPECT_TRUE(QFileInfo::exists(other.file(".qa-tutor-Ann.lock")));
    run.window.reset();
    EXPECT_FALSE(QFileInfo::exists(other.file(".qa-tutor-Ann.lock")));
}

// Only the helper of the next test runs this: a run that holds its folder
// until it is killed.
TEST(DISABLED_FolderHolder, OpensAndWaits)
{
    ScriptedPlatform platform({"Ann", "", "1"});
    q_a_template_ window(platform, {{}, 1, qEnvironmentVariable("QA_TUTOR_HOLD_FOLDER")});
    window.Form_Load();
    std::cout << (window.ended() ? "ENDED" : "HOLDING") << std::endl;
    std::this_thread::sleep_for(std::chrono::minutes(2));
}

TEST(OneRunPerFolder, RefusedWhileAnotherProcessHoldsItAndTakenOverOnceThatRunIsKilled)
{
    TestFolder folder;
    const QString tutrdata = folder.file("tutrdata");
    QProcess holder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QA_TUTOR_HOLD_FOLDER", tutrdata);
    holder.setProcessEnvironment(environment);
    holder.start(QCoreApplication::applicationFilePath(),
                 {"--gtest_also_run_disabled_tests", "--gtest_filter=DISABLED_FolderHolder.*"});
    QByteArray said;
    while (!said.contains("HOLDING") && !said.contains("ENDED") && holder.waitForReadyRead(30000)) {
        said += holder.readAllStandardOutput();
    }
    ASSERT_TRUE(said.contains("HOLDING")) << said.toStdString();
    const auto held = folderContents(tutrdata);
    ASSERT_TRUE(held.contains(".qa-tutor-Ann.lock"));
    EXPECT_TRUE(hiddenFromTheStudent(filePath(tutrdata + "/.qa-tutor-Ann.lock")));

    {
        ScriptedPlatform platform({"Ann", "", "1"});
        q_a_template_ second(platform, {{}, 2, tutrdata});
        second.Form_Load();
        EXPECT_EQ(platform.messages, QStringList{alreadyOpen("Ann", tutrdata)});
        EXPECT_TRUE(second.ended());
    }
    EXPECT_EQ(folderContents(tutrdata), held);

    holder.kill(); // SIGKILL: the holder leaves its lock behind
    holder.waitForFinished();
    ASSERT_TRUE(QFileInfo::exists(tutrdata + "/.qa-tutor-Ann.lock"));
    {
        ScriptedPlatform platform({"Ann", "", "1"});
        q_a_template_ third(platform, {{}, 3, tutrdata});
        third.Form_Load();
        EXPECT_TRUE(platform.messages.isEmpty());
        EXPECT_FALSE(third.ended());
        EXPECT_EQ(TestFolder::read(third.masterFilePath()).count("assignment #001\r\n"), 2);
        EXPECT_TRUE(hiddenFromTheStudent(filePath(tutrdata + "/.qa-tutor-Ann.lock")));
    }
    EXPECT_FALSE(QFileInfo::exists(tutrdata + "/.qa-tutor-Ann.lock"));
}

// A lock left by a run that is gone, as its file says: a process number no
// system gives out.
QByteArray goneRunsLock()
{
    TestFolder scratch;
    QLockFile lock(scratch.file("lock"));
    lock.tryLock(0);
    QByteArray bytes = TestFolder::read(scratch.file("lock"));
    lock.unlock();
    return "2147483646" + bytes.mid(bytes.indexOf('\n'));
}

struct LeftLockCase {
    const char* name;
    std::optional<QByteArray> lock; // none: no lock file; "gone": goneRunsLock()
    std::optional<QByteArray> guard;
    bool stillHeld;
};

void PrintTo(const LeftLockCase& c, std::ostream* os)
{
    *os << c.name;
}

class LeftLock : public testing::TestWithParam<LeftLockCase>
{
};

// A kill can come after a lock file is created and before it says whose it
// is, or while a stale lock is being taken over.
TEST_P(LeftLock, IsTakenOverUnlessARunStillHoldsIt)
{
    const LeftLockCase& c = GetParam();
    TestFolder folder;
    const QString tutrdata = folder.file("tutrdata");
    QDir().mkpath(tutrdata);
    const QString lockPath = tutrdata + "/.qa-tutor-Ann.lock";
    const auto leave = [](const QString& path, const std::optional<QByteArray>& bytes) {
        if (bytes) {
            TestFolder::write(path, *bytes == "gone" ? goneRunsLock() : *bytes);
        }
    };
    leave(lockPath, c.lock);
    leave(lockPath + ".rmlock", c.guard);
    std::optional<HeldLock> holder;
    if (c.stillHeld) {
        holder.emplace(filePath(lockPath));
    }
    const auto before = folderContents(tutrdata);
    {
        ScriptedPlatform platform({"Ann", "", "1"});
        q_a_template_ window(platform, {{}, 2, tutrdata});
        window.Form_Load();
        if (c.stillHeld) {
            EXPECT_EQ(platform.messages, QStringList{alreadyOpen("Ann", tutrdata)});
            EXPECT_EQ(folderContents(tutrdata), before);
        } else {
            EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages.join(u'|').toStdString();
            EXPECT_FALSE(QFileInfo::exists(lockPath + ".rmlock"));
            EXPECT_EQ(TestFolder::read(window.masterFilePath()).count("assignment #001\r\n"), 1);
            EXPECT_TRUE(hiddenFromTheStudent(filePath(lockPath)));
        }
        EXPECT_EQ(window.ended(), c.stillHeld);
    }
    holder.reset();
    EXPECT_EQ(QFileInfo::exists(lockPath), c.stillHeld);
}

INSTANTIATE_TEST_SUITE_P(
    Kills, LeftLock,
    testing::Values(LeftLockCase{"EmptyLock", "", std::nullopt, false},
                    LeftLockCase{"EmptyGuardOfAGoneRunsLock", "gone", "", false},
                    LeftLockCase{"EmptyLockAndEmptyGuard", "", "", false},
                    LeftLockCase{"EmptyLockItsRunStillHolds", "", std::nullopt, true}),
    [](const testing::TestParamInfo<LeftLockCase>& param) { return param.param.name; });

} // namespace
