// Each course site's download and class list through the report, and the
// grades it writes for that site's import, checked against the site's rules.
#include "report_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace
{

// Ann Lee did the whole of assignment 001, Bo Chen three questions, José
// Núñez two; Eve Fox sent nothing. A member's bytes name whose send file it
// is, made when the test runs (the course text is not there before).
const std::string kAnn = "@Ann Lee";
const std::string kBo = "@Bo Chen";
const std::string kJose = "@Jos\u00e9 N\u00fa\u00f1ez";

std::string sendFile(const std::string& bytes)
{
    if (!bytes.starts_with('@')) {
        return bytes;
    }
    const QString student = QString::fromStdString(bytes.substr(1));
    const int questions = student == "Ann Lee" ? 10 : student == "Bo Chen" ? 3 : 2;
    QTime clock(10, 0);
    return writer().run(FileRole::send, "001", QDate(2026, 12, 9), clock, bytes.substr(1, 3),
                        questions, student);
}

struct SiteCase {
    const char* name;
    // The download's members: the site's names for the students' files and
    // its own files beside them.
    std::vector<std::pair<std::string, std::string>> download;
    std::string classList; // as the site exports it
    std::string grades;    // the import file, exactly
};

class CourseSite : public testing::TestWithParam<SiteCase>
{
};

TEST_P(CourseSite, DownloadAndClassListGiveGradesItsImportTakes)
{
    Folder folder;
    std::vector<std::pair<std::string, std::string>> members;
    for (const auto& [name, bytes] : GetParam().download) {
        members.emplace_back(name, sendFile(bytes));
    }
    folder.write("download.zip", zipBytes(members));
    folder.write("export.csv", GetParam().classList);
    ReportOptions options{{folder.path("download.zip")}, false, {}, folder.path("class.html")};
    options.roster = folder.path("export.csv");
    options.grades = folder.path("import.csv");
    const Outcome r = report(options);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("  sent nothing: Eve Fox\n"), std::string::npos) << r.out;
    EXPECT_TRUE(r.out.starts_with("Bo Chen\n  assignment 001")) << r.out;
    EXPECT_EQ(folder.read("import.csv").toStdString(), GetParam().grades);
    // The page names who sent nothing, and gives them a row of the grid.
    const std::string page = folder.read("class.html").toStdString();
    EXPECT_NE(page.find(" sent no record: Eve Fox.</p>"), std::string::npos);
    EXPECT_NE(page.find("<tr class=\"none\"><th>Eve Fox</th><td colspan=\"10\">nothing "
                        "answered</td></tr>"),
              std::string::npos);
    EXPECT_NE(page.find("No run of this assignment from 1 of the 4 students on the class list: "
                        "the student who sent nothing."),
              std::string::npos);
}

const std::string kCanvasExport =
    "Student,ID,SIS User ID,SIS Login ID,Section,qa-tutor 001 (5501),Current Points\n"
    "    Points Possible,,,,,10,\n"
    "\"Lee, Ann\",48213,,alee,Precalc A,,\n"
    "\"N\u00fa\u00f1ez, Jos\u00e9\",48214,,jnunez,Precalc A,,\n"
    "\"Chen, Bo\",48215,,bchen,Precalc A,,\n"
    "\"Fox, Eve\",48218,,efox,Precalc A,,\n";

const std::string kMoodleExport =
    "First name,Last name,ID number,Institution,Department,Email address,"
    "Quiz: Practice 1 (Real),Course total (Real),Last downloaded from this course\n"
    "Ann,Lee,,,,ann.lee@example.edu,,,1765300000\n"
    "Jos\u00e9,N\u00fa\u00f1ez,,,,jose@example.edu,,,1765300000\n"
    "Bo,Chen,,,,bo.chen@example.edu,,,1765300000\n"
    "Eve,Fox,,,,eve.fox@example.edu,,,1765300000\n";

