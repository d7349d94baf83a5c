#include "report/input_names.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace
{

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

} // namespace
