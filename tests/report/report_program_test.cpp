// qa-tutor-report itself on the send files of a small class.
#include "class_files.h"
#include "sample_class.h"
#include "workbook_reading.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>

namespace
{

using Rating = ResponseTail::Rating;

class ClassFolder : public testing::Test
{
protected:
    void write(const QString& name, const std::string& bytes)
    {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    std::string read(const QString& name)
    {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    }
    std::string path(const QString& name) { return dir.filePath(name).toStdString(); }

    // The class's send files and a file that is not one; the line of Bo's
    // torn record.
    long long writeClass()
    {
        const QDate day1(2026, 4, 16);
        const QDate day2(2026, 4, 17);
        QTime clock(9, 0);
        write("send_0416Ann_Lee.txt",
              w.run(FileRole::send, "001", day1, clock, "AAA", 10, "Ann Lee"));
        clock = QTime(9, 0);
        std::string ann = w.run(FileRole::send, "001", day2, clock, "AAB", 5, "Ann Lee");
        ann += w.run(FileRole::send, "002", day2, clock, "AAC", 3, "Ann Lee");
        ann += ClassWriter::note(FileRole::send, day2, clock.addSecs(30),
                                 w.questions("002")[2].answer, "ask about step 2");
        write("send_0417Ann_Lee.txt", ann);

        // Bo's run ends in a crash while the rating prompt is open; Bo starts again.
        clock = QTime(13, 0);
        std::string bo = w.run(FileRole::send, "002", day1, clock, "BBB", 4, "Bo Chen");
        bo += ClassWriter::head(FileRole::send, clock.addSecs(60), "002", 5,
                                w.questions("002")[4].entry, "I think 7");
        const auto tornLine = std::count(bo.begin(), bo.end(), '\n') + 1;
        clock = QTime(14, 0);
        bo += w.run(FileRole::send, "002", day1, clock, "BBC", 2, "Bo Chen");
        write("send_0416Bo_Chen.txt", bo);

        clock = QTime(16, 0);
        std::string cyFile = w.run(FileRole::send, "001", day1, clock, "CCC", 3, "Cy Diaz");
        cyFile += ClassWriter::head(FileRole::send, clock.addSecs(60), "001", 4,
                                    w.questions("001")[3].entry,
                                    "<script>alert(1)</script>\r\nsecond line, with a comma");
        cyFile += ClassWriter::tail(Rating::confidence, "1");
        write("send_0416Cy_Diaz.txt", cyFile);
        write("send_0417Zed.txt", "Hello! Here is my homework.\r\nx = 2\r\n");
        write("notes.txt", "not a send file, so not read");
        return tornLine;
    }

    // The program's exit status, standard error and output.
    struct Run {
        int status = -1;
        std::string err;
        std::string out;
    };
    static Run run(const QStringList& arguments)
    {
        QProcess report;
        report.start(QStringLiteral(QA_TUTOR_REPORT_PROGRAM), arguments);
        // A hang fails here.
        if (!report.waitForFinished(60000)) {
            report.kill();
            report.waitForFinished();
        }
        return {report.exitStatus() == QProcess::NormalExit ? report.exitCode() : -1,
                report.readAllStandardError().toStdString(),
                report.readAllStandardOutput().toStdString()};
    }

    QTemporaryDir dir;
    QTemporaryDir out;
    ClassWriter w;
};

TEST_F(ClassFolder, ReportsTheTwoProblemsAndWritesEverythingElse)
{
    const long long tornLine = writeClass();
    QProcess report;
    report.start(
        QStringLiteral(QA_TUTOR_REPORT_PROGRAM),
        {dir.path(), "--csv", out.filePath("class.csv"), "--html", out.filePath("class.html")});
    ASSERT_TRUE(report.waitForFinished(60000));
    const std::string err = report.readAllStandardError().toStdString();
    const std::string summary = report.readAllStandardOutput().toStdString();

    EXPECT_EQ(report.exitCode(), 1);
    // The file that is not a record file is told first, as the folder is listed.
    EXPECT_EQ(err, path("notes.txt") +
                       ": skipped: not a record file name (send_MMDDName.txt, "
                       "masterFile_Name.txt or notes_Name.txt)\n" +
                       path("send_0416Bo_Chen.txt") + ':' + std::to_string(tornLine) +
                       ": expected a rating line or the closing dots; the record is skipped\n" +
                       path("send_0417Zed.txt") +
                       ":1: expected an opening record or the first rule of a record; the lines "
                       "up to the next record are skipped\n");

    const auto csv = csvRows([&] {
        QFile f(out.filePath("class.csv"));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    }());
    ASSERT_FALSE(csv.empty());
    EXPECT_EQ(csv[0],
              (std::vector<std::string>{"student", "file", "date", "time", "assignment", "question",
                                        "kind", "rating", "response", "entry"}));
    // 20 + 10 + 6 + 1 note of Ann's, 8 + 4 of Bo's, 6 + 1 of Cy's.
    EXPECT_EQ(csv.size() - 1, 56u);
    EXPECT_TRUE(std::all_of(csv.begin(), csv.end(), [](const auto& r) { return r.size() == 10; }));
    const std::vector<std::string> cy = {
        "Cy Diaz",
        path("send_0416Cy_Diaz.txt"),
        "2026-04-16",
        "16:07:00",
        "001",
        "004",
        "question",
        "1",
        "<script>alert(1)</script>\nsecond line, with a comma",
        w.questions("001")[3].entry.split("\r\n")[0].toStdString()};
    EXPECT_NE(std::find(csv.begin(), csv.end(), cy), csv.end());
    const std::vector<std::string> note = {
        "Ann Lee",
        path("send_0417Ann_Lee.txt"),
        "2026-04-17",
        "09:16:30",
        "002",
        "003",
        "note",
        "",
        "ask about step 2",
        w.questions("002")[2].answer.split("\r\n")[0].toStdString()};
    EXPECT_NE(std::find(csv.begin(), csv.end(), note), csv.end());

    for (const char* line :
         {"Ann Lee\n  assignment 001, 10 questions\n"
          "    run 2026-04-16 09:01:00 to 09:20:00: 10 of 10 questions answered, 10 critiques, "
          "0 notes\n",
          "    run 2026-04-17 09:01:00 to 09:10:00: 5 of 10 questions answered, 5 critiques, "
          "0 notes\n",
          "  assignment 002, 8 questions\n"
          "    run 2026-04-17 09:11:00 to 09:16:30: 3 of 8 questions answered, 3 critiques, "
          "1 note\n",
          "Bo Chen\n  assignment 002, 8 questions\n"
          "    run 2026-04-16 13:01:00 to 13:08:00: 4 of 8 questions answered, 4 critiques, "
          "0 notes\n"
          "      confidence 0: 1, 1: 1, 2: 1, 3: 1\n"
          "      critique   0: 1, 1: 1, 2: 1, 3: 1\n"
          "      rated 0 or 1:\n"
          "        q001: confidence 0, critique 1\n"
          "        q002: confidence 1\n"
          "        q004: critique 0\n"
          "    run 2026-04-16 14:01:00 to 14:04:00: 2 of 8 questions answered, 2 critiques, "
          "0 notes\n",
          "Cy Diaz\n"}) {
        EXPECT_NE(summary.find(line), std::string::npos) << line << "\nin\n" << summary;
    }
    EXPECT_EQ(summary.find("Zed"), std::string::npos);
    // As class lists are: by last name.
    EXPECT_LT(summary.find("Bo Chen\n"), summary.find("Cy Diaz\n"));
    EXPECT_LT(summary.find("Cy Diaz\n"), summary.find("Ann Lee\n"));

    const std::string page = [&] {
        QFile f(out.filePath("class.html"));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    }();
    EXPECT_NE(page.find("<h2>Assignment 001</h2>"), std::string::npos);
    EXPECT_NE(page.find("<h2>Assignment 002</h2>"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    // The one script is the page's own, after every text from a file.
    EXPECT_EQ(page.find("<script"), page.find("</main>\n<script>") + 8);
    // Ann's ten questions of 001, Cy's four; Ann's three of 002, Bo's four.
    std::size_t cells = 0;
    for (std::size_t at = 0; (at = page.find("<td><details>", at)) != std::string::npos; ++at) {
        ++cells;
    }
    EXPECT_EQ(cells, 10u + 4u + 3u + 4u);
}

// libxlsxwriter tells its own failures on standard error; the program tells
// each once, with the file.
TEST_F(ClassFolder, TellsAWorkbookNotWrittenOnce)
{
    QTime clock(9, 0);
    write("send_0416Ann_Lee.txt",
          w.run(FileRole::send, "001", QDate(2026, 4, 16), clock, "AAA", 2, "Ann Lee"));
    QProcess report;
    report.start(QStringLiteral(QA_TUTOR_REPORT_PROGRAM),
                 {dir.path(), "--xlsx", "/dev/full", "--grades", out.filePath("grades.csv")});
    ASSERT_TRUE(report.waitForFinished(60000));
    EXPECT_EQ(report.exitCode(), 1);
    EXPECT_EQ(report.readAllStandardError().toStdString(), "/dev/full: No space left on device\n");
    EXPECT_TRUE(report.readAllStandardOutput().startsWith("Ann Lee\n"));
    QFile grades(out.filePath("grades.csv"));
    ASSERT_TRUE(grades.open(QIODevice::ReadOnly));
    EXPECT_TRUE(grades.readAll().contains("\r\nAnn Lee,2,10,2,"));
}

// The class's files zipped, deflated, give what the folder gives, but for
// the paths: the same exit status, messages, summary and CSV, byte for byte.
TEST_F(ClassFolder, ReadsAZipOfTheClassAsTheFolderItHolds)
{
    writeClass();
    std::vector<std::pair<std::string, std::string>> files;
    for (const QString& name : QDir(dir.path()).entryList(QDir::Files)) {
        files.emplace_back(name.toStdString(), read(name));
    }
    const QString zip = out.filePath("class.zip");
    {
        QFile f(zip);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const std::string bytes = zipBytes(files);
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    const Run folder = run({dir.path(), "--csv", out.filePath("folder.csv")});
    const std::string folderCsv = [&] {
        QFile f(out.filePath("folder.csv"));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    }();
    const Run archive = run({zip, "--csv", out.filePath("archive.csv")});
    const std::string archiveCsv = [&] {
        QFile f(out.filePath("archive.csv"));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    }();
    const auto asMembers = [&](std::string text) {
        const std::string from = dir.path().toStdString() + '/';
        const std::string to = zip.toStdString() + ':';
        for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
            text.replace(at, from.size(), to);
        }
        return text;
    };
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(archive.status, folder.status);
    EXPECT_EQ(std::count(folder.err.begin(), folder.err.end(), '\n'), 3) << folder.err;
    EXPECT_EQ(archive.err, asMembers(folder.err));
    EXPECT_NE(folder.out.find("Ann Lee\n"), std::string::npos);
    EXPECT_EQ(archive.out, folder.out);
    EXPECT_EQ(csvRows(folderCsv).size(), 57u);
    EXPECT_EQ(archiveCsv, asMembers(folderCsv));
}

// Each bad archive is told once, and the rest is read: no crash, no hang.
TEST_F(ClassFolder, TellsEachBadArchiveOnceAndReadsTheRest)
{
    QTime clock(9, 0);
    const std::string ann =
        w.run(FileRole::send, "001", QDate(2026, 4, 16), clock, "AAA", 2, "Ann Lee");
    write("send_0416Ann_Lee.txt", ann);
    write("text.zip", "Hello! Here is my homework.\r\n");
    const std::string whole = zipBytes({{"send_0416Bo.txt", ann}});
    write("cut.zip", whole.substr(0, whole.size() - 10));
    write("climbing.zip", zipBytes({{"../../send_0416Bo.txt", ann}}));
    std::string damaged = zipBytes({{"send_0416Bo.txt", ann}}, false);
    damaged[damaged.find("AAA")] ^= 1;
    write("damaged.zip", damaged);
    std::string bomb = zipBytes({{"send_0416Bo.txt", ann}, {"send_0417Bo.txt", ann}});
    declareZipSize(bomb, "send_0416Bo.txt", 250u << 20);
    declareZipSize(bomb, "send_0417Bo.txt", 250u << 20);
    write("bomb.zip", bomb);

    QStringList arguments;
    for (const char* name : {"text.zip", "cut.zip", "climbing.zip", "damaged.zip", "bomb.zip",
                             "send_0416Ann_Lee.txt"}) {
        arguments << dir.filePath(name);
    }
    const Run r = run(arguments);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              path("text.zip") + ": Not a zip archive\n" + path("cut.zip") +
                  ": not a whole ZIP archive: its end, which lists its files, is missing\n" +
                  path("climbing.zip") +
                  ":../../send_0416Bo.txt: skipped: its path leads out of the archive's folder\n" +
                  path("bomb.zip") +
                  ": its files would unpack to 500 MiB, more than an archive of its size can "
                  "hold; not read\n" +
                  path("damaged.zip") + ":send_0416Bo.txt: CRC error\n");
    EXPECT_NE(r.out.find("Ann Lee\n  assignment 001"), std::string::npos) << r.out;
}

// What an instructor does with a course site's download: one row per real
// student in the gradebook (the copy, the site's prefix and the LF file read
// as theirs), the students in need at the top of the page with each
// question's tally, and a workbook with the right characters and codes.
TEST_F(ClassFolder, TurnsACourseSitesDownloadIntoWhatAnInstructorNeeds)
{
    std::vector<std::pair<std::string, std::string>> files;
    for (const SampleFile& f : courseSiteDownload(w)) {
        files.emplace_back(f.path.toStdString(), f.bytes);
    }
    write("submissions.zip", zipBytes(files));
    const Run r =
        run({dir.filePath("submissions.zip"), "--xlsx", out.filePath("class.xlsx"), "--grades",
             out.filePath("grades.csv"), "--html", out.filePath("class.html")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");

    QFile gradesFile(out.filePath("grades.csv"));
    ASSERT_TRUE(gradesFile.open(QIODevice::ReadOnly));
    const auto grades = csvRows(gradesFile.readAll().toStdString());
    std::vector<std::string> students;
    for (std::size_t i = 1; i < grades.size(); ++i) {
        students.push_back(grades[i][0]);
    }
    const std::vector<std::string> classList = {"Bo Chen", "Carla Diaz", "Ann Lee", "José Núñez",
                                                "Dee Park"};
    EXPECT_EQ(students, classList);
    // Bo's second critique was empty: his first one's rating counts.
    EXPECT_EQ(grades[1],
              (std::vector<std::string>{"Bo Chen", "1", "10", "1", "2.00", "2.00", "2026-12-09"}));

    QFile pageFile(out.filePath("class.html"));
    ASSERT_TRUE(pageFile.open(QIODevice::ReadOnly));
    const std::string page = pageFile.readAll().toStdString();
    const std::size_t help = page.find("<h2>Students who need help</h2>");
    const std::size_t ann = page.find("<tr><th class=\"student\">Ann Lee</th><td>7</td>");
    const std::size_t jose = page.find("<tr><th class=\"student\">José Núñez</th><td>2</td>");
    const std::size_t grid = page.find("<h2>Assignment 001</h2>");
    EXPECT_LT(help, ann);
    EXPECT_LT(ann, jose);
    EXPECT_LT(jose, grid);
    EXPECT_NE(grid, std::string::npos);
    // q001: Ann rated its critique 1; q002: José; q003: both. All five answered q001.
    EXPECT_NE(page.find("<th class=\"student\">rated 0 or 1</th><td>1</td><td>1</td><td>2</td>"),
              std::string::npos);
    EXPECT_NE(page.find("<th class=\"student\">answered</th><td>5</td><td>3</td>"),
              std::string::npos);

    const ReadBook book = readWorkbook(out.filePath("class.xlsx").toStdString());
    ASSERT_TRUE(book.read);
    const ReadSheet* responses = book.sheet("Responses");
    ASSERT_NE(responses, nullptr);
    bool joseSeen = false;
    bool formulaLike = false;
    for (int row = 1; row < responses->rows; ++row) {
        const ReadCell* student = responses->at(row, 0);
        const ReadCell* assignment = responses->at(row, 4);
        const ReadCell* response = responses->at(row, 8);
        ASSERT_TRUE(student && assignment) << row;
        EXPECT_EQ(assignment->kind, ReadCell::Kind::text);
        EXPECT_EQ(assignment->text, "001");
        if (!response) {
            continue; // an empty critique
        }
        joseSeen = joseSeen || (student->text == "José Núñez" && response->text == "x = ½ ± ¾?");
        if (response->text.starts_with("=SUM(")) {
            formulaLike = true;
            EXPECT_EQ(response->kind, ReadCell::Kind::text);
        }
    }
    EXPECT_TRUE(joseSeen);
    EXPECT_TRUE(formulaLike);
    const ReadSheet* gradebook = book.sheet("Gradebook");
    ASSERT_NE(gradebook, nullptr);
    EXPECT_EQ(gradebook->rows, 6);
}

} // namespace
