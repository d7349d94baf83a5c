#include "report_fixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace
{

TEST(Copies, InTheMasterAndSendFilesCountOnce)
{
    Folder folder;
    QTime clock(10, 0);
    const std::string run =
        writer().run(FileRole::send, "001", kDay, clock, "CODE", 3, QStringLiteral("Ann Lee"));
    clock = QTime(10, 0);
    const std::string master =
        writer().run(FileRole::master, "001", kDay, clock, "CODE", 3, QStringLiteral("Ann Lee"));
    folder.write("send_0416Ann_Lee.txt", run);
    folder.write("masterFile_Ann_Lee.txt", master);

    const Outcome r =
        report({{folder.path("masterFile_Ann_Lee.txt"), folder.dir.path().toStdString()},
                false,
                folder.path("out.csv"),
                {}});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("3 of 10 questions answered, 3 critiques, 0 notes"), std::string::npos)
        << r.out;
    EXPECT_EQ(folder.read("out.csv").count("\r\nAnn Lee,"), 6);
}

// The CSV file's rows as "file time kind question", the folder left out.
std::vector<std::string> csvLines(const Folder& folder, const QString& name)
{
    const std::string prefix = folder.dir.path().toStdString() + '/';
    std::vector<std::string> lines;
    for (const auto& row : csvRows(folder.read(name).toStdString())) {
        const std::string& file = row.at(1);
        lines.push_back((file.starts_with(prefix) ? file.substr(prefix.size()) : file) + ' ' +
                        row.at(3) + ' ' + row.at(6) + ' ' + row.at(5));
    }
    return lines;
}

// Ann's run of 16 April or another day: the same response to question 1 of
// assignment 001 at each of the minutes past ten.
std::string annsDay(FileRole role, int day, std::initializer_list<int> minutes)
{
    const QDate date(2026, 4, day);
    std::string bytes = writer().opening("001", date, "RUN" + std::to_string(day));
    for (const int minute : minutes) {
        bytes += ClassWriter::head(role, QTime(10, minute), "001", 1, q("001", 0).entry, "x = 2") +
                 ClassWriter::tail(Rating::confidence, "2");
    }
    return bytes;
}

std::string annsNote(FileRole role, int day)
{
    return ClassWriter::note(role, QDate(2026, 4, day), QTime(10, 30), q("001", 0).entry, "ask");
}

// What a Mac writes beside a file copied to a disk or ZIP it does not own
// ("._" and the file's name): its AppleDouble header and extended attributes,
// lines and all, which read as no record.
std::string appleDouble()
{
    static const char kBytes[] =
        "\0\5\26\7\0\2\0\0Mac OS X        \0\2\0\0\0\11\0\0\0\62"
        "\r\nATTR\0\0\0\0com.apple.quarantine\r\n0083;6571f2a3;Safari;\r\n";
    return std::string(kBytes, sizeof kBytes - 1);
}

struct FilesCase {
    const char* name;
    // "class.zip:week2/send_0416Ann.txt" is a member of class.zip, deflated.
    std::vector<std::pair<QString, std::function<std::string()>>> files;
    std::vector<QString> named; // an empty name for the folder
    std::vector<std::string> rows;
    std::string told = ""; // the files skipped for their names, the folder left out
};

// Writes the files and the archives that hold the others.
void writeFiles(const Folder& folder,
                const std::vector<std::pair<QString, std::function<std::string()>>>& files)
{
    std::map<QString, std::vector<std::pair<std::string, std::string>>> archives;
    for (const auto& [name, bytes] : files) {
        const qsizetype zip = name.indexOf(".zip:");
        if (zip < 0) {
            QDir(folder.dir.path()).mkpath(QFileInfo(name).path());
            folder.write(name, bytes());
        } else {
            archives[name.left(zip + 4)].emplace_back(name.mid(zip + 5).toStdString(), bytes());
        }
    }
    for (const auto& [name, members] : archives) {
        folder.write(name, zipBytes(members));
    }
}