const std::string kMoodleGrades =
    "First name,Last name,ID number,Institution,Department,Email address,qa-tutor 001\r\n"
    "Bo,Chen,,,,bo.chen@example.edu,3\r\nEve,Fox,,,,eve.fox@example.edu,0\r\n"
    "Ann,Lee,,,,ann.lee@example.edu,10\r\nJos\u00e9,N\u00fa\u00f1ez,,,,jose@example.edu,2\r\n";

const std::string kBlackboardExport =
    "\"Last Name\"\t\"First Name\"\t\"Username\"\t\"Student ID\"\t\"Last Access\"\t"
    "\"Availability\"\n"
    "\"Lee\"\t\"Ann\"\t\"alee\"\t\"S1\"\t\"\"\t\"Yes\"\n"
    "\"N\u00fa\u00f1ez\"\t\"Jos\u00e9\"\t\"jnunez\"\t\"S2\"\t\"\"\t\"Yes\"\n"
    "\"Chen\"\t\"Bo\"\t\"bchen\"\t\"S3\"\t\"\"\t\"Yes\"\n"
    "\"Fox\"\t\"Eve\"\t\"efox\"\t\"S4\"\t\"\"\t\"Yes\"\n";

const std::string kBrightspaceExport =
    "OrgDefinedId,Username,Last Name,First Name,Email,End-of-Line Indicator\n"
    "#20067930,#alee,Lee,Ann,ann@example.edu,#\n"
    "#20067931,#jnunez,N\u00fa\u00f1ez,Jos\u00e9,jose@example.edu,#\n"
    "#20067932,#bchen,Chen,Bo,bo@example.edu,#\n"
    "#20067933,#efox,Fox,Eve,eve@example.edu,#\n";

const std::string kBrightspaceGrades =
    "OrgDefinedId,Username,qa-tutor 001 Points Grade <Numeric MaxPoints:10>,"
    "End-of-Line Indicator\r\n"
    "#20067932,#bchen,3,#\r\n#20067933,#efox,0,#\r\n#20067930,#alee,10,#\r\n"
    "#20067931,#jnunez,2,#\r\n";

// The gradebook by name, for a site that imports none.
const std::string kGradesByName =
    "student,001 answered,001 of,001 critiques,001 mean confidence,001 mean critique,"
    "001 last run\r\n"
    "Bo Chen,3,10,3,1.33,2.00,2026-12-09\r\n"
    "Eve Fox,0,10,0,,,\r\n"
    "Ann Lee,10,10,10,1.70,1.50,2026-12-09\r\n"
    "Jos\u00e9 N\u00fa\u00f1ez,2,10,2,2.50,1.50,2026-12-09\r\n";

