#include "test_bank.h"

#include <gtest/gtest.h>

namespace
{

struct RoutineCase {
    const char* name;
    const char* routine;
    bool ends;
};

class RunRoutine : public testing::TestWithParam<RoutineCase>
{
};

TEST_P(RunRoutine, GraphsGoOnEverythingElseEnds)
{
    auto run = runOnBank({"001."});
    run->window->runRoutine(QString::fromLatin1(GetParam().routine));
    EXPECT_EQ(run->window->ended(), GetParam().ends);
}

INSTANTIATE_TEST_SUITE_P(
    Names, RunRoutine,
    testing::Values(RoutineCase{"Graph1", "graph1", false}, RoutineCase{"Graph2", "graph2", false},
                    RoutineCase{"Graph3", "graph3", false},
                    RoutineCase{"UpperCase", "GRAPH3", false},
                    RoutineCase{"ExitProg", "exitprog", true},
                    RoutineCase{"Graph4", "graph4", true}, RoutineCase{"Empty", "", true},
                    RoutineCase{"UncleanedName", "graph 1", true}),
    [](const testing::TestParamInfo<RoutineCase>& param) { return param.param.name; });

struct LookAheadCase {
    const char* name;
    std::vector<std::string> bank; // from index 1; the header is at 1
    int cursorAfter;
    bool ends;
};

class NextPicture : public testing::TestWithParam<LookAheadCase>
{
};

TEST_P(NextPicture, RunsRoutineEntriesAheadAndMovesTheCursor)
{
    const LookAheadCase& c = GetParam();
    auto run = runOnBank(c.bank);
    q_a_template_::setBoxText(run->window->txt_question, "shown");
    run->window->cmd_next_picture_Click();
    EXPECT_EQ(run->window->ended(), c.ends);
    if (!c.ends) {
        EXPECT_EQ(run->window->bankCursor, c.cursorAfter);
        EXPECT_EQ(questionBox(*run->window), "shown");
        EXPECT_FALSE(run->window->promptDue);
        EXPECT_EQ(run->window->currentLine, "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Banks, NextPicture,
    testing::Values(
        LookAheadCase{"NoRoutineChangesNothing", {"001.", "", "`q001.  Q"}, 1, false},
        LookAheadCase{"RoutineRightAfter", {"001.", "`routine graph1", "`q001.  Q"}, 2, false},
        LookAheadCase{"RoutineTwoAhead", {"001.", "", "`routine graph 1"}, 3, false},
        LookAheadCase{"SecondLookFromTheMovedCursor",
                      {"001.", "`routine graph1", "`routine graph2", "`routine graph3"},
                      4,
                      false},
        LookAheadCase{"KeywordAloneEnds", {"001.", "`routine"}, 1, true},
        LookAheadCase{"ExitProgAheadEnds", {"001.", "", "`routine exit-prog"}, 1, true}),
    [](const testing::TestParamInfo<LookAheadCase>& param) { return param.param.name; });

TEST(NextPictureThenNext, NextPressReadsOnAfterTheRoutine)
{
    auto run = runOnBank({"001.", "", "`routine graph1", "`q001.  after"});
    run->window->cmd_next_picture_Click();
    run->window->cmdNextQuestion_Click();
    EXPECT_EQ(questionBox(*run->window), "`q001.  after");
}

TEST(NextPictureAtTheEnd, NeverLooksPastTheLastIndex)
{
    std::vector<std::string> bank(5000, "");
    bank[0] = "001.";
    bank[4999] = "`routine exitprog"; // index 5000
    auto run = runOnBank(bank);
    run->window->bankCursor = 4999;
    run->window->cmd_next_picture_Click();
    EXPECT_TRUE(run->window->ended()); // k = 1 reaches 5000
    auto quiet = runOnBank(bank);
    quiet->window->bankCursor = 5000;
    quiet->window->cmd_next_picture_Click();
    EXPECT_FALSE(quiet->window->ended());
    EXPECT_EQ(quiet->window->bankCursor, 5000);
}

} // namespace
