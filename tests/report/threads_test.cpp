#include "mixed_class.h"
#include "report/class_reading.h"
#include "report_fixture.h"
#include "workbook_reading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>

namespace
{

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

// A window follows a run file by file and may stop it: what is told of
// each file read, on any thread, counts each once; a stop leaves the files
// not begun unread and writes nothing more.
TEST(Progress, CountsEachFileAndStopsWhenAsked)
{
    Folder folder;
    for (int s = 0; s < 12; ++s) {
        QTime clock(9, 0);
        const QString name = QStringLiteral("Student_%1").arg(s);
        folder.write("send_0416" + name + ".txt", writer().run(FileRole::send, "001", kDay, clock,
                                                               "R" + std::to_string(s), 2, name));
    }
    for (const bool stopping : {false, true}) {
        ReportOptions options{
            {folder.dir.path().toStdString()}, false, folder.path("c.csv"), folder.path("p.html")};
        options.threads = 2;
        std::atomic<bool> stop = false;
        std::mutex counted;
        std::vector<std::size_t> told;
        ReadingProgress progress;
        progress.stop = &stop;
        progress.read = [&](std::size_t done, std::size_t files) {
            const std::lock_guard lock(counted);
            told.push_back(done);
            EXPECT_EQ(files, 12u);
            stop = stopping;
        };
        std::ostringstream out;
        std::ostringstream err;
        const int status = runReport(options, out, err, progress);
        std::sort(told.begin(), told.end());
        if (!stopping) {
            EXPECT_EQ(status, 0) << err.str();
            EXPECT_EQ(told, (std::vector<std::size_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
            EXPECT_NE(out.str().find("Student 11\n"), std::string::npos);
            continue;
        }
        EXPECT_EQ(status, kReportStopped);
        // Each thread finishes the file it began, and begins no other.
        EXPECT_LT(told.size(), 12u);
        EXPECT_TRUE(out.str().empty());
        EXPECT_TRUE(folder.read("p.html").isEmpty());
    }
}

} // namespace
