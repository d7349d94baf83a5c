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
        // Each course site's download, as the sites name the files.
        NameCase{"MoodleNotInFolders", "Ann Lee_1083411_assignsubmission_file_send_1209Ann_Lee.txt",
                 FileRole::send, "Ann Lee", "1209"},
        NameCase{"Canvas", "leeann_48213_9120001_send_1209Ann_Lee.txt", FileRole::send, "Ann Lee",
                 "1209"},
        NameCase{"CanvasLate", "leeann_LATE_48213_9120001_send_1209Ann_Lee.txt", FileRole::send,
                 "Ann Lee", "1209"},
        NameCase{"CanvasReupload", "leeann_48213_9120001_send_1209Ann_Lee-1.txt", FileRole::send,
                 "Ann Lee", "1209"},
        NameCase{"CanvasAnonymous", "anon_48213_9120001_send_1209Ann_Lee.txt", FileRole::send,
                 "Ann Lee", "1209"},
        NameCase{"BlackboardAttempt",
                 "Practice 1_alee_attempt_2026-12-09-20-14-05_send_1209Ann_Lee.txt", FileRole::send,
                 "Ann Lee", "1209"},
        NameCase{"BlackboardAttemptDetails", "Practice 1_alee_attempt_2026-12-09-20-14-05.txt",
                 std::nullopt},
        NameCase{"BrightspaceBefore2024",
                 "101194-88412 - Ann Lee - Dec 9, 2026 814 PM - send_1209Ann_Lee.txt",
                 FileRole::send, "Ann Lee", "1209"},
        NameCase{"DriveSecondOfOneName", "send_1209Ann_Lee(1).txt", FileRole::send, "Ann Lee",
                 "1209"},
        NameCase{"PrefixEndingInABlank", "Ann Lee send_1209Ann_Lee.txt", FileRole::send, "Ann Lee",
                 "1209"},
        NameCase{"BlanksInTheNameStay", "send_1209Ann Lee.txt", FileRole::send, "Ann Lee", "1209"},
        NameCase{"BrightspaceWithoutARecordName",
                 "101194-88412 - Ann Lee - Dec 9, 2026 814 PM - "
                 "homework.txt",
                 std::nullopt},
        NameCase{"WordEndingInSendBeforeAName", "Ann Lee - resend_1209Ann.txt", std::nullopt},
        NameCase{"NotesFilesCopy", "notes_Ann_Lee (3).txt", FileRole::notes, "Ann Lee"},
        NameCase{"PrefixNotEndingInAnUnderscore", "mysend_1209Ann.txt", std::nullopt},
        NameCase{"SendFileWithoutADay", "send_Ann.txt", std::nullopt},
        NameCase{"CopyOfAFileWithoutAName", "send_1209 (1).txt", std::nullopt},
        NameCase{"NotARecordFile", "readme.txt", std::nullopt},
        NameCase{"NotText", "send_1209Ann.txt.bak", std::nullopt}),
    [](const auto& param) { return std::string(param.param.name); });

struct SiteFileCase {
    const char* name;
    std::string fileName;
    bool siteFile;
};

class SiteFile : public testing::TestWithParam<SiteFileCase>
{
};

// A site's own file is only counted, never told as skipped or read.
TEST_P(SiteFile, IsPassedOverQuietly)
{
    EXPECT_EQ(isSiteFile(GetParam().fileName), GetParam().siteFile);
    const FoundFile found = foundFile(GetParam().fileName);
    EXPECT_EQ(found.siteFile, GetParam().siteFile);
    if (GetParam().siteFile) {
        EXPECT_FALSE(found.name.has_value());
        EXPECT_TRUE(found.skipped.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Report, SiteFile,
    testing::Values(
        SiteFileCase{"BlackboardAttemptDetails", "Practice 1_alee_attempt_2026-12-09-20-14-05.txt",
                     true},
        SiteFileCase{"AttemptWithoutItsTime", "Practice 1_alee_attempt_2026-12-09.txt", false},
        SiteFileCase{"AttemptWithALetterInItsTime", "P_alee_attempt_2026-12-09-20-14-0a.txt",
                     false},
        SiteFileCase{"AttemptWithoutAPrefix", "attempt_2026-12-09-20-14-05.txt", false},
        SiteFileCase{"AttemptNotText", "P_alee_attempt_2026-12-09-20-14-05.html", false},
        SiteFileCase{"SendFileOfAnAttempt",
                     "P_alee_attempt_2026-12-09-20-14-05_send_1209Ann_Lee.txt", false}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
