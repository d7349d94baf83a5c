// Guards the layout of the course text: an author who edits src/bank/course.txt
// runs these to know that every index, count and marker the program relies on
// still holds.
#include "bank/course.h"
#include "bank/question_bank.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>

namespace
{

enum class Kind { Header, Empty, Question, Answer, EndMarker };

struct Assignment {
    int number;
    int header;
    int questions;
    int firstQuestion;
    int lastAnswer;
    int endMarker;
};

constexpr Assignment kAssignments[] = {
    {1, 1, 10, 3, 45, 47},        {2, 48, 8, 50, 80, 82},       {3, 83, 6, 85, 107, 109},
    {4, 110, 4, 112, 126, 128},   {5, 129, 8, 131, 161, 163},   {6, 164, 10, 166, 204, 206},
    {7, 207, 8, 209, 239, 241},   {8, 242, 4, 244, 258, 260},   {9, 261, 2, 263, 269, 271},
    {10, 272, 10, 274, 312, 314}, {11, 315, 11, 317, 359, 361}, {12, 362, 3, 364, 374, 376},
    {13, 377, 12, 379, 425, 427}, {14, 428, 5, 430, 448, 451},  {15, 452, 12, 454, 500, 501},
};

void PrintTo(const Assignment& a, std::ostream* os)
{
    *os << "assignment " << a.number;
}

// Empty entries after an answer, where the layout departs from one.
int emptiesAfterAnswer(int assignment, int question)
{
    static const std::map<std::pair<int, int>, int> departures = {
        {{1, 1}, 2}, {{1, 2}, 3}, {{1, 9}, 2}, {{14, 5}, 2}, {{15, 12}, 0}};
    const auto it = departures.find({assignment, question});
    return it == departures.end() ? 1 : it->second;
}

std::vector<Kind> expectedLayout(const Assignment& a)
{
    std::vector<Kind> kinds = {Kind::Header, Kind::Empty};
    for (int q = 1; q <= a.questions; ++q) {
        kinds.insert(kinds.end(), {Kind::Question, Kind::Empty, Kind::Answer});
        kinds.insert(kinds.end(), emptiesAfterAnswer(a.number, q), Kind::Empty);
    }
    kinds.push_back(Kind::EndMarker);
    return kinds;
}

std::string threeDigits(int n)
{
    std::string digits = std::to_string(n);
    return std::string(3 - std::min<std::size_t>(3, digits.size()), '0') + digits;
}

class CourseText : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        entries_ = new std::vector<std::string>(courseEntries());
        bank_ = new BankLines;
        int cursor = 0;
        loadQuestionBank(*bank_, cursor, *entries_);
        cursorAfterLoad_ = cursor;
    }
    static void TearDownTestSuite()
    {
        delete entries_;
        delete bank_;
    }
    static const std::string& at(int index) { return (*bank_)[static_cast<std::size_t>(index)]; }

    static inline std::vector<std::string>* entries_ = nullptr;
    static inline BankLines* bank_ = nullptr;
    static inline int cursorAfterLoad_ = -1;
};

TEST_F(CourseText, LoadsIntoIndicesOneTo501)
{
    EXPECT_EQ(entries_->size(), 501u);
    EXPECT_EQ(cursorAfterLoad_, 0);
    EXPECT_EQ(at(0), "");
    EXPECT_EQ(at(1), "001.");
    EXPECT_EQ(at(2), "");
    EXPECT_EQ(at(501), "end program");
    for (int i = 502; i <= kLastBankIndex; ++i) {
        ASSERT_EQ(at(i), "") << "index " << i;
    }
}

TEST_F(CourseText, CountsOfEachKind)
{
    int headers = 0, questions = 0, answers = 0, ends = 0, empties = 0;
    for (int i = 1; i <= 501; ++i) {
        const std::string& e = at(i);
        if (e.empty()) {
            ++empties;
        } else if (e.starts_with("`q")) {
            ++questions;
        } else if (e.starts_with("`a")) {
            ++answers;
        } else if (e == "end program") {
            ++ends;
        } else if (isAssignmentHeader(e)) {
            ++headers;
        }
    }
    EXPECT_EQ(headers, 15);
    EXPECT_EQ(questions, 113);
    EXPECT_EQ(answers, 113);
    EXPECT_EQ(ends, 15);
    EXPECT_EQ(empties, 245);
}

TEST_F(CourseText, AssignmentOneQuestionIndices)
{
    for (int index : {3, 8, 14, 18, 22, 26, 30, 34, 38, 43}) {
        EXPECT_TRUE(at(index).starts_with("`q")) << "index " << index;
        EXPECT_TRUE(at(index + 2).starts_with("`a")) << "index " << index + 2;
    }
}

TEST_F(CourseText, FirstQuestionAndAnswerOpenAsQuoted)
{
    EXPECT_TRUE(at(3).starts_with("`q001.  Note that this assignment has 10 questions\r\n\r\n"
                                  "Solve the following system of simultaneous linear equations:"));
    EXPECT_TRUE(at(5).starts_with("`aThe system\r\n\r\n3a + 3b = 9\r\n"));
}

