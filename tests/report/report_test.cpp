#include "report_fixture.h"
#include "workbook_reading.h"

#include "bank/course.h"
#include "report/input_names.h"
#include "report/ordered_output.h"
#include "report/report.h"
#include "report/report_command_line.h"
#include "report/report_run.h"
#include "report/writers.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <optional>
#include <sstream>

namespace
{

const CourseIndex& course()
{
    static const CourseIndex c(courseEntries());
    return c;
}

struct Rows : RowSink {
    void row(const ReportRow& r) override
    {
        read.push_back(std::string(kindName(r.kind)) + ' ' + r.assignment + ' ' +
                       std::to_string(r.question));
    }
    std::vector<std::string> read;
};

// The rows of one file, and the summary's lists of questions rated 0 or 1,
// one line for each run.
std::pair<std::vector<std::string>, std::string> rowsOf(const std::string& bytes)
{
    Rows rows;
    Report report(course(), &rows);
    const std::string student = "Ann Lee";
    const std::string file = "f";
    report.beginFile(student, file, false);
    readRecords(bytes, report);
    std::ostringstream summary;
    {
        Out out(summary);
        writeSummary(report, out);
    }
    // Per run "none" or the questions' lines joined by "; ", then any
    // invalid ratings after " | ".
    std::string rated;
    const std::string_view label = "      rated 0 or 1:";
    const std::string_view question = "        q";
    const std::string_view invalid = "      invalid ratings: ";
    std::istringstream lines(summary.str());
    bool first = true;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(label)) {
            rated += (rated.empty() ? "" : "\n") +
                     line.substr(label.size() + (line.size() > label.size()));
            first = true;
        } else if (line.starts_with(question)) {
            rated += (first ? "" : "; ") + line.substr(question.size() - 1);
            first = false;
        } else if (line.starts_with(invalid)) {
            rated += " | " + line.substr(invalid.size());
        }
    }
    return {rows.read, rated};
}

std::string answered(FileRole role, const char* assignment, int i, const QString& entry,
                     Rating rating, const QString& reply = "2")
{
    return ClassWriter::head(role, QTime(9, 0, i), assignment, q(assignment, i).number, entry,
                             "x") +
           ClassWriter::tail(rating, reply);
}

struct PlaceCase {
    const char* name;
    std::function<std::string()> bytes;
    std::vector<std::string> rows;
    std::string rated;
};

void PrintTo(const PlaceCase& c, std::ostream* os)
{
    *os << c.name;
}

class QuestionOfARecord : public testing::TestWithParam<PlaceCase>
{
};

TEST_P(QuestionOfARecord, IsTheOneItAnswers)
{
    const auto [rows, rated] = rowsOf(GetParam().bytes());
    EXPECT_EQ(rows, GetParam().rows);
    EXPECT_EQ(rated, GetParam().rated);
}

INSTANTIATE_TEST_SUITE_P(
    Report, QuestionOfARecord,
    testing::Values(PlaceCase{"QuestionsByTheirNumber",
                              [] {
                                  return writer().opening("002", kDay, "RUN") +
                                         answered(FileRole::send, "002", 2, q("002", 2).entry,
                                                  Rating::confidence);
                              },
                              {"question 002 3"},
                              "none"},
                    PlaceCase{"MasterFileByItsNumberLine",
                              [] {
                                  return answered(FileRole::master, "004", 1, q("004", 1).entry,
                                                  Rating::confidence);
                              },
                              {"question 004 2"},
                              "none"},
                    PlaceCase{"CritiqueByItsWorkedAnswerNotTheLastQuestion",
                              [] {
                                  return writer().opening("003", kDay, "RUN") +
                                         answered(FileRole::send, "003", 3, q("003", 3).entry,
                                                  Rating::confidence) +
                                         answered(FileRole::send, "003", 1, q("003", 1).answer,
                                                  Rating::selfCritique);
                              },
                              {"question 003 4", "critique 003 2"},
                              "none"},
                    PlaceCase{"CritiqueOfATextNotInTheCourseByTheLastQuestion",
                              [] {
                                  return writer().opening("003", kDay, "RUN") +
                                         answered(FileRole::send, "003", 3, q("003", 3).entry,
                                                  Rating::confidence) +
                                         answered(FileRole::send, "003", 1, "an edited answer",
                                                  Rating::selfCritique);
                              },
                              {"question 003 4", "critique 003 4"},
                              "none"},
                    PlaceCase{"NoteOnAWorkedAnswer",
                              [] {
                                  return ClassWriter::note(FileRole::notes, kDay, QTime(9, 0),
                                                           q("005", 2).answer, "ask about this");
                              },
                              {"note 005 3"},
                              "none"},
                    PlaceCase{"ResponseBeforeAnyEntry",
                              [] {
                                  return writer().opening("001", kDay, "RUN") +
                                         ClassWriter::head(FileRole::send, QTime(9, 0), "001", 0,
                                                           "", "hi") +
                                         ClassWriter::tail(Rating::none, "");
                              },
                              {"other 001 0"},
                              "none"},
                    // The list is in the questions' order, each critique's rating under
                    // the question whose worked answer it critiques.
                    PlaceCase{"LowRatingsOutOfTheQuestionsOrder",
                              [] {
                                  const auto entry = [](int i) { return q("003", i).entry; };
                                  const auto answer = [](int i) { return q("003", i).answer; };
                                  const Rating c = Rating::confidence;
                                  const Rating s = Rating::selfCritique;
                                  return writer().opening("003", kDay, "RUN") +
                                         answered(FileRole::send, "003", 4, entry(4), c, "0") +
                                         answered(FileRole::send, "003", 1, entry(1), c, "1") +
                                         answered(FileRole::send, "003", 3, entry(3), c, "3") +
                                         answered(FileRole::send, "003", 4, answer(4), s, "1") +
                                         answered(FileRole::send, "003", 1, answer(1), s, "0") +
                                         answered(FileRole::send, "003", 3, answer(3), s, "2");
                              },
                              {"question 003 5", "question 003 2", "question 003 4",
                               "critique 003 5", "critique 003 2", "critique 003 4"},
                              "q002: confidence 1, critique 0; q005: confidence 0, critique 1"},
                    PlaceCase{"RatingsWithBlanksAsTheirDigits",
                              [] {
                                  return writer().opening("003", kDay, "RUN") +
                                         answered(FileRole::send, "003", 0, q("003", 0).entry,
                                                  Rating::confidence, " 1") +
                                         answered(FileRole::send, "003", 1, q("003", 1).entry,
                                                  Rating::confidence, "0 ") +
                                         answered(FileRole::send, "003", 2, q("003", 2).entry,
                                                  Rating::confidence, " 3 ");
                              },
                              {"question 003 1", "question 003 2", "question 003 3"},
                              "q001: confidence 1; q002: confidence 0"},
                    PlaceCase{"InvalidRatingsApartFromLowOnes",
                              [] {
                                  return writer().opening("003", kDay, "RUN") +
                                         answered(FileRole::send, "003", 0, q("003", 0).entry,
                                                  Rating::confidence, "x") +
                                         answered(FileRole::send, "003", 1, q("003", 1).entry,
                                                  Rating::confidence, "5") +
                                         answered(FileRole::send, "003", 2, q("003", 2).entry,
                                                  Rating::confidence, "") +
                                         answered(FileRole::send, "003", 3, q("003", 3).entry,
                                                  Rating::confidence, "01") +
                                         answered(FileRole::send, "003", 4, q("003", 4).entry,
                                                  Rating::confidence, "0");
                              },
                              {"question 003 1", "question 003 2", "question 003 3",
                               "question 003 4", "question 003 5"},
                              "q005: confidence 0 | q001 (confidence \"x\"), "
                              "q002 (confidence \"5\"), q004 (confidence \"01\")"},
                    PlaceCase{"LaterRatingOfAQuestionInTheRunCounts",
                              [] {
                                  return writer().opening("003", kDay, "RUN") +
                                         answered(FileRole::send, "003", 0, q("003", 0).entry,
                                                  Rating::confidence, "0") +
                                         answered(FileRole::send, "003", 0, q("003", 0).entry,
                                                  Rating::confidence, "x");
                              },
                              {"question 003 1", "question 003 1"},
                              "none | q001 (confidence \"x\")"}));

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