// The text with the folder's path taken out, and the folder itself named FOLDER.
std::string inFolder(std::string text, const Folder& folder)
{
    const std::string prefix = folder.dir.path().toStdString() + '/';
    for (std::size_t at; (at = text.find(prefix)) != std::string::npos;) {
        text.erase(at, prefix.size());
    }
    const std::string top = folder.dir.path().toStdString();
    for (std::size_t at; (at = text.find(top)) != std::string::npos;) {
        text.replace(at, top.size(), "FOLDER");
    }
    return text;
}

// The CSV of the files named, out.csv in the folder; an empty name names the folder.
ReportOptions csvOf(const Folder& folder, const std::vector<QString>& named)
{
    ReportOptions options{{}, false, folder.path("out.csv"), {}};
    for (const QString& name : named) {
        options.paths.push_back(name.isEmpty() ? folder.dir.path().toStdString()
                                               : folder.path(name));
    }
    return options;
}

class FilesRead : public testing::TestWithParam<FilesCase>
{
};

// A record found in two of a student's files is one row, of the file read
// first; the files are read in the order named, a folder's send files in
// name order, notes files last. Files skipped for their names are told, and
// are no failure.
TEST_P(FilesRead, GiveEachRecordOnceInTheFilesOrder)
{
    Folder folder;
    writeFiles(folder, GetParam().files);
    const Outcome r = report(csvOf(folder, GetParam().named));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(inFolder(r.err, folder), GetParam().told);
    std::vector<std::string> rows = {"file time kind question"};
    rows.insert(rows.end(), GetParam().rows.begin(), GetParam().rows.end());
    EXPECT_EQ(csvLines(folder, "out.csv"), rows);
}

