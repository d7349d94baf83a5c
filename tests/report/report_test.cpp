#include "class_files.h"

#include "bank/course.h"
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
#include <sstream>

namespace
{

using Rating = ResponseTail::Rating;

const ClassWriter& writer()
{
    static const ClassWriter w;
    return w;
}

const CourseIndex& course()
{
    static const CourseIndex c(courseEntries());
    return c;
}

const QDate kDay(2026, 4, 16);

struct Rows : RowSink {
    void row(const ReportRow& r) override
    {
        read.push_back(std::string(kindName(r.kind)) + ' ' + r.assignment + ' ' +
                       std::to_string(r.question));
    }
    std::vector<std::string> read;
};

std::vector<std::string> rowsOf(const std::string& bytes)
{
    Rows rows;
    Report report(course(), &rows);
    const std::string student = "Ann Lee";
    const std::string file = "f";
    report.beginFile(student, file, false);
    readRecords(bytes, report);
    return rows.read;
}

const ClassWriter::Question& q(const char* assignment, int i)
{
    return writer().questions(assignment)[static_cast<std::size_t>(i)];
}

std::string answered(FileRole role, const char* assignment, int i, const QString& entry,
                     Rating rating)
{
    return ClassWriter::head(role, QTime(9, 0, i), assignment, q(assignment, i).number, entry,
                             "x") +
           ClassWriter::tail(rating, "2");
}

struct PlaceCase {
    const char* name;
    std::function<std::string()> bytes;
    std::vector<std::string> rows;
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
    EXPECT_EQ(rowsOf(GetParam().bytes()), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Report, QuestionOfARecord,
    testing::Values(PlaceCase{"QuestionsByTheirNumber",
                              [] {
                                  return writer().opening("002", kDay, "RUN") +
                                         answered(FileRole::send, "002", 2, q("002", 2).entry,
                                                  Rating::confidence);
                              },
                              {"question 002 3"}},
                    PlaceCase{"MasterFileByItsNumberLine",
                              [] {
                                  return answered(FileRole::master, "004", 1, q("004", 1).entry,
                                                  Rating::confidence);
                              },
                              {"question 004 2"}},
                    PlaceCase{"CritiqueByItsWorkedAnswerNotTheLastQuestion",
                              [] {
                                  return writer().opening("003", kDay, "RUN") +
                                         answered(FileRole::send, "003", 3, q("003", 3).entry,
                                                  Rating::confidence) +
                                         answered(FileRole::send, "003", 1, q("003", 1).answer,
                                                  Rating::selfCritique);
                              },
                              {"question 003 4", "critique 003 2"}},
                    PlaceCase{"CritiqueOfATextNotInTheCourseByTheLastQuestion",
                              [] {
                                  return writer().opening("003", kDay, "RUN") +
                                         answered(FileRole::send, "003", 3, q("003", 3).entry,
                                                  Rating::confidence) +
                                         answered(FileRole::send, "003", 1, "an edited answer",
                                                  Rating::selfCritique);
                              },
                              {"question 003 4", "critique 003 4"}},
                    PlaceCase{"NoteOnAWorkedAnswer",
                              [] {
                                  return ClassWriter::note(FileRole::notes, kDay, QTime(9, 0),
                                                           q("005", 2).answer, "ask about this");
                              },
                              {"note 005 3"}},
                    PlaceCase{"ResponseBeforeAnyEntry",
                              [] {
                                  return writer().opening("001", kDay, "RUN") +
                                         ClassWriter::head(FileRole::send, QTime(9, 0), "001", 0,
                                                           "", "hi") +
                                         ClassWriter::tail(Rating::none, "");
                              },
                              {"other 001 0"}}));

struct Folder {
    QTemporaryDir dir;
    std::string path(const QString& name) const { return dir.filePath(name).toStdString(); }
    void write(const QString& name, const std::string& bytes) const
    {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    QByteArray read(const QString& name) const
    {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

struct Outcome {
    int status = 0;
    std::string out;
    std::string err;
};

Outcome report(const ReportOptions& options)
{
    std::ostringstream out;
    std::ostringstream err;
    const int status = runReport(options, out, err);
    return {status, out.str(), err.str()};
}

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
        OrderedOutput output(3, csv, err);
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
        EXPECT_EQ(output.csvError(), 0);
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

class Threads : public testing::TestWithParam<unsigned>
{
};

TEST_P(Threads, GiveWhatOneThreadGives)
{
    Folder folder;
    writeMixedClass(folder);
    std::vector<std::string> named = {folder.dir.path().toStdString()};
    for (const QString& name : QDir(folder.dir.path()).entryList({"masterFile_*", "notes_*"})) {
        named.push_back(folder.path(name));
    }
    const auto run = [&](unsigned threads, const QString& out) {
        ReportOptions options{named, false, folder.path(out + ".csv"), folder.path(out + ".html")};
        options.threads = threads;
        Outcome outcome = report(options);
        return std::tuple(outcome, folder.read(out + ".csv"), folder.read(out + ".html"));
    };
    const auto [one, oneCsv, onePage] = run(1, "one");
    const auto [many, manyCsv, manyPage] = run(GetParam(), "many");
    EXPECT_EQ(one.status, 1);
    EXPECT_EQ(std::count(one.err.begin(), one.err.end(), '\n'), 2) << one.err;
    // Each long file's rows fill the writer's text more than once.
    EXPECT_GT(oneCsv.size(), 1 << 20);
    EXPECT_EQ(many.status, one.status);
    EXPECT_EQ(many.err, one.err);
    EXPECT_EQ(many.out, one.out);
    EXPECT_TRUE(manyCsv == oneCsv);
    EXPECT_TRUE(manyPage == onePage);
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

TEST(Page, ShowsEveryTextAsText)
{
    Folder folder;
    const std::string bytes =
        writer().opening("001", kDay, "RUN") +
        ClassWriter::head(FileRole::send, QTime(9, 0), "001", 1, q("001", 0).entry,
                          "<script>alert(\"x\")</script> & 'y'") +
        ClassWriter::tail(Rating::confidence, "<b>");
    folder.write("send_0416O'Neil_<b>.txt", bytes);
    const Outcome r =
        report({{folder.dir.path().toStdString()}, false, {}, folder.path("page.html")});
    EXPECT_EQ(r.status, 0) << r.err;
    const QByteArray page = folder.read("page.html");
    EXPECT_TRUE(
        page.contains("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; &amp; &#39;y&#39;"));
    EXPECT_TRUE(page.contains("O&#39;Neil &lt;b&gt;"));
    EXPECT_FALSE(page.contains("<script"));
    EXPECT_FALSE(page.contains("<b>"));
    for (const char* fetches : {"src=", "href=", "@import", "url("}) {
        EXPECT_FALSE(page.contains(fetches)) << fetches;
    }
}

struct CsvCase {
    const char* name;
    QString response;
    std::string field;
};

class CsvField : public testing::TestWithParam<CsvCase>
{
};

TEST_P(CsvField, IsQuotedAsRfc4180Asks)
{
    Folder folder;
    folder.write("send_0416Ann.txt",
                 ClassWriter::head(FileRole::send, QTime(9, 0), "001", 1, "", GetParam().response) +
                     ClassWriter::tail(Rating::none, ""));
    report({{folder.path("send_0416Ann.txt")}, false, folder.path("out.csv"), {}});
    const QByteArray csv = folder.read("out.csv");
    const std::string expected = ",other,," + GetParam().field + ",\r\n";
    EXPECT_TRUE(csv.endsWith(QByteArray::fromStdString(expected))) << csv.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Report, CsvField,
                         testing::Values(CsvCase{"Plain", "x = 2", "x = 2"},
                                         CsvCase{"Comma", "1, 2", "\"1, 2\""},
                                         CsvCase{"Quote", "a \"b\"", "\"a \"\"b\"\"\""},
                                         CsvCase{"LineBreaks", "a\r\nb", "\"a\nb\""}),
                         [](const auto& param) { return std::string(param.param.name); });

struct OutputCase {
    const char* name;
    bool csv; // else the page
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
    (c.csv ? options.csv : options.html) = path;
    const Outcome r = report(options);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, path + ": " + c.message + "\n");
    EXPECT_EQ(r.out.find("Ann\n  assignment 001") != std::string::npos, c.summaryWritten) << r.out;
}

// What a full disk does is told after the reading; a path that cannot be
// opened before it.
INSTANTIATE_TEST_SUITE_P(
    Report, OutputFile,
    testing::Values(OutputCase{"CsvOnAFullDisk", true,
                               [](const Folder&) { return std::string("/dev/full"); },
                               "No space left on device", true},
                    OutputCase{"PageOnAFullDisk", false,
                               [](const Folder&) { return std::string("/dev/full"); },
                               "No space left on device", true},
                    OutputCase{"CsvInAFolderThatIsNot", true,
                               [](const Folder& f) { return f.path("none/class.csv"); },
                               "No such file or directory", false},
                    OutputCase{"PageInAFolderThatIsNot", false,
                               [](const Folder& f) { return f.path("none/class.html"); },
                               "No such file or directory", false}),
    [](const auto& param) { return std::string(param.param.name); });

struct UnreadableCase {
    const char* name;
    // The path to name on the command line, and the file told of.
    std::function<std::pair<std::string, std::string>(const Folder&)> setUp;
    std::string message;
};

class UnreadableFile : public testing::TestWithParam<UnreadableCase>
{
};

TEST_P(UnreadableFile, IsToldWithTheSystemsReasonAndTheRestIsRead)
{
    Folder folder;
    folder.write("send_0416Ann.txt", writer().opening("001", kDay, "RUN"));
    const auto [named, told] = GetParam().setUp(folder);
    const Outcome r = report({{named, folder.path("send_0416Ann.txt")}, false, {}, {}});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, told + ": " + GetParam().message + "\n");
    EXPECT_NE(r.out.find("Ann\n  assignment 001"), std::string::npos) << r.out;
}

INSTANTIATE_TEST_SUITE_P(
    Report, UnreadableFile,
    testing::Values(UnreadableCase{"Missing",
                                   [](const Folder& f) {
                                       const std::string path = f.path("send_0416Nobody.txt");
                                       return std::pair(path, path);
                                   },
                                   "No such file or directory"},
                    UnreadableCase{"AFolderNamedAsASendFile",
                                   [](const Folder& f) {
                                       QDir(f.dir.path()).mkpath("in/send_0416Bo.txt");
                                       return std::pair(f.path("in"), f.path("in/send_0416Bo.txt"));
                                   },
                                   "Is a directory"}),
    [](const auto& param) { return std::string(param.param.name); });

struct CommandCase {
    const char* name;
    std::vector<const char*> args;
    int status; // -1: the options are returned
    const char* err;
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
        CommandCase{"VersionWithMore",
                    {"--version", "dir"},
                    2,
                    "qa-tutor-report: unexpected argument '--version'"}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
