#include "report/roster.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

struct RosterCase {
    const char* name;
    std::string bytes;
    RosterSite site;
    std::string names;         // every student's, "; " between two
    std::string idColumn = ""; // what tells two students apart
    std::string firstId = "";  // the first student's identifier, '#' taken off
};

std::string utf16(const std::string& ascii, bool bigEnd)
{
    std::string bytes = bigEnd ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : ascii) {
        bytes += bigEnd ? std::string{'\0', c} : std::string{c, '\0'};
    }
    return bytes;
}

class RosterHeaders : public testing::TestWithParam<RosterCase>
{
};

TEST_P(RosterHeaders, TellTheSiteAndTheStudents)
{
    std::string error;
    const std::optional<Roster> roster = readRoster(GetParam().bytes, error);
    ASSERT_TRUE(roster) << error;
    EXPECT_EQ(roster->site, GetParam().site);
    std::string names;
    for (const RosterStudent& student : roster->students) {
        names += (names.empty() ? "" : "; ") + student.name;
    }
    EXPECT_EQ(names, GetParam().names);
    EXPECT_EQ(roster->idColumn, GetParam().idColumn);
    if (!GetParam().idColumn.empty()) {
        EXPECT_EQ(roster->field(roster->students.front(), roster->idColumn), GetParam().firstId);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Report, RosterHeaders,
    testing::Values(
        RosterCase{"CanvasGradebookExport",
                   "\xEF\xBB\xBFStudent,ID,SIS User ID,SIS Login ID,Section,Practice 1 (5501),"
                   "Current Points\r\n"
                   "    Points Possible,,,,,20,\r\n"
                   "\"Lee, Ann\",48213,,alee,Precalc A,12,12\r\n"
                   "\"N\xC3\xBA\xC3\xB1"
                   "ez Garc\xC3\xAD"
                   "a, Jos\xC3\xA9\",48214,,jnunez,Precalc A,,\r\n",
                   RosterSite::canvas,
                   "Ann Lee; Jos\xC3\xA9 N\xC3\xBA\xC3\xB1"
                   "ez Garc\xC3\xAD"
                   "a",
                   "ID", "48213"},
        RosterCase{"CanvasWithSemicolons", "Student;ID;Section\n\"Lee, Ann\";48213;A\n",
                   RosterSite::canvas, "Ann Lee", "ID", "48213"},
        RosterCase{"MoodleGradeExport",
                   "First name,Last name,ID number,Institution,Department,Email address,"
                   "Quiz: Practice 1 (Real),Course total (Real),Last downloaded from this course\n"
                   "Ann,Lee,,,,ann.lee@example.edu,12.00,12.00,1765300000\n",
                   RosterSite::moodle, "Ann Lee", "Email address", "ann.lee@example.edu"},
        RosterCase{"MoodleOlderSurname", "First name\tSurname\tEmail address\nAnn\tLee\ta@x\n",
                   RosterSite::moodle, "Ann Lee", "Email address", "a@x"},
        RosterCase{"MoodleWithColons", "First name:Last name:Email address\nAnn:Lee:a@x\n",
                   RosterSite::moodle, "Ann Lee", "Email address", "a@x"},
        RosterCase{"MoodleParticipants",
                   "First name,Last name,Email address,Roles,Groups\nAnn,Lee,a@x,Student,\n",
                   RosterSite::moodle, "Ann Lee", "Email address", "a@x"},
        RosterCase{"BlackboardCommasQuoted",
                   "\"Last Name\",\"First Name\",\"Username\",\"Student ID\",\"Last Access\","
                   "\"Availability\",\"Practice 1 [Total Pts: 100 Score] |123456\"\r\n"
                   "\"Lee\",\"Ann\",\"alee\",\"S1\",\"\",\"Yes\",\"\"\r\n",
                   RosterSite::blackboard, "Ann Lee", "Username", "alee"},
        RosterCase{"BlackboardTabs",
                   "Last Name\tFirst Name\tUsername\tStudent ID\nLee\tAnn\talee\tS1\n",
                   RosterSite::blackboard, "Ann Lee", "Username", "alee"},
        RosterCase{"BlackboardUltraXlsIsUtf16",
                   utf16("Last Name\tFirst Name\tUsername\r\nLee\tAnn\talee\r\n", false),
                   RosterSite::blackboard, "Ann Lee", "Username", "alee"},
        RosterCase{
            "BrightspaceGradesExport",
            "OrgDefinedId,Username,Last Name,First Name,Email,"
            "Practice 1 Points Grade <Numeric MaxPoints:10 Weight:10>,End-of-Line Indicator\n"
            "#20067930,#alee,Lee,Ann,ann@x,,#\n",
            RosterSite::brightspace, "Ann Lee", "OrgDefinedId", "20067930"},
        RosterCase{"BrightspaceByUsername",
                   "Username,Last Name,First Name,End-of-Line Indicator\n#alee,Lee,Ann,#\n",
                   RosterSite::brightspace, "Ann Lee", "Username", "alee"},
        RosterCase{"ClassroomGrades",
                   "Last Name,First Name,Email Address,Practice 1\nLee,Ann,ann@x,\n",
                   RosterSite::classroom, "Ann Lee", "Email Address", "ann@x"},
        RosterCase{"SchoologyGradebook",
                   "First Name,Last Name,Unique User ID,Practice 1\nAnn,Lee,s100001,\n",
                   RosterSite::schoology, "Ann Lee", "Unique User ID", "s100001"},
        RosterCase{"OtherSiteWithNameColumns", "First Name,Last Name,Grade\nAnn,Lee,\n",
                   RosterSite::other, "Ann Lee"},
        RosterCase{"ColumnsInAnotherOrder", "Email address,Last name,First name\na@x,Lee,Ann\n",
                   RosterSite::moodle, "Ann Lee", "Email address", "a@x"},
        RosterCase{"PlainFirstLast", "Ann Lee\r\n\r\nBo Chen\r\n", RosterSite::plain,
                   "Ann Lee; Bo Chen"},
        RosterCase{"PlainLastFirst", "Lee, Ann\nChen, Bo", RosterSite::plain, "Ann Lee; Bo Chen"},
        RosterCase{"PlainSavedByExcelOnWindows",
                   "N\xFA\xF1"
                   "ez, Jos\xE9\n",
                   RosterSite::plain,
                   "Jos\xC3\xA9 N\xC3\xBA\xC3\xB1"
                   "ez"},
        RosterCase{"PlainUtf16BigEnd", utf16("Ann Lee\n", true), RosterSite::plain, "Ann Lee"},
        // Two students of one name are told apart by their identifiers.
        RosterCase{"TwoStudentsOfOneName",
                   "Student,ID,Section\n\"Lee, Ann\",1,A\n\"Lee, Ann\",2,A\n", RosterSite::canvas,
                   "Ann Lee (1); Ann Lee (2)", "ID", "1"}),
    [](const auto& param) { return std::string(param.param.name); });

struct RefusedCase {
    const char* name;
    std::string bytes;
    std::string error; // what the message begins with
};

class RosterRefused : public testing::TestWithParam<RefusedCase>
{
};

TEST_P(RosterRefused, SaysWhatWasExpected)
{
    std::string error;
    EXPECT_FALSE(readRoster(GetParam().bytes, error));
    EXPECT_TRUE(error.starts_with(GetParam().error)) << error;
}

std::string longList(std::size_t students)
{
    std::string text = "First name,Last name,Email address\n";
    for (std::size_t i = 0; i < students; ++i) {
        text += "Ann,Lee,s" + std::to_string(i) + "@x\n";
    }
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Report, RosterRefused,
    testing::Values(
        RefusedCase{"Empty", "", "it is empty; expected a class list"},
        RefusedCase{"Blank", " \r\n\t\n", "it is empty; expected a class list"},
        RefusedCase{"Binary", std::string("PK\3\4\0\0\x14\0", 8),
                    "not a class list: it is not text"},
        RefusedCase{"RandomCsv", "a,b,c\n1,2,3\n", "not a class list: expected a class list"},
        RefusedCase{"AnotherLanguagesLabels", "Vorname,Nachname,E-Mail-Adresse\nAnn,Lee,a@x\n",
                    "not a class list: expected a class list as a course site exports it"},
        RefusedCase{"NumbersAmongNames", "Ann Lee\n42\n", "not a class list"},
        RefusedCase{"OnlyAHeader", "Student,ID,Section\n    Points Possible,,\n",
                    "it names no student"},
        RefusedCase{"SameIdTwice", "Student,ID,Section\n\"Lee, Ann\",7,A\n\"Chen, Bo\",7,A\n",
                    "line 3 has the ID 7 of line 2"},
        RefusedCase{"SameNameTwiceWithoutIdentifiers", "Ann Lee\nBo Chen\nann lee\n",
                    "it names Ann Lee twice (line 1 and line 3)"},
        RefusedCase{"LargerThanAnyClass", longList(kRosterMostStudents + 1),
                    "it holds more than 50000 students"}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