struct NameCase {
    const char* name;
    std::string fileName;
    std::optional<FileRole> role; // none: not a record file's name
    std::string student = "";
    std::string day = "";
};

void PrintTo(const NameCase& c, std::ostream* os)
{
    *os << c.fileName;
}

class FileNameAsItArrives : public testing::TestWithParam<NameCase>
{
};

TEST_P(FileNameAsItArrives, GivesTheRecordFileItNames)
{
    const auto name = inputName(GetParam().fileName);
    ASSERT_EQ(name.has_value(), GetParam().role.has_value());
    if (name) {
        EXPECT_EQ(name->role, *GetParam().role);
        EXPECT_EQ(name->student, GetParam().student);
        EXPECT_EQ(name->day, GetParam().day);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Report, FileNameAsItArrives,
    testing::Values(
        NameCase{"AsWritten", "send_1209Ann_Lee.txt", FileRole::send, "Ann Lee", "1209"},
        NameCase{"BrowsersCopy", "send_1209Ann_Lee (1).txt", FileRole::send, "Ann Lee", "1209"},
        NameCase{"CopyWithoutABlank", "send_1209Ann_Lee(12).txt", FileRole::send, "Ann Lee",
                 "1209"},
        NameCase{"MailProgramsCopy", "send_1209Ann_Lee-2.txt", FileRole::send, "Ann Lee", "1209"},
        NameCase{"DigitsAfterAnUnderscoreAreTheName", "send_1209Ann_2.txt", FileRole::send, "Ann 2",
                 "1209"},
        NameCase{"CourseSitesPrefix", "diazcarla_1234_56789_send_1209Carla_Diaz.txt",
                 FileRole::send, "Carla Diaz", "1209"},
        NameCase{"CourseSitesPrefixOfACopy", "diazcarla_1234_56789_send_1209Carla_Diaz-1.txt",
                 FileRole::send, "Carla Diaz", "1209"},
        NameCase{"CourseSitesPrefixWithBlanks",
                 "Carla Diaz_12345_assignsubmission_file_send_1209Carla_Diaz.txt", FileRole::send,
                 "Carla Diaz", "1209"},
        // The first record file name after the prefix, not a later one the
        // student's name holds.
        NameCase{"NameHoldingAnotherFilesStart", "leeann_1_2_send_1209Ann_notes_Lee.txt",
                 FileRole::send, "Ann notes Lee", "1209"},
        NameCase{"NameHoldingASendFilesStart", "leeann_1_2_send_1209Ann_send_0101Lee.txt",
                 FileRole::send, "Ann send 0101Lee", "1209"},
        NameCase{"MasterFileWithAPrefix", "leeann_1_2_masterFile_Ann_Lee.txt", FileRole::master,
                 "Ann Lee"},
        NameCase{"NotesFilesCopy", "notes_Ann_Lee (3).txt", FileRole::notes, "Ann Lee"},
        NameCase{"PrefixNotEndingInAnUnderscore", "mysend_1209Ann.txt", std::nullopt},
        NameCase{"SendFileWithoutADay", "send_Ann.txt", std::nullopt},
        NameCase{"CopyOfAFileWithoutAName", "send_1209 (1).txt", std::nullopt},
        NameCase{"NotARecordFile", "readme.txt", std::nullopt},
        NameCase{"NotText", "send_1209Ann.txt.bak", std::nullopt}),
    [](const auto& param) { return std::string(param.param.name); });

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
            folder.write(name, bytes());
        } else {
            archives[name.left(zip + 4)].emplace_back(name.mid(zip + 5).toStdString(), bytes());
        }
    }
    for (const auto& [name, members] : archives) {
        folder.write(name, zipBytes(members));
    }
}

// The text with the folder's path taken out.
std::string inFolder(std::string text, const Folder& folder)
{
    const std::string prefix = folder.dir.path().toStdString() + '/';
    for (std::size_t at; (at = text.find(prefix)) != std::string::npos;) {
        text.erase(at, prefix.size());
    }
    return text;
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
    ReportOptions options{{}, false, folder.path("out.csv"), {}};
    for (const QString& name : GetParam().named) {
        options.paths.push_back(name.isEmpty() ? folder.dir.path().toStdString()
                                               : folder.path(name));
    }
    const Outcome r = report(options);
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
             {"class.zip:__MACOSX/week2/._send_0416Ann.txt",
              [] { return std::string("\0\5\26\7"); }}},
            {"class.zip"},
            {"class.zip:Ann_1_assignsubmission_file_/send_0413Ann.txt 10:01:00 question 001",
             "class.zip:send_0415Ann.txt 10:01:00 question 001",
             "class.zip:week2/send_0416Ann.txt 10:01:00 question 001",
             "class.zip:week2-late/send_0417Ann.txt 10:01:00 question 001"}},
        FilesCase{"ArchiveInAFolderIsNotRead",
                  {{"class.zip:send_0416Ann.txt", [] { return annsDay(FileRole::send, 16, {1}); }}},
                  {""},
                  {}},
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
                   {"._send_0416Ann.txt", [] { return std::string("\0\5\26\7"); }},
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

// What one thread does to the output of three files, step by step: a file's
// rows spilled while it is the next to be written, or the file finished.
struct OutputStep {
    std::size_t file;
    std::string rows;
    bool finished; // else spilled
    bool complete = true;
};

struct OrderCase {
    const char* name;
    std::vector<OutputStep> steps;
};

class FilesOutput : public testing::TestWithParam<OrderCase>
{
};

TEST_P(FilesOutput, IsWrittenInTheFilesOrder)
{
    std::FILE* csv = std::tmpfile();
    ASSERT_NE(csv, nullptr);
    std::ostringstream err;
    bool complete = true;
    {
        CsvFile file(csv, 0);
        OrderedOutput output(3, &file, err);
        for (const OutputStep& step : GetParam().steps) {
            std::string rows = step.rows;
            if (step.finished) {
                output.finish(step.file, rows, "message " + std::to_string(step.file) + "\n",
                              step.complete);
            } else {
                output.spill(step.file, rows);
            }
            EXPECT_TRUE(rows.empty());
            complete = complete && step.complete;
        }
        EXPECT_EQ(output.complete(), complete);
        EXPECT_EQ(file.error(), 0);
    }
    std::rewind(csv);
    std::string written(64, '\0');
    written.resize(std::fread(written.data(), 1, written.size(), csv));
    std::fclose(csv);
    EXPECT_EQ(written, "a0a1b0b1c0");
    EXPECT_EQ(err.str(), "message 0\nmessage 1\nmessage 2\n");
}