INSTANTIATE_TEST_SUITE_P(
    Report, FilesRead,
    testing::Values(
        FilesCase{"CopiesInTheSendAndNotesFilesCountOnce",
                  {{"send_0416Ann.txt",
                    [] { return annsDay(FileRole::send, 16, {1}) + annsNote(FileRole::send, 16); }},
                   {"notes_Ann.txt", [] { return annsNote(FileRole::notes, 16); }}},
                  {"", "notes_Ann.txt"},
                  {"send_0416Ann.txt 10:01:00 question 001", "send_0416Ann.txt 10:30:00 note 001"}},
        FilesCase{
            "CopiesInAllThreeFilesCountOnce",
            {{"send_0416Ann.txt",
              [] { return annsDay(FileRole::send, 16, {1}) + annsNote(FileRole::send, 16); }},
             {"masterFile_Ann.txt",
              [] { return annsDay(FileRole::master, 16, {1}) + annsNote(FileRole::master, 16); }},
             {"notes_Ann.txt", [] { return annsNote(FileRole::notes, 16); }}},
            {"notes_Ann.txt", "masterFile_Ann.txt", ""},
            {"masterFile_Ann.txt 10:01:00 question 001", "masterFile_Ann.txt 10:30:00 note 001"}},
        // The same response entered again later, or on another day, is another row.
        FilesCase{
            "SameResponseAtAnotherTimeIsAnother",
            {{"send_0416Ann.txt",
              [] {
                  return annsDay(FileRole::send, 16, {1, 5});
              }},
             {"send_0417Ann.txt", [] { return annsDay(FileRole::send, 17, {1}); }},
             {"masterFile_Ann.txt",
              [] {
                  return annsDay(FileRole::master, 16, {1, 5}) + annsDay(FileRole::master, 17, {1});
              }}},
            {"", "masterFile_Ann.txt"},
            {"send_0416Ann.txt 10:01:00 question 001", "send_0416Ann.txt 10:05:00 question 001",
             "send_0417Ann.txt 10:01:00 question 001"}},
        FilesCase{"NotesFileNamedFirstIsReadLast",
                  {{"send_0415Ann.txt", [] { return annsDay(FileRole::send, 15, {1}); }},
                   {"send_0416Ann.txt", [] { return annsDay(FileRole::send, 16, {1}); }},
                   {"send_0414Ann.txt", [] { return annsDay(FileRole::send, 14, {1}); }},
                   {"notes_Ann.txt", [] { return annsNote(FileRole::notes, 13); }}},
                  {"notes_Ann.txt", ""},
                  {"send_0414Ann.txt 10:01:00 question 001",
                   "send_0415Ann.txt 10:01:00 question 001",
                   "send_0416Ann.txt 10:01:00 question 001", "notes_Ann.txt 10:30:00 note 001"}},
        FilesCase{"NotesFileNamedLast",
                  {{"send_0415Ann.txt", [] { return annsDay(FileRole::send, 15, {1}); }},
                   {"send_0414Ann.txt", [] { return annsDay(FileRole::send, 14, {1}); }},
                   {"notes_Ann.txt", [] { return annsNote(FileRole::notes, 13); }}},
                  {"", "notes_Ann.txt"},
                  {"send_0414Ann.txt 10:01:00 question 001",
                   "send_0415Ann.txt 10:01:00 question 001", "notes_Ann.txt 10:30:00 note 001"}},
        FilesCase{"FilesNamedInTheirOwnOrder",
                  {{"send_0415Ann.txt", [] { return annsDay(FileRole::send, 15, {1}); }},
                   {"send_0414Ann.txt", [] { return annsDay(FileRole::send, 14, {1}); }},
                   {"notes_Ann.txt", [] { return annsNote(FileRole::notes, 13); }}},
                  {"send_0415Ann.txt", "notes_Ann.txt", "send_0414Ann.txt"},
                  {"send_0415Ann.txt 10:01:00 question 001",
                   "send_0414Ann.txt 10:01:00 question 001", "notes_Ann.txt 10:30:00 note 001"}},
        // A browser's or mail program's copy of a send file holds the same
        // records, and perhaps more.
        FilesCase{"CopiesOfASendFileCountOnce",
                  {{"send_0416Ann.txt", [] { return annsDay(FileRole::send, 16, {1}); }},
                   {"send_0416Ann (1).txt",
                    [] {
                        return annsDay(FileRole::send, 16, {1, 5});
                    }},
                   {"send_0416Ann-1.txt", [] { return annsDay(FileRole::send, 16, {5}); }}},
                  {""},
                  {"send_0416Ann (1).txt 10:01:00 question 001",
                   "send_0416Ann (1).txt 10:05:00 question 001"}},
        FilesCase{"CourseSiteNamesGiveTheStudentOfTheSendFile",
                  {{"leeann_1234_56789_send_0416Ann.txt",
                    [] { return annsDay(FileRole::send, 16, {1}); }},
                   {"Ann_12345_assignsubmission_file_send_0416Ann-1.txt",
                    [] {
                        return annsDay(FileRole::send, 16, {1, 5});
                    }}},
                  {""},
                  {"Ann_12345_assignsubmission_file_send_0416Ann-1.txt 10:01:00 question 001",
                   "Ann_12345_assignsubmission_file_send_0416Ann-1.txt 10:05:00 question 001"}},
        // At any depth, each folder at the place of its name, as --recursive
        // reads a folder; what is not a send file goes without a word.
        FilesCase{
            "ArchiveIsReadAsAFolder",
            {{"class.zip:week2/send_0416Ann.txt", [] { return annsDay(FileRole::send, 16, {1}); }},
             {"class.zip:week2-late/send_0417Ann.txt",
              [] { return annsDay(FileRole::send, 17, {1}); }},
             {"class.zip:Ann_1_assignsubmission_file_/send_0413Ann.txt",
              [] { return annsDay(FileRole::send, 13, {1}); }},
             {"class.zip:send_0415Ann.txt", [] { return annsDay(FileRole::send, 15, {1}); }},
             {"class.zip:week2/photo.png", [] { return std::string("\x89PNG"); }},
             {"class.zip:__MACOSX/week2/._send_0416Ann.txt", appleDouble}},
            {"class.zip"},
            {"class.zip:Ann_1_assignsubmission_file_/send_0413Ann.txt 10:01:00 question 001",
             "class.zip:send_0415Ann.txt 10:01:00 question 001",
             "class.zip:week2/send_0416Ann.txt 10:01:00 question 001",
             "class.zip:week2-late/send_0417Ann.txt 10:01:00 question 001"}},
        // Some Windows ZIP programs part a member's folders with "\\"; a Mac
        // adds "._" files, in a "__MACOSX" folder of a ZIP.
        FilesCase{
            "ArchiveWithBackslashesAndAMacsFiles",
            {{"class.zip:week2\\send_0416Ann.txt", [] { return annsDay(FileRole::send, 16, {1}); }},
             {"class.zip:Ann_1_assignsubmission_file_\\send_0417Ann.txt",
              [] { return annsDay(FileRole::send, 17, {1}); }},
             {"class.zip:week2\\._send_0416Ann.txt", appleDouble},
             {"class.zip:__MACOSX\\week2\\._send_0416Ann.txt", appleDouble},
             {"class.zip:__MACOSX/week2/._send_0417Ann.txt", appleDouble}},
            {"class.zip"},
            {"class.zip:Ann_1_assignsubmission_file_\\send_0417Ann.txt 10:01:00 question 001",
             "class.zip:week2\\send_0416Ann.txt 10:01:00 question 001"}},
        FilesCase{
            "EachSitesOwnFilesPassedOver",
            {{"bb.zip:P1_alee_attempt_2026-04-16-20-14-05_send_0416Ann.txt",
              [] { return annsDay(FileRole::send, 16, {1}); }},
             {"bb.zip:P1_alee_attempt_2026-04-16-20-14-05.txt",
              [] { return std::string("Name: Ann Lee (alee)\r\n"); }},
             {"bb.zip:index.html", [] { return std::string("<html>"); }},
             {"bb.zip:Ann Lee_1_assignsubmission_onlinetext_/onlinetext.html",
              [] { return std::string("<p>"); }}},
            {"bb.zip"},
            {"bb.zip:P1_alee_attempt_2026-04-16-20-14-05_send_0416Ann.txt 10:01:00 question 001"},
            "passed over 1 file a course site adds beside the students' (Blackboard's details "
            "of an attempt)\n"},
        FilesCase{"SameFileInAFolderAndAnArchiveCountsOnce",
                  {{"send_0416Ann.txt", [] { return annsDay(FileRole::send, 16, {1}); }},
                   {"class.zip:send_0416Ann.txt", [] { return annsDay(FileRole::send, 16, {1}); }}},
                  {"", "class.zip"},
                  {"send_0416Ann.txt 10:01:00 question 001"}},
        FilesCase{"OtherTextFilesAreToldOnce",
                  {{"send_0416Ann.txt", [] { return annsDay(FileRole::send, 16, {1}); }},
                   {"readme.txt", [] { return std::string("hello"); }},
                   {"masterFile_Ann.txt", [] { return annsDay(FileRole::master, 16, {1}); }},
                   {"notes_Ann.txt", [] { return annsNote(FileRole::notes, 16); }},
                   {"photo.png", [] { return std::string("\x89PNG"); }},
                   {"._send_0416Ann.txt", appleDouble},
                   {"class.zip:week2/readme.txt", [] { return std::string("hello"); }}},
                  {"", "class.zip", "", "notes_Ann.txt"},
                  {"send_0416Ann.txt 10:01:00 question 001", "notes_Ann.txt 10:30:00 note 001"},
                  "masterFile_Ann.txt: skipped: a master or notes file is read only when named on "
                  "the command line\n"
                  "readme.txt: skipped: not a record file name (send_MMDDName.txt, "
                  "masterFile_Name.txt or notes_Name.txt)\n"
                  "class.zip:week2/readme.txt: skipped: not a record file name "
                  "(send_MMDDName.txt, masterFile_Name.txt or notes_Name.txt)\n"}),
    [](const auto& param) { return std::string(param.param.name); });

