#include "bank/question_bank.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{

std::vector<std::string> numberedEntries(int count)
{
    std::vector<std::string> entries;
    for (int i = 1; i <= count; ++i) {
        entries.push_back("entry " + std::to_string(i));
    }
    return entries;
}

class LoadQuestionBank : public testing::Test
{
protected:
    std::unique_ptr<BankLines> bank = std::make_unique<BankLines>();
    int cursor = 0;
};

TEST_F(LoadQuestionBank, FirstEntryLandsAtOneAndCursorReturnsToZero)
{
    loadQuestionBank(*bank, cursor, {"001.", "", "`q001.  x"});
    EXPECT_EQ(cursor, 0);
    EXPECT_EQ((*bank)[0], "");
    EXPECT_EQ((*bank)[1], "001.");
    EXPECT_EQ((*bank)[2], "");
    EXPECT_EQ((*bank)[3], "`q001.  x");
    EXPECT_EQ((*bank)[4], "");
}

TEST_F(LoadQuestionBank, StoresAfterAStartingCursor)
{
    cursor = 10;
    loadQuestionBank(*bank, cursor, {"a", "b"});
    EXPECT_EQ((*bank)[11], "a");
    EXPECT_EQ((*bank)[12], "b");
    EXPECT_EQ((*bank)[1], "");
    EXPECT_EQ(cursor, 0);
}

TEST_F(LoadQuestionBank, FillsUpToTheLastIndex)
{
    loadQuestionBank(*bank, cursor, numberedEntries(5000));
    EXPECT_EQ((*bank)[0], "");
    EXPECT_EQ((*bank)[5000], "entry 5000");
    EXPECT_EQ(cursor, 0);
}

TEST_F(LoadQuestionBank, BankTooLongStopsWithIndexOutOfRange)
{
    try {
        loadQuestionBank(*bank, cursor, numberedEntries(5001));
        FAIL() << "a 5001st entry was stored";
    } catch (const BankIndexOutOfRange& e) {
        EXPECT_EQ(e.index(), 5001);
        EXPECT_STREQ(e.what(), "question bank index 5001 is out of range (0 to 5000)");
    }
    EXPECT_EQ((*bank)[5000], "entry 5000");
}

TEST_F(LoadQuestionBank, NegativeStartStopsAtOnce)
{
    cursor = -2;
    EXPECT_THROW(loadQuestionBank(*bank, cursor, {"a"}), BankIndexOutOfRange);
    EXPECT_EQ((*bank)[0], "");
}

TEST_F(LoadQuestionBank, NoEntriesLeavesBankEmpty)
{
    cursor = 7;
    loadQuestionBank(*bank, cursor, {});
    EXPECT_EQ(cursor, 0);
    for (const auto& line : *bank) {
        ASSERT_EQ(line, "");
    }
}

struct HeaderCase {
    const char* entry;
    bool header;
    const char* key;
};

class AssignmentHeader : public testing::TestWithParam<HeaderCase>
{
};

TEST_P(AssignmentHeader, IsThreeDigitsAndAPeriodFoundByItsFirstFour)
{
    EXPECT_EQ(isAssignmentHeader(GetParam().entry), GetParam().header);
    EXPECT_EQ(headerKey(GetParam().entry), GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, AssignmentHeader,
    testing::Values(HeaderCase{"005.", true, "005."}, HeaderCase{"006. ", true, "006."},
                    HeaderCase{"015. Sequences", true, "015."}, HeaderCase{"05.", false, "05."},
                    HeaderCase{"0005.", false, "0005"}, HeaderCase{"abc.", false, "abc."},
                    HeaderCase{"`q005.  x", false, "`q00"}, HeaderCase{"", false, ""}));

} // namespace