INSTANTIATE_TEST_SUITE_P(
    Report, FilesOutput,
    testing::Values(OrderCase{"InOrder", {{0, "a0a1", true}, {1, "b0b1", true}, {2, "c0", true}}},
                    OrderCase{"LastFirst", {{2, "c0", true}, {1, "b0b1", true}, {0, "a0a1", true}}},
                    OrderCase{"NextLast", {{1, "b0b1", true}, {2, "c0", true}, {0, "a0a1", true}}},
                    OrderCase{"SpilledWhileNext",
                              {{2, "c0", true},
                               {0, "a0", false},
                               {0, "a1", true},
                               {1, "b0", false},
                               {1, "b1", true}}},
                    OrderCase{"OneNotReadWhole",
                              {{0, "a0a1", true}, {2, "c0", true, false}, {1, "b0b1", true}}}),
    [](const auto& param) { return std::string(param.param.name); });

// A class whose students' files interleave by name, with copies in master
// files, notes, a torn record, a file that is not a record file and two
// long files next to each other, read at the same time on two threads.
void writeMixedClass(const Folder& folder)
{
    const auto& w = writer();
    for (int s = 0; s < 7; ++s) {
        const QString name = QStringLiteral("Student %1").arg(s);
        const QString file = QString(name).replace(u' ', u'_');
        std::string master;
        for (int day = 0; day < 3; ++day) {
            QTime clock(9 + s, 0);
            const QDate date = kDay.addDays(day);
            const QString assignment = QStringLiteral("%1").arg(day + 1, 3, 10, QLatin1Char('0'));
            const std::string code = "RUN" + std::to_string(s * 10 + day);
            std::string send = w.run(FileRole::send, assignment, date, clock, code, 2 + s, name);
            if (s == 3 && day == 1) {
                send += ClassWriter::head(FileRole::send, clock.addSecs(60), assignment, 3,
                                          w.questions(assignment)[2].entry, "torn");
            }
            if ((s == 4 || s == 5) && day == 0) {
                for (int i = 0; i < 1500; ++i) {
                    clock = clock.addSecs(1);
                    send += w.run(FileRole::send, assignment, date, clock, code, 1, name);
                }
            }
            clock = QTime(9 + s, 0);
            master += w.run(FileRole::master, assignment, date, clock, code, 2 + s, name);
            const QString sendName =
                QStringLiteral("send_%1%2.txt").arg(date.toString(QStringLiteral("MMdd")), file);
            folder.write(sendName, send);
        }
        if (s % 2 == 0) {
            folder.write(QStringLiteral("masterFile_%1.txt").arg(file), master);
            folder.write(QStringLiteral("notes_%1.txt").arg(file),
                         ClassWriter::note(FileRole::notes, kDay, QTime(9 + s, 5),
                                           q("001", 1).answer, QStringLiteral("ask %1").arg(s)));
        }
    }
    folder.write("send_0417Zed.txt", "Hello! Here is my homework.\r\nx = 2\r\n");
}

// What a report on the mixed class gives.
struct MixedOutput {
    Outcome outcome;
    std::string csv;
    QByteArray page;
    ReadBook book;
};

// The mixed class, in a folder and in one archive of its files, and what one
// thread makes of each: each made once, when first asked for, for every
// number of threads tried.
class MixedClass
{
public:
    MixedClass()
    {
        writeMixedClass(folder_);
        named_ = {top()};
        for (const QString& name :
             QDir(folder_.dir.path()).entryList({"masterFile_*", "notes_*"})) {
            named_.push_back(folder_.path(name));
        }
    }
    std::string top() const { return folder_.dir.path().toStdString(); }
    std::string archive()
    {
        if (!zipped_) {
            std::vector<std::pair<std::string, std::string>> members;
            for (const QString& name : QDir(folder_.dir.path()).entryList(QDir::Files)) {
                members.emplace_back(name.toStdString(), folder_.read(name).toStdString());
            }
            folder_.write("class.zip", zipBytes(members));
            zipped_ = true;
        }
        return folder_.path("class.zip");
    }
    // The folder with its master and notes files named as well.
    const std::vector<std::string>& named() const { return named_; }
    // On one thread: the named files, with the workbook; the folder; the archive.
    const MixedOutput& withCopies() { return once(withCopies_, named_, "one", true); }
    const MixedOutput& inFolder() { return once(inFolder_, {top()}, "folder", false); }
    const MixedOutput& inArchive() { return once(inArchive_, {archive()}, "archive", false); }

    MixedOutput run(const std::vector<std::string>& paths, unsigned threads, const QString& out,
                    bool workbook) const
    {
        ReportOptions options{paths, false, folder_.path(out + ".csv"),
                              folder_.path(out + ".html")};
        options.threads = threads;
        if (workbook) {
            options.xlsx = folder_.path(out + ".xlsx");
        }
        MixedOutput o{report(options),
                      folder_.read(out + ".csv").toStdString(),
                      folder_.read(out + ".html"),
                      {}};
        if (workbook) {
            o.book = readWorkbook(options.xlsx);
        }
        return o;
    }
    // The texts of the folder's run as the archive's run names its files.
    std::string asMembers(std::string text) const
    {
        const std::string from = top() + '/';
        const std::string to = from + "class.zip:";
        for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
            text.replace(at, from.size(), to);
        }
        return text;
    }

private:
    const MixedOutput& once(std::optional<MixedOutput>& output,
                            const std::vector<std::string>& paths, const QString& out,
                            bool workbook)
    {
        if (!output) {
            output = run(paths, 1, out, workbook);
        }
        return *output;
    }

    Folder folder_;
    std::vector<std::string> named_;
    bool zipped_ = false;
    std::optional<MixedOutput> withCopies_;
    std::optional<MixedOutput> inFolder_;
    std::optional<MixedOutput> inArchive_;
};

MixedClass& mixedClass()
{
    static MixedClass c;
    return c;
}

class Threads : public testing::TestWithParam<unsigned>
{
};

TEST_P(Threads, GiveWhatOneThreadGives)
{
    MixedClass& c = mixedClass();
    const MixedOutput& one = c.withCopies();
    const MixedOutput many = c.run(c.named(), GetParam(), "many", true);
    EXPECT_EQ(one.outcome.status, 1);
    EXPECT_EQ(std::count(one.outcome.err.begin(), one.outcome.err.end(), '\n'), 2)
        << one.outcome.err;
    // Each long file's rows fill the writer's text more than once.
    EXPECT_GT(one.csv.size(), 1 << 20);
    EXPECT_EQ(many.outcome.status, one.outcome.status);
    EXPECT_EQ(many.outcome.err, one.outcome.err);
    EXPECT_EQ(many.outcome.out, one.outcome.out);
    EXPECT_TRUE(many.csv == one.csv);
    EXPECT_TRUE(many.page == one.page);
    ASSERT_TRUE(one.book.read && many.book.read);
    ASSERT_EQ(many.book.sheets.size(), one.book.sheets.size());
    for (std::size_t s = 0; s < one.book.sheets.size(); ++s) {
        EXPECT_TRUE(many.book.sheets[s].cells == one.book.sheets[s].cells) << s;
    }
}

