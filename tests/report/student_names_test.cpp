#include "report/student_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

struct MatchCase {
    const char* name;
    // Each student of the class list as given names, then family name.
    std::vector<std::pair<std::string, std::string>> list;
    std::string file; // the student of a file's name
    int student;      // the one found, -1 when none
    std::vector<int> candidates = {};
    bool several = false; // the candidates have the name; else they are a hint
};

class NameMatch : public testing::TestWithParam<MatchCase>
{
};

TEST_P(NameMatch, FindsOneStudentOrTellsTheCandidates)
{
    std::vector<std::string> keys;
    for (const auto& [first, last] : GetParam().list) {
        keys.push_back(nameKey(first) + nameKey(last));
    }
    const NameIndex index({keys.begin(), keys.end()});
    const NameIndex::Match match = index.find(GetParam().file);
    EXPECT_EQ(match.student, GetParam().student);
    EXPECT_EQ(match.candidates, GetParam().candidates);
    EXPECT_EQ(match.several, GetParam().several);
}

const std::vector<std::pair<std::string, std::string>> kClass = {{"Ann", "Lee"},
                                                                 {"Jos\xC3\xA9", "N\xC3\xBA\xC3\xB1"
                                                                                 "ez Garc\xC3\xAD"
                                                                                 "a"},
                                                                 {"Bo", "Chen"}};

INSTANTIATE_TEST_SUITE_P(
    Report, NameMatch,
    testing::Values(
        MatchCase{"SameName", kClass, "Ann Lee", 0},
        MatchCase{"CaseAndUnderscores", kClass, "ann__LEE", 0},
        MatchCase{"WithoutAccents", kClass, "Jose Nunez Garcia", 1},
        MatchCase{"LastCommaFirst", kClass, "Chen, Bo", 2},
        MatchCase{"CompoundFamilyNameByItsEnds", kClass,
                  "Jos\xC3\xA9 Garc\xC3\xAD"
                  "a",
                  1},
        MatchCase{"MiddleNameOnTheList", {{"Ann Marie", "Lee"}, {"Bo", "Chen"}}, "Ann Lee", 0},
        MatchCase{"MiddleNameInTheFile", kClass, "Ann Marie Lee", 0},
        MatchCase{"WholeNameBeforeItsEnds", {{"Ann Marie", "Lee"}, {"Ann", "Lee"}}, "Ann Lee", 1},
        MatchCase{"TwoOfOneName",
                  {{"Ann", "Lee"}, {"Bo", "Chen"}, {"Ann", "Lee"}},
                  "Ann Lee",
                  -1,
                  {0, 2},
                  true},
        MatchCase{"TwoOfOneNameByItsEnds",
                  {{"Ann Marie", "Lee"}, {"Ann Beth", "Lee"}},
                  "Ann Lee",
                  -1,
                  {0, 1},
                  true},
        // Never a guess: a name on no row gives those of its last or first word.
        MatchCase{"OnNoRow", kClass, "Ann Lea", -1, {0}},
        MatchCase{"FirstNameAlone", kClass, "Ann", -1, {0}},
        MatchCase{"NothingAlike", kClass, "Dee Park", -1}, MatchCase{"EmptyName", kClass, "", -1}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