INSTANTIATE_TEST_SUITE_P(
    Report, CourseSite,
    testing::Values(
        // Canvas fills the column it made at the last import, by its id.
        SiteCase{"Canvas",
                 {{"leeann_48213_9120001_send_1209Ann_Lee.txt", kAnn},
                  {"chenbo_LATE_48215_9120002_send_1209Bo_Chen.txt", kBo},
                  {"nunezjose_48214_9120003_send_1209Jos\u00e9_N\u00fa\u00f1ez-1.txt", kJose}},
                 kCanvasExport,
                 "Student,ID,SIS User ID,SIS Login ID,Section,qa-tutor 001 (5501)\r\n"
                 "    Points Possible,,,,,10\r\n"
                 "\"Chen, Bo\",48215,,bchen,Precalc A,3\r\n"
                 "\"Fox, Eve\",48218,,efox,Precalc A,0\r\n"
                 "\"Lee, Ann\",48213,,alee,Precalc A,10\r\n"
                 "\"N\u00fa\u00f1ez, Jos\u00e9\",48214,,jnunez,Precalc A,2\r\n"},
        SiteCase{
            "CanvasAnonymous",
            {{"anon_48213_9120001_send_1209Ann_Lee.txt", kAnn},
             {"anon_48215_9120002_send_1209Bo_Chen.txt", kBo},
             {"anon_48214_9120003_send_1209Jos\u00e9_N\u00fa\u00f1ez.txt", kJose}},
            "Student,ID,Section\n\"Lee, Ann\",48213,A\n\"N\u00fa\u00f1ez, Jos\u00e9\",48214,A\n"
            "\"Chen, Bo\",48215,A\n\"Fox, Eve\",48218,A\n",
            "Student,ID,Section,qa-tutor 001\r\n    Points Possible,,,10\r\n"
            "\"Chen, Bo\",48215,A,3\r\n\"Fox, Eve\",48218,A,0\r\n\"Lee, Ann\",48213,A,10\r\n"
            "\"N\u00fa\u00f1ez, Jos\u00e9\",48214,A,2\r\n"},
        SiteCase{"Moodle4InFolders",
                 {{"Ann Lee_1083411_assignsubmission_file/send_1209Ann_Lee.txt", kAnn},
                  {"Bo Chen_1083412_assignsubmission_file/send_1209Bo_Chen.txt", kBo},
                  {"Bo Chen_1083412_assignsubmission_onlinetext/onlinetext.html", "<p>hi</p>"},
                  {"Jos\u00e9 N\u00fa\u00f1ez_1083413_assignsubmission_file/"
                   "send_1209Jos\u00e9_N\u00fa\u00f1ez.txt",
                   kJose}},
                 kMoodleExport,
                 kMoodleGrades},
        SiteCase{
            "Moodle3InFolders",
            {{"Ann Lee_1083411_assignsubmission_file_/send_1209Ann_Lee.txt", kAnn},
             {"Bo Chen_1083412_assignsubmission_file_/send_1209Bo_Chen.txt", kBo},
             {"Jos\u00e9 N\u00fa\u00f1ez_1083413_assignsubmission_file_/"
              "send_1209Jos\u00e9_N\u00fa\u00f1ez.txt",
              kJose}},
            "First name\tSurname\tEmail address\nAnn\tLee\ta@x\nJos\u00e9\tN\u00fa\u00f1ez\tj@x\n"
            "Bo\tChen\tb@x\nEve\tFox\te@x\n",
            "First name,Surname,Email address,qa-tutor 001\r\nBo,Chen,b@x,3\r\n"
            "Eve,Fox,e@x,0\r\nAnn,Lee,a@x,10\r\nJos\u00e9,N\u00fa\u00f1ez,j@x,2\r\n"},
        SiteCase{"MoodleNotInFolders",
                 {{"Ann Lee_1083411_assignsubmission_file_send_1209Ann_Lee.txt", kAnn},
                  {"Bo Chen_1083412_assignsubmission_file_send_1209Bo_Chen.txt", kBo},
                  {"Jos\u00e9 N\u00fa\u00f1ez_1083413_assignsubmission_file_"
                   "send_1209Jos\u00e9_N\u00fa\u00f1ez.txt",
                   kJose}},
                 kMoodleExport,
                 kMoodleGrades},
        // Every attempt is kept: Bo's two are one student's copies.
        SiteCase{
            "Blackboard",
            {{"Practice 1_alee_attempt_2026-12-09-20-14-05_send_1209Ann_Lee.txt", kAnn},
             {"Practice 1_alee_attempt_2026-12-09-20-14-05.txt", "Name: Ann Lee (alee)\r\n"},
             {"Practice 1_bchen_attempt_2026-12-09-20-15-00_send_1209Bo_Chen.txt", kBo},
             {"Practice 1_bchen_attempt_2026-12-09-21-15-00_send_1209Bo_Chen.txt", kBo},
             {"Practice 1_jnunez_attempt_2026-12-09-20-16-00_send_1209Jos\u00e9_N\u00fa\u00f1ez"
              ".txt",
              kJose}},
            kBlackboardExport,
            "Username\tqa-tutor 001\r\nbchen\t3\r\nefox\t0\r\nalee\t10\r\njnunez\t2\r\n"},
        SiteCase{"BrightspaceSince2024",
                 {{"index.html", "<html></html>"},
                  {"101194-88412 - Ann Lee - Dec 9, 2026 814 PM/send_1209Ann_Lee.txt", kAnn},
                  {"101194-88413 - Bo Chen - Dec 9, 2026 815 PM/send_1209Bo_Chen.txt", kBo},
                  {"101194-88414 - Jos\u00e9 N\u00fa\u00f1ez - Dec 9, 2026 816 PM/"
                   "send_1209Jos\u00e9_N\u00fa\u00f1ez.txt",
                   kJose}},
                 kBrightspaceExport,
                 kBrightspaceGrades},
        SiteCase{"BrightspaceBefore2024",
                 {{"101194-88412 - Ann Lee - Dec 9, 2026 814 PM - send_1209Ann_Lee.txt", kAnn},
                  {"101194-88413 - Bo Chen - Dec 9, 2026 815 PM - send_1209Bo_Chen.txt", kBo},
                  {"101194-88414 - Jos\u00e9 N\u00fa\u00f1ez - Dec 9, 2026 816 PM - "
                   "send_1209Jos\u00e9_N\u00fa\u00f1ez.txt",
                   kJose}},
                 kBrightspaceExport,
                 kBrightspaceGrades},
        // Classroom imports no grades; the Drive folder keeps each upload.
        SiteCase{"ClassroomDriveFolder",
                 {{"Practice 1/send_1209Ann_Lee.txt", kAnn},
                  {"Practice 1/send_1209Ann_Lee(1).txt", kAnn},
                  {"Practice 1/send_1209Bo_Chen.txt", kBo},
                  {"Practice 1/send_1209Jos\u00e9_N\u00fa\u00f1ez.txt", kJose}},
                 "Last Name,First Name,Email Address\nLee,Ann,a@x\nN\u00fa\u00f1ez,Jos\u00e9,j@x\n"
                 "Chen,Bo,b@x\nFox,Eve,e@x\n",
                 kGradesByName},
        SiteCase{"SchoologyRevisions",
                 {{"Lee, Ann - s100001/Revision 1/send_1209Ann_Lee.txt", kAnn},
                  {"Lee, Ann - s100001/Revision 2 - Late/send_1209Ann_Lee.txt", kAnn},
                  {"Chen, Bo - s100002/Revision 1/send_1209Bo_Chen.txt", kBo},
                  {"N\u00fa\u00f1ez, Jos\u00e9 - s100003/Revision 1/"
                   "send_1209Jos\u00e9_N\u00fa\u00f1ez.txt",
                   kJose}},
                 "First Name,Last Name,Unique User ID\nAnn,Lee,s100001\nJos\u00e9,N\u00fa\u00f1ez,"
                 "s100003\nBo,Chen,s100002\nEve,Fox,s100004\n",
                 kGradesByName},
        SiteCase{"PlainListOfNames",
                 {{"send_1209Ann_Lee.txt", kAnn},
                  {"send_1209Bo_Chen.txt", kBo},
                  {"send_1209Jose_Nunez.txt", kJose}},
                 "Lee, Ann\r\nN\u00fa\u00f1ez, Jos\u00e9\r\nChen, Bo\r\nFox, Eve\r\n",
                 kGradesByName}),
    [](const auto& param) { return std::string(param.param.name); });