// Three students, one with copies in a master and a notes file and the same
// response entered twice, with texts not in the course: what any number of
// threads gives, written out.
void writeSmallClass(const Folder& folder)
{
    const QString q2 = "`q002.  Solve x + 1 = 3.";
    const QString q1 = "`q001.  Name the slope.";
    const auto ann = [&](FileRole role) {
        return writer().opening("001", kDay, "A1") +
               ClassWriter::head(role, QTime(10, 1), "001", 2, q2, "x = 2") +
               ClassWriter::tail(Rating::confidence, "3") +
               ClassWriter::head(role, QTime(10, 2), "001", 2, "It is 2.", "right") +
               ClassWriter::tail(Rating::selfCritique, "3") +
               ClassWriter::head(role, QTime(10, 5), "001", 2, q2, "x = 2") +
               ClassWriter::tail(Rating::confidence, "3") +
               ClassWriter::note(role, kDay, QTime(10, 6), q2, "ask about \"checks\", twice");
    };
    folder.write("send_0416Ann.txt", ann(FileRole::send));
    folder.write("masterFile_Ann.txt", ann(FileRole::master));
    folder.write("notes_Ann.txt", ClassWriter::note(FileRole::notes, kDay, QTime(10, 6), q2,
                                                    "ask about \"checks\", twice"));
    folder.write("send_0416Bo.txt",
                 writer().opening("002", kDay, "B1") +
                     ClassWriter::head(FileRole::send, QTime(11, 0), "002", 1, q1, "m = 1") +
                     ClassWriter::tail(Rating::confidence, "0") +
                     ClassWriter::head(FileRole::send, QTime(11, 1), "002", 1, "It is 1.",
                                       "I mixed them up") +
                     ClassWriter::tail(Rating::selfCritique, "1"));
    folder.write("send_0417Bo.txt",
                 writer().opening("002", kDay.addDays(1), "B2") +
                     ClassWriter::head(FileRole::send, QTime(11, 0), "002", 1, q1, "m = 1") +
                     ClassWriter::tail(Rating::confidence, "2"));
    folder.write("send_0416Cy.txt", writer().opening("003", kDay, "C1") +
                                        ClassWriter::head(FileRole::send, QTime(12, 0), "003", 1,
                                                          "`q001.  Graph it.", "line 1\r\nline 2") +
                                        ClassWriter::tail(Rating::confidence, ""));
}

constexpr std::string_view kSmallClassCsv =
    "student,file,date,time,assignment,question,kind,rating,response,entry\r\n"
    "Ann,send_0416Ann.txt,2026-04-16,10:01:00,001,002,question,3,x = 2,`q002.  Solve x + 1 = 3.\r\n"
    "Ann,send_0416Ann.txt,2026-04-16,10:02:00,001,002,critique,3,right,It is 2.\r\n"
    "Ann,send_0416Ann.txt,2026-04-16,10:05:00,001,002,question,3,x = 2,`q002.  Solve x + 1 = 3.\r\n"
    "Ann,send_0416Ann.txt,2026-04-16,10:06:00,001,002,note,,\"ask about \"\"checks\"\", twice\","
    "`q002.  Solve x + 1 = 3.\r\n"
    "Bo,send_0416Bo.txt,2026-04-16,11:00:00,002,001,question,0,m = 1,`q001.  Name the slope.\r\n"
    "Bo,send_0416Bo.txt,2026-04-16,11:01:00,002,001,critique,1,I mixed them up,It is 1.\r\n"
    "Cy,send_0416Cy.txt,2026-04-16,12:00:00,003,001,question,,\"line 1\nline 2\","
    "`q001.  Graph it.\r\n"
    "Bo,send_0417Bo.txt,2026-04-17,11:00:00,002,001,question,2,m = 1,`q001.  Name the slope.\r\n";

constexpr std::string_view kSmallClassSummary =
    "Ann\n"
    "  assignment 001, 10 questions\n"
    "    run 2026-04-16 10:01:00 to 10:06:00: 1 of 10 questions answered, 1 critique, 1 note\n"
    "      confidence 0: 0, 1: 0, 2: 0, 3: 2\n"
    "      critique   0: 0, 1: 0, 2: 0, 3: 1\n"
    "      rated 0 or 1: none\n"
    "Bo\n"
    "  assignment 002, 8 questions\n"
    "    run 2026-04-16 11:00:00 to 11:01:00: 1 of 8 questions answered, 1 critique, 0 notes\n"
    "      confidence 0: 1, 1: 0, 2: 0, 3: 0\n"
    "      critique   0: 0, 1: 1, 2: 0, 3: 0\n"
    "      rated 0 or 1:\n"
    "        q001: confidence 0, critique 1\n"
    "    run 2026-04-17 11:00:00 to 11:00:00: 1 of 8 questions answered, 0 critiques, 0 notes\n"
    "      confidence 0: 0, 1: 0, 2: 1, 3: 0\n"
    "      critique   0: 0, 1: 0, 2: 0, 3: 0\n"
    "      rated 0 or 1: none\n"
    "Cy\n"
    "  assignment 003, 6 questions\n"
    "    run 2026-04-16 12:00:00 to 12:00:00: 1 of 6 questions answered, 0 critiques, 0 notes\n"
    "      confidence 0: 0, 1: 0, 2: 0, 3: 0, no rating: 1\n"
    "      critique   0: 0, 1: 0, 2: 0, 3: 0\n"
    "      rated 0 or 1: none\n";

TEST_P(Threads, GiveTheWrittenOutOutputOfASmallClass)
{
    Folder folder;
    writeSmallClass(folder);
    const std::string prefix = folder.dir.path().toStdString() + '/';
    for (const unsigned threads : {1u, GetParam()}) {
        ReportOptions options{{folder.dir.path().toStdString(), folder.path("notes_Ann.txt"),
                               folder.path("masterFile_Ann.txt")},
                              false,
                              folder.path("out.csv"),
                              {}};
        options.threads = threads;
        options.xlsx = folder.path("out.xlsx");
        const Outcome r = report(options);
        EXPECT_EQ(r.status, 0) << threads;
        EXPECT_EQ(r.err, "") << threads;
        EXPECT_EQ(r.out, kSmallClassSummary) << threads;
        std::string csv = folder.read("out.csv").toStdString();
        // The workbook's first sheet holds the CSV's rows.
        const ReadBook book = readWorkbook(options.xlsx);
        ASSERT_TRUE(book.read);
        EXPECT_EQ(sheetAsCsv(book.sheets.at(0), 10, 2, 3), csvRows(csv)) << threads;
        for (std::size_t at; (at = csv.find(prefix)) != std::string::npos;) {
            csv.erase(at, prefix.size());
        }
        EXPECT_EQ(csv, kSmallClassCsv) << threads;
    }
}

// The class's files in one archive give what the folder that holds them
// gives: the same CSV, summary, page and messages, but for the paths.
TEST_P(Threads, ReadAnArchiveAsTheFolderItHolds)
{
    MixedClass& c = mixedClass();
    const MixedOutput many[] = {c.run({c.top()}, GetParam(), "folder-many", false),
                                c.run({c.archive()}, GetParam(), "archive-many", false)};
    const MixedOutput* one[] = {&c.inFolder(), &c.inArchive()};
    EXPECT_EQ(c.inFolder().outcome.status, 1);
    EXPECT_GT(c.inFolder().csv.size(), 1 << 20);
    for (const auto& [inFolder, inArchive] :
         {std::pair(one[0], one[1]), std::pair(&many[0], &many[1])}) {
        EXPECT_EQ(inArchive->outcome.status, inFolder->outcome.status);
        EXPECT_EQ(inArchive->outcome.err, c.asMembers(inFolder->outcome.err));
        EXPECT_EQ(inArchive->outcome.out, inFolder->outcome.out);
        EXPECT_TRUE(inArchive->csv == c.asMembers(inFolder->csv));
        EXPECT_TRUE(inArchive->page == inFolder->page);
    }
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(many[i].outcome.err, one[i]->outcome.err) << i;
        EXPECT_TRUE(many[i].csv == one[i]->csv) << i;
        EXPECT_TRUE(many[i].page == one[i]->page) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Report, Threads, testing::Values(2u, 3u, 8u),
                         [](const auto& param) { return std::to_string(param.param); });

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

struct PageCase {
    const char* name;
    QString response;
    std::string shown;
};

void PrintTo(const PageCase& c, std::ostream* os)
{
    *os << c.name;
}

