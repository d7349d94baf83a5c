#include "fixed_clock.h"
#include "record/records.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{

using namespace std::string_literals;

const std::string kStart = "......!!!!!!!!...................................\r\n";
const std::string kDots = ".................................................";
const std::string kIndent(36, ' ');

struct RecordCase {
    const char* name;
    std::function<std::string()> bytes;
    std::string expected;
};

void PrintTo(const RecordCase& c, std::ostream* os)
{
    *os << c.name;
}

class RecordBytes : public testing::TestWithParam<RecordCase>
{
};

TEST_P(RecordBytes, AreWhatTheInstructorReads)
{
    EXPECT_EQ(GetParam().bytes(), GetParam().expected);
}

const ResponseHead kHead{kTime, "003", "4", "`q004.  What is 2+2?", "x \xE2\x89\xA4 4\r\nso 4"};
const NoteRecord kNote{kTime, QDateTime(kDate, kTime), "`aIt is 4.", "caf\xC3\xA9"};

INSTANTIATE_TEST_SUITE_P(
    Records, RecordBytes,
    testing::Values(
        RecordCase{"Opening",
                   [] {
                       return recordBytes(OpeningRecord{"\xF0\x81\xFF", "assignment #006", "006. ",
                                                        "Precalculus I", kDate});
                   },
                   "\xF0\x81\xFF\r\nassignment #006\r\n006. \r\nPrecalculus I\r\n04-16-2026\r\n"s},
        RecordCase{"ResponseHeadInTheMasterFile",
                   [] { return recordBytes(recordLines(kHead, FileRole::master)); },
                   kStart + kIndent + "14:05:09\r\n\r\n\r\n`questionNumber 30004 \r\n" +
                       "`q004.  What is 2+2?\r\n" + kStart +
                       "RESPONSE -->  \r\nx <= 4\r\nso 4\r\n"},
        RecordCase{"ResponseHeadInTheSendFile",
                   [] { return recordBytes(recordLines(kHead, FileRole::send)); },
                   kStart + kIndent + "14:05:09\r\n`q004.  What is 2+2?\r\n" + kStart +
                       "RESPONSE -->  \r\nx <= 4\r\nso 4\r\n"},
        RecordCase{"ConfidenceTail",
                   [] {
                       return recordBytes(
                           recordLines(ResponseTail{ResponseTail::Rating::confidence, "2"}));
                   },
                   "confidence assessment:  2\r\n" + kDots + "\r\n"},
        RecordCase{"CancelledSelfCritiqueTail",
                   [] {
                       return recordBytes(
                           recordLines(ResponseTail{ResponseTail::Rating::selfCritique, ""}));
                   },
                   "self critique assessment: \r\n" + kDots + "\r\n"},
        RecordCase{"TailWithNoRating", [] { return recordBytes(recordLines(ResponseTail{})); },
                   kDots + "\r\n"},
        RecordCase{"NoteInTheMasterFile",
                   [] { return recordBytes(recordLines(kNote, FileRole::master)); },
                   kStart + kIndent + "14:05:09\r\n" + kIndent + "04-16-202614:05:09\r\n" +
                       "`aIt is 4.\r\n" + kStart + "NOTES -------> caf\xE9\r\n" + kDots + "\r\n"},
        RecordCase{"NoteInTheNotesFileRunsOn",
                   [] { return recordBytes(recordLines(kNote, FileRole::notes)); },
                   kStart + kIndent + "14:05:09\r\n" + kIndent + "04-16-202614:05:09\r\n" +
                       "`aIt is 4.\r\n" + kStart + "NOTES -------> caf\xE9\r\n" + kDots +
                       "       "},
        RecordCase{"NoteStampsOverMidnight",
                   [] {
                       return recordBytes(recordLines(
                           NoteRecord{QTime(23, 59, 59), QDateTime(QDate(2026, 4, 17), QTime(0, 0)),
                                      "", "n"},
                           FileRole::master));
                   },
                   kStart + kIndent + "23:59:59\r\n" + kIndent + "04-17-202600:00:00\r\n\r\n" +
                       kStart + "NOTES -------> n\r\n" + kDots + "\r\n"}),
    [](const testing::TestParamInfo<RecordCase>& param) { return param.param.name; });

} // namespace
