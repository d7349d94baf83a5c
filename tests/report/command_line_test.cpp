#include "report/report_command_line.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <variant>
#include <vector>

namespace
{

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
        CommandCase{"ClassListAndItsSitesGrades",
                    {"--roster", "r.csv", "--grades", "g.csv", "--grades-format", "canvas",
                     "--grade-by", "answered", "dir"},
                    -1,
                    ""},
        CommandCase{"GradesByNameWithoutAClassList",
                    {"--grades", "g.csv", "--grades-format", "names", "dir"},
                    -1,
                    ""},
        CommandCase{"RosterWithoutFile",
                    {"dir", "--roster"},
                    2,
                    "qa-tutor-report: option '--roster' needs a file"},
        CommandCase{"FormatWithoutValue",
                    {"--grades", "g.csv", "dir", "--grades-format"},
                    2,
                    "qa-tutor-report: option '--grades-format' needs a value"},
        CommandCase{"UnknownFormat",
                    {"--roster", "r.csv", "--grades", "g.csv", "--grades-format", "xls", "dir"},
                    2,
                    "qa-tutor-report: option '--grades-format' takes canvas, moodle, blackboard, "
                    "brightspace, names, not 'xls'"},
        CommandCase{"UnknownMeasure",
                    {"--roster", "r.csv", "--grades", "g.csv", "--grade-by", "all", "dir"},
                    2,
                    "qa-tutor-report: option '--grade-by' takes both, answered, critiqued, not "
                    "'all'"},
        CommandCase{"FormatWithoutGrades",
                    {"--roster", "r.csv", "--grades-format", "moodle", "dir"},
                    2,
                    "qa-tutor-report: option '--grades-format' needs '--grades'"},
        CommandCase{"SitesFormatWithoutAClassList",
                    {"--grades", "g.csv", "--grades-format", "moodle", "dir"},
                    2,
                    "qa-tutor-report: option '--grades-format' needs '--roster', whose "
                    "identifiers the course site's import keys on"},
        CommandCase{"VersionWithMore",
                    {"--version", "dir"},
                    2,
                    "qa-tutor-report: unexpected argument '--version'"}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