class Page : public testing::TestWithParam<PageCase>
{
};

TEST_P(Page, ShowsEveryTextAsText)
{
    Folder folder;
    const std::string bytes = writer().opening("001", kDay, "RUN") +
                              ClassWriter::head(FileRole::send, QTime(9, 0), "001", 1,
                                                q("001", 0).entry, GetParam().response) +
                              ClassWriter::tail(Rating::confidence, "<b>");
    folder.write("send_0416O'Neil_<b>.txt", bytes);
    const Outcome r =
        report({{folder.dir.path().toStdString()}, false, {}, folder.path("page.html")});
    EXPECT_EQ(r.status, 0) << r.err;
    const QByteArray page = folder.read("page.html");
    EXPECT_TRUE(page.contains(QByteArray::fromStdString("</h5><p>" + GetParam().shown + "</p>")));
    EXPECT_TRUE(page.contains("O&#39;Neil &lt;b&gt;"));
    EXPECT_FALSE(page.contains("<script"));
    EXPECT_FALSE(page.contains("<b>"));
    for (const char* fetches : {"src=", "href=", "@import", "url("}) {
        EXPECT_FALSE(page.contains(fetches)) << fetches;
    }
}

// Each of the characters the page escapes, alone in a text, and all of them.
INSTANTIATE_TEST_SUITE_P(
    Report, Page,
    testing::Values(PageCase{"Markup", "<script>alert(\"x\")</script> & 'y'",
                             "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; &amp; &#39;y&#39;"},
                    PageCase{"Ampersand", "x &lt; 3", "x &amp;lt; 3"},
                    PageCase{"LessThan", "x < 3", "x &lt; 3"},
                    PageCase{"GreaterThan", "x > 3", "x &gt; 3"},
                    PageCase{"Quote", "a \"b\"", "a &quot;b&quot;"},
                    PageCase{"Apostrophe", "it's", "it&#39;s"}),
    [](const auto& param) { return std::string(param.param.name); });

// A class of three on one question: Ann Lee in need, Bo Chen's confidence
// not a rating and his critique's typed with blanks, Cy Diaz's critique
// entered twice, the second time empty.
std::string pageOfASmallClass()
{
    const auto& q1 = q("001", 0);
    const auto response = [&](int minute, const QString& text, const QString& rating) {
        return ClassWriter::head(FileRole::send, QTime(9, minute), "001", q1.number, q1.entry,
                                 text) +
               ClassWriter::tail(Rating::confidence, rating);
    };
    const auto critique = [&](int minute, const QString& text, const QString& rating) {
        return ClassWriter::head(FileRole::send, QTime(9, minute), "001", q1.number, q1.answer,
                                 text) +
               ClassWriter::tail(Rating::selfCritique, rating);
    };
    Folder folder;
    folder.write("send_0416Ann_Lee.txt", writer().opening("001", kDay, "A") +
                                             response(1, "x = 5", "0") +
                                             critique(2, "wrong sign", "2") +
                                             ClassWriter::note(FileRole::send, kDay, QTime(9, 3),
                                                               q1.entry, "ask about signs"));
    folder.write("send_0416Bo_Chen.txt", writer().opening("001", kDay, "B") +
                                             response(1, "x = 2", "x") +
                                             critique(2, "right", " 3"));
    folder.write("send_0417Cy_Diaz.txt",
                 writer().opening("001", kDay.addDays(1), "C") + response(1, "x = 2", "2") +
                     critique(2, "the real critique", "2") + critique(3, "", ""));
    const Outcome r =
        report({{folder.dir.path().toStdString()}, false, {}, folder.path("page.html")});
    EXPECT_EQ(r.status, 0) << r.err;
    return folder.read("page.html").toStdString();
}

const std::string& smallClassPage()
{
    static const std::string page = pageOfASmallClass();
    return page;
}

// A row of a student's grid: from the name's heading to the row's end.
std::string rowOf(const std::string& page, const std::string& student)
{
    const std::size_t start = page.find("<tr><th class=\"student\">" + student + "<br>");
    return start == std::string::npos ? "" : page.substr(start, page.find("</tr>", start) - start);
}

struct PagePartCase {
    const char* name;
    std::string student; // the grid row to look in; empty for the whole page
    std::string part;
    bool shown = true;
};

void PrintTo(const PagePartCase& c, std::ostream* os)
{
    *os << c.name;
}

class PageParts : public testing::TestWithParam<PagePartCase>
{
};

TEST_P(PageParts, ShowWhatAnInstructorActsOn)
{
    const PagePartCase& c = GetParam();
    const std::string text =
        c.student.empty() ? smallClassPage() : rowOf(smallClassPage(), c.student);
    ASSERT_FALSE(text.empty()) << c.student;
    EXPECT_EQ(text.find(c.part) != std::string::npos, c.shown) << c.part << "\nin\n" << text;
}

INSTANTIATE_TEST_SUITE_P(
    Report, PageParts,
    testing::Values(
        PagePartCase{"StudentInNeedListedAtTheTop", "",
                     "<h2>Students who need help</h2>\n<p>The questions whose latest rating "
                     "shown in the grid is 0 or 1, most such questions first.</p>\n<table "
                     "class=\"list\">\n<tr><th>student</th><th>questions</th><th>rated 0 or "
                     "1</th></tr>\n<tr><th class=\"student\">Ann Lee</th><td>1</td><td>"
                     "assignment 001: q001 (confidence 0)</td></tr>\n</table>"},
        PagePartCase{"InvalidRatingGreyWithWhatWasTyped", "Bo Chen",
                     "<span class=\"r ri\" title=\"confidence: x\">x</span> <span class=\"r "
                     "r3\" title=\"self-critique\">3</span></summary>"},
        PagePartCase{"InvalidRatingNotShownAsNotRatedYet", "Bo Chen",
                     "<summary><span class=\"r rn\"", false},
        PagePartCase{"SecondEmptyCritiqueDoesNotHideTheFirst", "Cy Diaz",
                     "<span class=\"r r2\" title=\"self-critique\">2</span></summary>"},
        PagePartCase{"BothCritiquesListedTheShownOneFirst", "Cy Diaz",
                     "<h4>Self-critique (2, the one shown first, then newest first)</h4><h5><span "
                     "class=\"r r2\" title=\"self-critique\">2</span> 2026-04-17 09:02:00, shown "
                     "in the grid</h5><p>the real critique</p><h5><span class=\"r rn\" "
                     "title=\"self-critique\">&ndash;</span> 2026-04-17 09:03:00</h5><p "
                     "class=\"earlier\">(empty)</p>"},
        PagePartCase{"RunDatesUnderTheName", "Cy Diaz", "Cy Diaz<br><span>run 2026-04-17</span>"},
        PagePartCase{"TallyOfLowRatings", "",
                     "<tr class=\"tally\"><th class=\"student\">rated 0 or 1</th><td>1</td>"},
        PagePartCase{"TallyOfAnswers", "",
                     "<tr class=\"tally\"><th class=\"student\">answered</th><td>3</td>"},
        PagePartCase{"NoteWithItsQuestion", "",
                     "<tr><th class=\"student\">Ann Lee</th><td>q001</td><td>2026-04-16 "
                     "09:03:00</td><td class=\"text\">ask about signs</td></tr>"},
        PagePartCase{"LongWorkedAnswerFolded", "Ann Lee",
                     "<h4>Worked answer</h4><p>The system</p><details><summary>the "
                     "rest</summary><p>\n3a + 3b = 9\n4a - 5b = 3\n"},
        PagePartCase{"WholeWorkedAnswerInTheCell", "Ann Lee",
                     "8 - 5 = 3, so both equations hold.</p></details>"},
        PagePartCase{"WholeQuestionInTheCell", "Ann Lee",
                     "Check your solution in both equations.</p><h4>Response</h4>"}),
    [](const auto& param) { return std::string(param.param.name); });

