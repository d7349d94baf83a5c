#include "report_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace
{

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

} // namespace