struct TellCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files; // in the folder
    std::string classList;                                  // empty: none written
    int status;
    std::string told; // standard error, the folder's path taken out
};

class ClassListTold : public testing::TestWithParam<TellCase>
{
};

// What cannot be matched or read is told once, with the file and the
// candidates; a class list that cannot be read ends the run before anything
// is written.
TEST_P(ClassListTold, WithTheFileAndWhatWasExpected)
{
    Folder folder;
    QDir(folder.dir.path()).mkdir("in");
    for (const auto& [name, bytes] : GetParam().files) {
        folder.write(QString::fromStdString("in/" + name), sendFile(bytes));
    }
    if (!GetParam().classList.empty()) {
        folder.write("export.csv", GetParam().classList);
    }
    ReportOptions options{{folder.path("in")}, false, folder.path("class.csv"), {}};
    options.roster = GetParam().name == std::string("ClassListIsAFolder")
                         ? folder.path("in")
                         : folder.path("export.csv");
    const Outcome r = report(options);
    EXPECT_EQ(r.status, GetParam().status);
    std::string told = r.err;
    const std::string prefix = folder.dir.path().toStdString() + '/';
    for (std::size_t at; (at = told.find(prefix)) != std::string::npos;) {
        told.erase(at, prefix.size());
    }
    EXPECT_EQ(told, GetParam().told);
    EXPECT_EQ(QFile::exists(QString::fromStdString(options.csv)), GetParam().status == 0);
}