TEST_F(CourseText, BracesOnlyOnceRightAfterALineBreak)
{
    const int answerFour = 207 + 2 + 4 * 3 + 2;
    int count = 0;
    for (int i = 1; i <= 501; ++i) {
        for (auto pos = at(i).find("{}"); pos != std::string::npos;
             pos = at(i).find("{}", pos + 1)) {
            ++count;
            EXPECT_EQ(i, answerFour);
            EXPECT_GE(pos, 2u);
            EXPECT_EQ(at(i).substr(pos - 2, 2), "\r\n");
        }
    }
    EXPECT_EQ(count, 1);
}

TEST_F(CourseText, OnlyHeadersAndThreeAnswersOfThirteenBeginWithADigit)
{
    int powersOfTwo = 0;
    for (int i = 1; i <= 501; ++i) {
        std::string text = at(i);
        const bool answer = text.starts_with("`a");
        if (answer) {
            text.erase(0, 2);
        }
        if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) {
            continue;
        }
        const bool header = std::any_of(std::begin(kAssignments), std::end(kAssignments),
                                        [i](const Assignment& a) { return a.header == i; });
        if (answer && i > 377 && i < 427 && text.starts_with("2^")) {
            ++powersOfTwo;
        } else {
            EXPECT_TRUE(header) << "index " << i << " begins with a digit";
        }
    }
    EXPECT_EQ(powersOfTwo, 3);
}

TEST_F(CourseText, TextRules)
{
    std::size_t total = 0;
    for (int i = 1; i <= 501; ++i) {
        const std::string& e = at(i);
        total += e.size();
        SCOPED_TRACE("index " + std::to_string(i));
        EXPECT_LE(e.size(), 1765u);
        EXPECT_FALSE(e.starts_with("\r\n"));
        EXPECT_FALSE(e.ends_with("\r\n"));
        for (std::size_t k = 0; k < e.size(); ++k) {
            const auto c = static_cast<unsigned char>(e[k]);
            if (c == '\r') {
                ASSERT_TRUE(k + 1 < e.size() && e[k + 1] == '\n') << "bare CR at " << k;
            } else if (c == '\n') {
                ASSERT_TRUE(k > 0 && e[k - 1] == '\r') << "bare LF at " << k;
            } else {
                ASSERT_TRUE(c >= 32 && c < 127) << "character " << int(c) << " at " << k;
            }
        }
        // Routine entries and the end sentinel belong to test banks, not the course.
        EXPECT_FALSE(e.starts_with("`r") || e.starts_with("`R"));
        EXPECT_FALSE(e.starts_with("####.#"));
    }
    EXPECT_GE(total, 64000u);
    EXPECT_LE(total, 80000u);
}

class AssignmentLayout : public CourseText, public testing::WithParamInterface<Assignment>
{
};

TEST_P(AssignmentLayout, MatchesTable)
{
    const Assignment& a = GetParam();
    const auto kinds = expectedLayout(a);
    const std::string number = threeDigits(a.number);
    int question = 0;
    int lastAnswer = 0;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        const int index = a.header + static_cast<int>(k);
        const std::string& e = at(index);
        SCOPED_TRACE("index " + std::to_string(index));
        switch (kinds[k]) {
        case Kind::Header:
            EXPECT_EQ(e, a.number == 6 ? number + ". " : number + ".");
            break;
        case Kind::Empty:
            EXPECT_EQ(e, "");
            break;
        case Kind::Question: {
            ++question;
            if (question == 1) {
                EXPECT_EQ(index, a.firstQuestion);
            }
            const std::string blanks = question == 1 && a.number != 1 ? "    " : "  ";
            const std::string prefix = "`q" + threeDigits(question) + "." + blanks;
            EXPECT_TRUE(e.starts_with(prefix)) << e.substr(0, 20);
            EXPECT_GT(e.size(), prefix.size());
            EXPECT_NE(e[prefix.size()], ' ');
            if (question == 1) {
                EXPECT_TRUE(e.starts_with(prefix + "Note that this assignment has " +
                                          std::to_string(a.questions) + " questions\r\n\r\n"));
            }
            break;
        }
        case Kind::Answer:
            EXPECT_TRUE(e.starts_with("`a")) << e.substr(0, 20);
            EXPECT_GT(e.size(), 2u);
            lastAnswer = index;
            break;
        case Kind::EndMarker:
            EXPECT_EQ(index, a.endMarker);
            EXPECT_EQ(e, "end program");
            break;
        }
    }
    EXPECT_EQ(question, a.questions);
    EXPECT_EQ(lastAnswer, a.lastAnswer);
    const int next = a.endMarker + 1;
    if (a.number < 15) {
        EXPECT_TRUE(at(next).starts_with(threeDigits(a.number + 1) + "."));
    } else {
        EXPECT_EQ(at(next), "");
    }
}

// The opening scan compares the first four characters of each entry with the
// number and "."; the first entry that matches must be the header.
TEST_P(AssignmentLayout, HeaderIsFirstMatchOfItsNumber)
{
    const Assignment& a = GetParam();
    const std::string key = threeDigits(a.number) + ".";
    int found = 0;
    for (int i = 1; i <= kLastBankIndex && found == 0; ++i) {
        if (headerKey(at(i)) == key) {
            found = i;
        }
    }
    EXPECT_EQ(found, a.header);
}

INSTANTIATE_TEST_SUITE_P(Course, AssignmentLayout, testing::ValuesIn(kAssignments),
                         [](const testing::TestParamInfo<Assignment>& param) {
                             return "Assignment" + threeDigits(param.param.number);
                         });

} // namespace