// A student who answers a question a dozen times: the cell lists the latest
// ten, and counts the rest, however often it is answered.
TEST(PageCell, ListsTheLatestTenResponsesAndCountsTheRest)
{
    Folder folder;
    const auto& q1 = q("001", 0);
    std::string bytes = writer().opening("001", kDay, "A");
    for (int i = 1; i <= 12; ++i) {
        bytes += ClassWriter::head(FileRole::send, QTime(9, i), "001", q1.number, q1.entry,
                                   i == 12 ? QString() : QStringLiteral("try %1").arg(i)) +
                 ClassWriter::tail(Rating::confidence, "2");
    }
    folder.write("send_0416Ann_Lee.txt", bytes);
    report({{folder.dir.path().toStdString()}, false, {}, folder.path("page.html")});
    const std::string page = folder.read("page.html").toStdString();
    const std::string row = rowOf(page, "Ann Lee");
    EXPECT_NE(row.find("<h4>Response (12, the one shown first, then newest first)</h4>"),
              std::string::npos);
    // The eleventh, the latest that is not empty, first; then the twelfth and
    // the tenth to the third; the first two counted.
    std::vector<std::string> listed;
    for (std::size_t at = 0; (at = row.find("</h5><p>", at)) != std::string::npos; ++at) {
        listed.push_back(row.substr(at + 8, row.find("</p>", at) - at - 8));
    }
    const std::vector<std::string> expected = {"try 11", "try 10", "try 9", "try 8", "try 7",
                                               "try 6",  "try 5",  "try 4", "try 3"};
    EXPECT_EQ(listed, expected);
    EXPECT_NE(row.find("<p class=\"earlier\">(empty)</p>"), std::string::npos);
    EXPECT_NE(row.find("and 2 earlier ones, in the CSV file"), std::string::npos);
}

