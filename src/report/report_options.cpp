#include "report/report_options.h"

#include "report/grades_import.h"

const std::vector<ReportOption>& reportOptions()
{
    static const std::vector<ReportOption> options = {
        {"--csv", "FILE", "write one row per response and note to FILE (CSV, UTF-8)",
         &ReportOptions::csv},
        {"--html", "FILE", "write one page with a grid of students by questions to FILE",
         &ReportOptions::html},
        {"--xlsx", "FILE",
         "write a workbook to FILE: the CSV's rows, a grid of students by questions per "
         "assignment, and the gradebook",
         &ReportOptions::xlsx},
        {"--grades", "FILE",
         "write the gradebook to FILE (CSV): with --roster, in the import format of the course "
         "site the class list comes from, one grade per assignment; without, per student and "
         "assignment, questions answered of the course's, critiques, mean ratings and the last "
         "run's date",
         &ReportOptions::grades},
        {"--roster", "FILE",
         "read the class list from FILE: the course site's export (Canvas, Moodle, Blackboard, "
         "Brightspace, Google Classroom, Schoology) or one student's name a line; every student "
         "on it is shown, those who sent nothing too",
         &ReportOptions::roster},
        {"--grades-format", "FORMAT",
         "write --grades for canvas, moodle, blackboard or brightspace, or as names (the "
         "gradebook without --roster), whatever site the class list comes from",
         &ReportOptions::gradesFormat, nullptr, kGradesFormats},
        {"--grade-by", "MEASURE",
         "count in a grade an assignment's questions with both a response and a critique (both, "
         "the default), with a response (answered) or with a critique (critiqued)",
         &ReportOptions::gradeBy, nullptr, kGradeMeasures},
        {"--csv-bom", "",
         "begin the CSV files with a UTF-8 byte order mark, for Excel, and begin a student's "
         "text that a spreadsheet would take for a formula with an apostrophe",
         nullptr, &ReportOptions::csvBom},
        {"--recursive", "", "read the send files in the folders' subfolders as well", nullptr,
         &ReportOptions::recursive},
    };
    return options;
}

const ReportOption* reportOption(std::string_view name)
{
    for (const ReportOption& option : reportOptions()) {
        if (option.name == name) {
            return &option;
        }
    }
    return nullptr;
}

std::string optionsConflict(const ReportOptions& options)
{
    if (options.csvBom && options.csv.empty() && options.grades.empty()) {
        return "option '--csv-bom' needs '--csv' or '--grades'";
    }
    if (!options.gradesFormat.empty() && !gradesFormatNamed(options.gradesFormat)) {
        return "option '--grades-format' takes " + std::string(kGradesFormats) + ", not '" +
               options.gradesFormat + "'";
    }
    if (!options.gradeBy.empty() && !gradeMeasureNamed(options.gradeBy)) {
        return "option '--grade-by' takes " + std::string(kGradeMeasures) + ", not '" +
               options.gradeBy + "'";
    }
    for (const std::string_view name : {"--grades-format", "--grade-by"}) {
        const bool given = !(options.*reportOption(name)->text).empty();
        if (given && options.grades.empty()) {
            return "option '" + std::string(name) + "' needs '--grades'";
        }
    }
    const bool siteFormat = !options.gradesFormat.empty() && options.gradesFormat != "names";
    if ((siteFormat || !options.gradeBy.empty()) && options.roster.empty()) {
        return "option '" + std::string(siteFormat ? "--grades-format" : "--grade-by") +
               "' needs '--roster', whose identifiers the course site's import keys on";
    }
    return {};
}