const std::string kTwoAnns = "Student,ID,Section\n\"Lee, Ann\",1,A\n\"Lee, Ann\",2,A\n"
                             "\"Chen, Bo\",3,A\n";

INSTANTIATE_TEST_SUITE_P(
    Report, ClassListTold,
    testing::Values(
        TellCase{"OnNoRowWithAHint",
                 {{"send_1209Ann_Lea.txt", kAnn}, {"send_1209Bo_Chen.txt", kBo}},
                 "Lee, Ann\nChen, Bo\n",
                 0,
                 "in/send_1209Ann_Lea.txt: Ann Lea is on no row of export.csv (of the same first "
                 "or last name: Ann Lee (line 1)); shown under its own name\n"},
        TellCase{"OnSeveralRows",
                 {{"send_1209Ann_Lee.txt", kAnn}, {"send_1209Bo_Chen.txt", kBo}},
                 kTwoAnns,
                 0,
                 "in/send_1209Ann_Lee.txt: Ann Lee is on several rows of export.csv, which cannot "
                 "be told apart by name: Ann Lee (1) (line 2); Ann Lee (2) (line 3); shown under "
                 "its own name\n"},
        TellCase{"ToldOnceAStudent",
                 {{"send_1209Ann_Lea.txt", kAnn}, {"send_1210Ann_Lea.txt", kAnn}},
                 "Chen, Bo\n",
                 0,
                 "in/send_1209Ann_Lea.txt: Ann Lea is on no row of export.csv; shown under its own "
                 "name\n"},
        TellCase{"ClassListMissing",
                 {{"send_1209Ann_Lee.txt", kAnn}},
                 "",
                 1,
                 "export.csv: No such file or directory\n"},
        TellCase{"ClassListMissingToldAlone",
                 {{"send_1209Ann_Lee.txt", kAnn}, {"notes.txt", "x"}},
                 "",
                 1,
                 "export.csv: No such file or directory\n"},
        TellCase{"SkippedFileToldBeforeTheMatching",
                 {{"send_1209Ann_Lea.txt", kAnn}, {"notes.txt", "x"}},
                 "Lee, Ann\n",
                 0,
                 "in/notes.txt: skipped: not a record file name (send_MMDDName.txt, "
                 "masterFile_Name.txt or notes_Name.txt)\nin/send_1209Ann_Lea.txt: Ann Lea is on "
                 "no row of export.csv (of the same first or last name: Ann Lee (line 1)); shown "
                 "under its own name\n"},
        TellCase{
            "ClassListIsAFolder", {{"send_1209Ann_Lee.txt", kAnn}}, "", 1, "in: Is a directory\n"},
        TellCase{"ClassListOfNoStudent",
                 {{"send_1209Ann_Lee.txt", kAnn}},
                 "Student,ID,Section\n",
                 1,
                 "export.csv: it names no student; expected a class list as a course site "
                 "exports it, whose first line names its columns (Canvas: Student, ID; Moodle: "
                 "First name, Last name; Blackboard: Last Name, First Name, Username; "
                 "Brightspace: Last Name, First Name, End-of-Line Indicator; Google Classroom: "
                 "Last Name, First Name, Email Address; Schoology: First Name, Last Name), or one "
                 "student's name a line (\"First Last\" or \"Last, First\")\n"}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