// Texts longer than a quarter of the page's store's block each get one of
// their own, among short ones kept before and after them.
TEST(PageCell, ShowsAVeryLongResponseWholeAmongShortOnes)
{
    Folder folder;
    const auto& qs = writer().questions("001");
    const QString longText = QString(300'000, u'7') + "!";
    std::string bytes = writer().opening("001", kDay, "A");
    for (int i = 0; i < 3; ++i) {
        bytes += ClassWriter::head(FileRole::send, QTime(9, i), "001", qs[i].number, qs[i].entry,
                                   i == 1 ? longText : QStringLiteral("short %1").arg(i)) +
                 ClassWriter::tail(Rating::confidence, "2");
    }
    folder.write("send_0416Ann_Lee.txt", bytes);
    report({{folder.dir.path().toStdString()}, false, {}, folder.path("page.html")});
    const std::string row = rowOf(folder.read("page.html").toStdString(), "Ann Lee");
    for (const std::string& shown :
         {std::string("short 0"), longText.toStdString(), std::string("short 2")}) {
        EXPECT_NE(row.find("</h5><p>" + shown + "</p>"), std::string::npos) << shown.size();
    }
}

TEST(PageRows, AreInClassListOrder)
{
    const std::string& page = smallClassPage();
    const std::size_t chen = page.find("<tr><th class=\"student\">Bo Chen<br>");
    const std::size_t diaz = page.find("<tr><th class=\"student\">Cy Diaz<br>");
    const std::size_t lee = page.find("<tr><th class=\"student\">Ann Lee<br>");
    ASSERT_NE(lee, std::string::npos);
    EXPECT_LT(chen, diaz);
    EXPECT_LT(diaz, lee);
}

struct CsvCase {
    const char* name;
    QString response;
    std::string field;
    std::string student = "Ann";
};

class CsvField : public testing::TestWithParam<CsvCase>
{
};

TEST_P(CsvField, IsQuotedAsRfc4180Asks)
{
    Folder folder;
    const QString file =
        "send_0416" + QString::fromStdString(GetParam().student).replace(u' ', u'_') + ".txt";
    folder.write(file,
                 ClassWriter::head(FileRole::send, QTime(9, 0), "001", 1, "", GetParam().response) +
                     ClassWriter::tail(Rating::none, ""));
    report({{folder.path(file)}, false, folder.path("out.csv"), {}});
    const QByteArray csv = folder.read("out.csv");
    const std::string expected = ",other,," + GetParam().field + ",\r\n";
    EXPECT_TRUE(csv.endsWith(QByteArray::fromStdString(expected))) << csv.toStdString();
    const auto rows = csvRows(csv.toStdString());
    ASSERT_EQ(rows.size(), 2u) << csv.toStdString();
    ASSERT_EQ(rows[1].size(), 10u) << csv.toStdString();
    EXPECT_EQ(rows[1][0], GetParam().student);
    EXPECT_EQ(rows[1][1], folder.path(file));
}

INSTANTIATE_TEST_SUITE_P(Report, CsvField,
                         testing::Values(CsvCase{"Plain", "x = 2", "x = 2"},
                                         CsvCase{"Comma", "1, 2", "\"1, 2\""},
                                         CsvCase{"Quote", "a \"b\"", "\"a \"\"b\"\"\""},
                                         CsvCase{"LineBreaks", "a\r\nb", "\"a\nb\""},
                                         // A name the program takes, and one only a
                                         // file renamed by hand can give.
                                         CsvCase{"NameWithAComma", "x", "x", "Lee, Ann"},
                                         CsvCase{"NameWithAQuote", "x", "x", "Ann \"Jo\" Lee"}),
                         [](const auto& param) { return std::string(param.param.name); });

struct DateCase {
    const char* name;
    QDate date;
    std::string text;
};

class DateText : public testing::TestWithParam<DateCase>
{
};

TEST_P(DateText, IsTheCalendarsDate)
{
    EXPECT_EQ(isoDate(GetParam().date), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Report, DateText,
    testing::Values(DateCase{"LeapDay", QDate(2024, 2, 29), "2024-02-29"},
                    DateCase{"AfterTheLeapDay", QDate(2024, 3, 1), "2024-03-01"},
                    DateCase{"CenturyWithoutALeapDay", QDate(1900, 3, 1), "1900-03-01"},
                    DateCase{"FourHundredthYearsLeapDay", QDate(2000, 2, 29), "2000-02-29"},
                    DateCase{"LastDayOfAYear", QDate(2026, 12, 31), "2026-12-31"},
                    DateCase{"FirstDayOfYearOne", QDate(1, 1, 1), "0001-01-01"},
                    DateCase{"YearFiveDigitsLong", QDate(12345, 6, 7), "12345-06-07"},
                    DateCase{"BeforeYearOne", QDate(-1, 12, 31), ""},
                    DateCase{"Invalid", QDate(), ""}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(DateText, IsQtsOwnForEveryDayOfFiveCenturies)
{
    for (QDate d(1800, 1, 1); d.year() < 2300; d = d.addDays(1)) {
        ASSERT_EQ(isoDate(d), d.toString(Qt::ISODate).toStdString());
    }
}

struct OutputCase {
    const char* name;
    std::string ReportOptions::*option;
    // The path to write to, in a folder holding one send file.
    std::function<std::string(const Folder&)> path;
    std::string message;
    bool summaryWritten;
};

class OutputFile : public testing::TestWithParam<OutputCase>
{
};

TEST_P(OutputFile, ThatCannotBeWrittenIsToldWithTheSystemsReason)
{
    Folder folder;
    folder.write("send_0416Ann.txt", writer().opening("001", kDay, "RUN"));
    const OutputCase& c = GetParam();
    const std::string path = c.path(folder);
    ReportOptions options{{folder.path("send_0416Ann.txt")}, false, {}, {}};
    options.*c.option = path;
    const Outcome r = report(options);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, path + ": " + c.message + "\n");
    EXPECT_EQ(r.out.find("Ann\n  assignment 001") != std::string::npos, c.summaryWritten) << r.out;
}

// What a full disk does is told after the reading; a path that cannot be
// opened before it.
INSTANTIATE_TEST_SUITE_P(
    Report, OutputFile,
    testing::Values(OutputCase{"CsvOnAFullDisk", &ReportOptions::csv,
                               [](const Folder&) { return std::string("/dev/full"); },
                               "No space left on device", true},
                    OutputCase{"PageOnAFullDisk", &ReportOptions::html,
                               [](const Folder&) { return std::string("/dev/full"); },
                               "No space left on device", true},
                    OutputCase{"WorkbookOnAFullDisk", &ReportOptions::xlsx,
                               [](const Folder&) { return std::string("/dev/full"); },
                               "No space left on device", true},
                    OutputCase{"GradesOnAFullDisk", &ReportOptions::grades,
                               [](const Folder&) { return std::string("/dev/full"); },
                               "No space left on device", true},
                    OutputCase{"CsvInAFolderThatIsNot", &ReportOptions::csv,
                               [](const Folder& f) { return f.path("none/class.csv"); },
                               "No such file or directory", false},
                    OutputCase{"PageInAFolderThatIsNot", &ReportOptions::html,
                               [](const Folder& f) { return f.path("none/class.html"); },
                               "No such file or directory", false},
                    OutputCase{"WorkbookInAFolderThatIsNot", &ReportOptions::xlsx,
                               [](const Folder& f) { return f.path("none/class.xlsx"); },
                               "No such file or directory", false},
                    OutputCase{"GradesInAFolderThatIsNot", &ReportOptions::grades,
                               [](const Folder& f) { return f.path("none/grades.csv"); },
                               "No such file or directory", false},
                    OutputCase{"WorkbookThatIsAFolder", &ReportOptions::xlsx,
                               [](const Folder& f) { return f.dir.path().toStdString(); },
                               "Is a directory", false}),
    [](const auto& param) { return std::string(param.param.name); });

struct NotReadCase {
    const char* name;
    // The path to name on the command line, and the file (and line) told of.
    std::function<std::pair<std::string, std::string>(const Folder&)> setUp;
    std::string message;
    std::string alsoRead = ""; // what the summary shows of the file told of
};

class FileNotReadWhole : public testing::TestWithParam<NotReadCase>
{
};

TEST_P(FileNotReadWhole, IsToldAndTheRestIsRead)
{
    Folder folder;
    folder.write("send_0416Ann.txt", writer().opening("001", kDay, "RUN"));
    const auto [named, told] = GetParam().setUp(folder);
    const Outcome r = report({{named, folder.path("send_0416Ann.txt")}, false, {}, {}});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, told + ": " + GetParam().message + "\n");
    EXPECT_NE(r.out.find("Ann\n  assignment 001"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(GetParam().alsoRead), std::string::npos) << r.out;
}

// Bo's send file, whose last run ends in `cut`, with `after` after it; told at
// the line after the cut.
std::pair<std::string, std::string> cutFile(const Folder& f, const std::string& cut,
                                            const std::string& after)
{
    const std::string bytes = writer().opening("001", kDay, "BO") + cut;
    f.write("send_0416Bo.txt", bytes + after);
    const std::string path = f.path("send_0416Bo.txt");
    return {path, path + ':' + std::to_string(std::count(bytes.begin(), bytes.end(), '\n') + 1)};
}

// Bo's send file of one record, whose run code "BOCODE" a test may damage.
std::string bosFile()
{
    return writer().opening("001", kDay, "BOCODE") +
           answered(FileRole::send, "001", 1, q("001", 1).entry, Rating::confidence);
}

std::uint32_t bosOpening()
{
    return static_cast<std::uint32_t>(writer().opening("001", kDay, "BOCODE").size());
}

// An archive holding Bo's send file as `member`, and beside it a picture
// large enough for the archive to hold what a member declares; forged by
// `forge`. Told of: the member.
std::pair<std::string, std::string> bosArchive(const Folder& f, const std::string& member,
                                               const std::function<void(std::string&)>& forge = {},
                                               bool deflate = true)
{
    std::string picture(300 << 10, '\0');
    std::uint32_t x = 2463534242u;
    for (char& c : picture) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
    std::string zip = zipBytes({{member, bosFile()}, {"photo.png", picture}}, deflate);
    if (forge) {
        forge(zip);
    }
    f.write("class.zip", zip);
    return {f.path("class.zip"), f.path("class.zip") + ':' + member};
}

INSTANTIATE_TEST_SUITE_P(
    Report, FileNotReadWhole,
    testing::Values(
        NotReadCase{"Missing",
                    [](const Folder& f) {
                        const std::string path = f.path("send_0416Nobody.txt");
                        return std::pair(path, path);
                    },
                    "No such file or directory"},
        NotReadCase{"AFolderNamedAsASendFile",
                    [](const Folder& f) {
                        QDir(f.dir.path()).mkpath("in/send_0416Bo.txt");
                        return std::pair(f.path("in"), f.path("in/send_0416Bo.txt"));
                    },
                    "Is a directory"},
        // A kill at a page boundary can leave a record cut after its rating line.
        NotReadCase{
            "RecordCutAfterItsRatingLine",
            [](const Folder& f) {
                const std::string record = ClassWriter::head(FileRole::send, QTime(9, 0), "001", 1,
                                                             q("001", 0).entry, "x") +
                                           ClassWriter::tail(Rating::confidence, "3");
                return cutFile(
                    f, record.substr(0, record.rfind(recordText::recordEndRule.toStdString())), "");
            },
            "expected a rating line or the closing dots; the record is skipped"},
        NotReadCase{"TornRecordWhoseLastLineLooksLikeARating",
                    [](const Folder& f) {
                        return cutFile(f,
                                       ClassWriter::head(FileRole::send, QTime(9, 0), "001", 1,
                                                         q("001", 0).entry,
                                                         "x\r\nconfidence assessment:  3"),
                                       answered(FileRole::send, "001", 1, q("001", 1).entry,
                                                Rating::confidence));
                    },
                    "expected a rating line or the closing dots; the record is skipped"},
        NotReadCase{"TextNamedAsAnArchive",
                    [](const Folder& f) {
                        f.write("class.zip", "Hello! Here is my homework.\r\n");
                        return std::pair(f.path("class.zip"), f.path("class.zip"));
                    },
                    "Not a zip archive"},
        NotReadCase{"ArchiveCutShort",
                    [](const Folder& f) {
                        const std::string zip = zipBytes({{"send_0416Bo.txt", bosFile()}});
                        f.write("class.zip", zip.substr(0, zip.size() / 2));
                        return std::pair(f.path("class.zip"), f.path("class.zip"));
                    },
                    "not a whole ZIP archive: its end, which lists its files, is missing"},
        NotReadCase{
            "MissingArchive",
            [](const Folder& f) { return std::pair(f.path("none.zip"), f.path("none.zip")); },
            "No such file or directory"},
        NotReadCase{"MemberClimbingOut",
                    [](const Folder& f) { return bosArchive(f, "../x/send_0416Bo.txt"); },
                    "skipped: its path leads out of the archive's folder"},
        NotReadCase{"MemberWithAnAbsolutePath",
                    [](const Folder& f) { return bosArchive(f, "/x/send_0416Bo.txt"); },
                    "skipped: its path leads out of the archive's folder"},
        NotReadCase{"MemberClimbingOutWithBackslashes",
                    [](const Folder& f) { return bosArchive(f, "x\\..\\..\\send_0416Bo.txt"); },
                    "skipped: its path leads out of the archive's folder"},
        // A ZIP bomb: a member declared too large, one that holds more than
        // declared, and members that all unpack the same bytes.
        NotReadCase{"MemberDeclaredLargerThanAnySendFile",
                    [](const Folder& f) {
                        return bosArchive(f, "send_0416Bo.txt", [](std::string& zip) {
                            declareZipSize(zip, "send_0416Bo.txt", 300u << 20);
                        });
                    },
                    "not read: 300 MiB unpacked, more than any send file (256 MiB at most)"},
        // Declared as its opening record alone, which is read.
        NotReadCase{"MemberHoldingMoreThanDeclared",
                    [](const Folder& f) {
                        return bosArchive(f, "send_0416Bo.txt", [](std::string& zip) {
                            declareZipSize(zip, "send_0416Bo.txt", bosOpening());
                        });
                    },
                    "holds more than the archive declares (" + std::to_string(bosOpening()) +
                        " bytes); read up to there",
                    "Bo\n  assignment 001"},
        NotReadCase{
            "MembersDeclaringMoreThanTheArchiveHolds",
            [](const Folder& f) {
                std::string zip = zipBytes({{"send_0416Bo.txt", bosFile()},
                                            {"send_0417Bo.txt", bosFile()},
                                            {"send_0418Bo.txt", bosFile()}});
                for (const char* name : {"send_0416Bo.txt", "send_0417Bo.txt", "send_0418Bo.txt"}) {
                    declareZipSize(zip, name, 200u << 20);
                }
                f.write("class.zip", zip);
                return std::pair(f.path("class.zip"), f.path("class.zip"));
            },
            "its files would unpack to 600 MiB, more than an archive of its size can "
            "hold; not read"},
        NotReadCase{"DamagedMember",
                    [](const Folder& f) {
                        return bosArchive(
                            f, "send_0416Bo.txt",
                            [](std::string& zip) { zip[zip.find("BOCODE") + 5] ^= 1; }, false);
                    },
                    "CRC error"},
        // Shown as UTF-8, guessed as older ZIP programs wrote names, and what
        // a terminal takes as control replaced.
        NotReadCase{"MemberNamedInAnotherCodePage",
                    [](const Folder& f) {
                        f.write("class.zip", zipBytes({{"send_0416Bo\xe9.txt", "Hello!\r\n"}}));
                        return std::pair(f.path("class.zip"),
                                         f.path("class.zip") + ":send_0416Bo\u0398.txt:1");
                    },
                    "expected an opening record or the first rule of a record; the lines up to "
                    "the next record are skipped"},
        NotReadCase{"MemberNamedWithALineBreak",
                    [](const Folder& f) {
                        f.write("class.zip", zipBytes({{"send_0416Bo\nZed.txt", "Hello!\r\n"}}));
                        return std::pair(f.path("class.zip"),
                                         f.path("class.zip") + ":send_0416Bo\ufffdZed.txt:1");
                    },
                    "expected an opening record or the first rule of a record; the lines up to "
                    "the next record are skipped"},
        NotReadCase{"MemberNamedWithAnEscape",
                    [](const Folder& f) {
                        f.write("class.zip", zipBytes({{"send_0416Bo\x1b[2J.txt", "Hello!\r\n"}}));
                        return std::pair(f.path("class.zip"),
                                         f.path("class.zip") + ":send_0416Bo\u2190[2J.txt:1");
                    },
                    "expected an opening record or the first rule of a record; the lines up to "
                    "the next record are skipped"},
        NotReadCase{"MemberMarkedUtf8ButNot",
                    [](const Folder& f) {
                        std::string zip = zipBytes({{"send_0416Bo\xe9.txt", bosFile()}});
                        const ZipMemberAt at = zipMemberAt(zip, "send_0416Bo\xe9.txt");
                        zip[at.central + 9] |= 0x08;
                        zip[at.local + 7] |= 0x08;
                        f.write("class.zip", zip);
                        return std::pair(f.path("class.zip"), f.path("class.zip"));
                    },
                    "Zip archive inconsistent"}),
    [](const auto& param) { return std::string(param.param.name); });

struct CommandCase {
    const char* name;
    std::vector<const char*> args;
    int status; // -1: the options are returned
    const char* err;
    // The output options returned, as "csv html xlsx grades bom".
    std::string outputs = {};
};

class CommandLine : public testing::TestWithParam<CommandCase>
{
};

TEST_P(CommandLine, AnswersAsQaTutorDoes)
{
    std::vector<const char*> argv = {"qa-tutor-report"};
    argv.insert(argv.end(), GetParam().args.begin(), GetParam().args.end());
    std::ostringstream out;
    std::ostringstream err;
    const auto parsed =
        parseReportCommandLine(static_cast<int>(argv.size()), argv.data(), out, err);
    const int* status = std::get_if<int>(&parsed);
    EXPECT_EQ(status ? *status : -1, GetParam().status);
    EXPECT_EQ(err.str().substr(0, err.str().find('\n')), GetParam().err);
    if (GetParam().status == 2) {
        EXPECT_NE(err.str().find("\nUsage: qa-tutor-report"), std::string::npos);
        EXPECT_TRUE(out.str().empty());
    }
    if (const auto* o = std::get_if<ReportOptions>(&parsed); o && !GetParam().outputs.empty()) {
        EXPECT_EQ(o->csv + ' ' + o->html + ' ' + o->xlsx + ' ' + o->grades + ' ' +
                      (o->csvBom ? "bom" : "no bom"),
                  GetParam().outputs);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Report, CommandLine,
    testing::Values(
        CommandCase{"Version", {"--version"}, 0, ""}, CommandCase{"Help", {"--help"}, 0, ""},
        CommandCase{"Files", {"--csv", "a.csv", "--recursive", "dir", "--", "-odd"}, -1, ""},
        CommandCase{"NothingToRead", {}, 2, "qa-tutor-report: no file or folder to read"},
        CommandCase{
            "OnlyOptions", {"--csv", "a.csv"}, 2, "qa-tutor-report: no file or folder to read"},
        CommandCase{"UnknownOption", {"-x", "dir"}, 2, "qa-tutor-report: unexpected argument '-x'"},
        CommandCase{
            "CsvWithoutFile", {"dir", "--csv"}, 2, "qa-tutor-report: option '--csv' needs a file"},
        CommandCase{"AllOutputs",
                    {"--xlsx", "a.xlsx", "--grades", "g.csv", "--csv-bom", "--html", "p.html",
                     "--csv", "a.csv", "dir"},
                    -1,
                    "",
                    "a.csv p.html a.xlsx g.csv bom"},
        CommandCase{"XlsxWithoutFile",
                    {"dir", "--xlsx"},
                    2,
                    "qa-tutor-report: option '--xlsx' needs a file"},
        CommandCase{"GradesWithAnEmptyFile",
                    {"--grades", "", "dir"},
                    2,
                    "qa-tutor-report: option '--grades' needs a file"},
        CommandCase{"BomWithoutACsv",
                    {"--csv-bom", "--xlsx", "a.xlsx", "dir"},
                    2,
                    "qa-tutor-report: option '--csv-bom' needs '--csv' or '--grades'"},
        CommandCase{"VersionWithMore",
                    {"--version", "dir"},
                    2,
                    "qa-tutor-report: unexpected argument '--version'"}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
