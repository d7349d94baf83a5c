// Who of the class list sent nothing, and who has no run of each assignment:
// those who sent nothing are named once, and counted under each assignment.
#include "report_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace
{

// In class-list order: Bo Chen, Eve Fox, Ann Lee, Dee Park.
const std::string kClassList = "Lee, Ann\nChen, Bo\nFox, Eve\nPark, Dee\n";

struct AbsenceCase {
    const char* name;
    // Each student who sent a file, and the assignments of its runs.
    std::vector<std::pair<QString, std::vector<QString>>> sent;
    std::string summary;  // the summary's lines of the class list, exactly
    std::string page;     // under the grid of assignment 001
    std::string emptyRow; // in the grid of 001, of one with no run of it
};

void PrintTo(const AbsenceCase& c, std::ostream* os)
{
    *os << c.name;
}

class Absences : public testing::TestWithParam<AbsenceCase>
{
};

TEST_P(Absences, NameWhoSentNothingOnce)
{
    Folder folder;
    for (const auto& [student, assignments] : GetParam().sent) {
        std::string bytes;
        QTime clock(10, 0);
        for (const QString& assignment : assignments) {
            bytes += writer().run(FileRole::send, assignment, QDate(2026, 12, 9), clock, "RUN", 1,
                                  student);
        }
        folder.write(QStringLiteral("send_1209%1.txt").arg(QString(student).replace(u' ', u'_')),
                     bytes);
    }
    folder.write("list.txt", kClassList);
    ReportOptions options{{folder.dir.path().toStdString()}, false, {}, folder.path("class.html")};
    options.roster = folder.path("list.txt");
    const Outcome r = report(options);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::size_t start = r.out.find("class list ");
    ASSERT_NE(start, std::string::npos) << r.out;
    EXPECT_EQ(r.out.substr(start), "class list " + options.roster + GetParam().summary);
    const std::string page = folder.read("class.html").toStdString();
    EXPECT_NE(page.find(GetParam().page), std::string::npos) << page;
    // Who has no run of an assignment has an empty row in its grid.
    const std::string empty = "<tr class=\"none\">";
    EXPECT_NE(page.find(empty + GetParam().emptyRow), std::string::npos)
        << page.substr(std::min(page.size(), page.find(empty)), 200);
}

INSTANTIATE_TEST_SUITE_P(
    Report, Absences,
    testing::Values(
        AbsenceCase{"TwoSentNothingOneSkippedAnAssignment",
                    {{"Ann Lee", {"001", "002"}}, {"Bo Chen", {"001"}}},
                    ": 4 students, 2 with records\n"
                    "  sent nothing: Eve Fox, Dee Park\n"
                    "  no run of assignment 001: the 2 students who sent nothing\n"
                    "  no run of assignment 002: Bo Chen, and the 2 students who sent nothing\n",
                    "<p>No run of this assignment from 2 of the 4 students on the class list: the "
                    "2 students who sent nothing.</p>",
                    "<th>Dee Park</th><td colspan=\"10\">nothing answered</td></tr>\n"},
        AbsenceCase{"OneSentNothing",
                    {{"Ann Lee", {"001"}}, {"Bo Chen", {"001"}}, {"Eve Fox", {"001"}}},
                    ": 4 students, 3 with records\n"
                    "  sent nothing: Dee Park\n"
                    "  no run of assignment 001: the student who sent nothing\n",
                    "<p>No run of this assignment from 1 of the 4 students on the class list: the "
                    "student who sent nothing.</p>",
                    "<th>Dee Park</th><td colspan=\"10\">nothing answered</td></tr>\n"},
        AbsenceCase{"EverySentSomething",
                    {{"Ann Lee", {"001", "002"}},
                     {"Bo Chen", {"001"}},
                     {"Eve Fox", {"002"}},
                     {"Dee Park", {"001", "002"}}},
                    ": 4 students, 4 with records\n"
                    "  sent nothing: none\n"
                    "  no run of assignment 001: Eve Fox\n"
                    "  no run of assignment 002: Bo Chen\n",
                    "<p>No run of this assignment from 1 of the 4 students on the class list: "
                    "Eve Fox.</p>",
                    "<th>Eve Fox</th><td colspan=\"10\">nothing answered</td></tr>\n"}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