struct NothingCase {
    const char* name;
    std::vector<std::pair<QString, std::function<std::string()>>> files;
    std::vector<QString> named; // an empty name for the folder
    std::string told;           // the folder left out
};

class NothingFound : public testing::TestWithParam<NothingCase>
{
};

// A run that finds no send file fails, says what it looked at, and writes
// nothing that would pass for an empty class.
TEST_P(NothingFound, IsAFailureThatSaysWhatWasLookedAt)
{
    Folder folder;
    writeFiles(folder, GetParam().files);
    const Outcome r = report(csvOf(folder, GetParam().named));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(inFolder(r.err, folder), GetParam().told);
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.path("out.csv"))));
}

INSTANTIATE_TEST_SUITE_P(
    Report, NothingFound,
    testing::Values(
        NothingCase{"EmptyFolder",
                    {},
                    {""},
                    "qa-tutor-report: no send files found in FOLDER (0 files looked at, none "
                    "named send_MMDDName.txt)\n"},
        NothingCase{
            "ArchiveInAFolderIsNotRead",
            {{"class.zip:send_0416Ann.txt", [] { return annsDay(FileRole::send, 16, {1}); }}},
            {""},
            "qa-tutor-report: no send files found in FOLDER (1 file looked at, none "
            "named send_MMDDName.txt)\n"},
        NothingCase{"SubfoldersWithoutRecursive",
                    {{"Ann_1_assignsubmission_file/send_0416Ann.txt",
                      [] { return annsDay(FileRole::send, 16, {1}); }}},
                    {""},
                    "qa-tutor-report: no send files found in FOLDER (0 files looked at, none "
                    "named send_MMDDName.txt; 1 subfolder not read: add --recursive to read "
                    "them)\n"},
        NothingCase{"OnlyASitesOwnFiles",
                    {{"bb.zip:P1_alee_attempt_2026-04-16-20-14-05.txt",
                      [] { return std::string("Name: Ann Lee (alee)\r\n"); }},
                     {"bb.zip:index.html", [] { return std::string("<html>"); }}},
                    {"bb.zip"},
                    "passed over 1 file a course site adds beside the students' (Blackboard's "
                    "details of an attempt)\nqa-tutor-report: no send files found in bb.zip (2 "
                    "files looked at, none named send_MMDDName.txt)\n"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(Folders, GiveTheirSendFilesAndSubfoldersOnlyWhenAsked)
{
    Folder folder;
    QDir(folder.dir.path()).mkdir("week2");
    QTime clock(10, 0);
    const std::string run =
        writer().run(FileRole::send, "001", kDay, clock, "CODE", 1, QStringLiteral("Ann"));
    folder.write("send_0416Ann.txt", run);
    folder.write("week2/send_0423Bo.txt", run);
    folder.write("masterFile_Cy.txt", run);
    folder.write("notes_Dee.txt", run);
    const std::string top = folder.dir.path().toStdString();
    for (const bool recursive : {false, true}) {
        const Outcome r = report({{top}, recursive, {}, {}});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("Ann\n"), std::string::npos);
        EXPECT_EQ(r.out.find("Bo\n") != std::string::npos, recursive) << r.out;
        EXPECT_EQ(r.out.find("Cy\n"), std::string::npos);
        EXPECT_EQ(r.out.find("Dee\n"), std::string::npos);
    }
    const Outcome named = report({{folder.path("masterFile_Cy.txt")}, false, {}, {}});
    EXPECT_NE(named.out.find("Cy\n"), std::string::npos);
}

TEST(Folders, AreNotEnteredThroughALinkThatLeadsBackUp)
{
    Folder folder;
    QTime clock(10, 0);
    folder.write("send_0416Ann.txt", writer().run(FileRole::send, "001", kDay, clock, "CODE", 1,
                                                  QStringLiteral("Ann")));
    ASSERT_TRUE(QFile::link(folder.dir.path(), folder.dir.filePath("loop")));
    const Outcome r = report({{folder.dir.path().toStdString()}, true, folder.path("out.csv"), {}});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(folder.read("out.csv").count("\r\nAnn,"), 2);
}

} // namespace
