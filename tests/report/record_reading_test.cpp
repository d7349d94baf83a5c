#include "report_fixture.h"

#include "bank/course.h"
#include "report/csv_writer.h"
#include "report/report.h"
#include "report/summary_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace
{

const CourseIndex& course()
{
    static const CourseIndex c(courseEntries());
    return c;
}

struct Rows : RowSink {
    void row(const ReportRow& r) override
    {
        read.push_back(std::string(kindName(r.kind)) + ' ' + r.assignment + ' ' +
                       std::to_string(r.question));
    }
    std::vector<std::string> read;
};

// The rows of one file, and the summary's lists of questions rated 0 or 1,
// one line for each run.
std::pair<std::vector<std::string>, std::string> rowsOf(const std::string& bytes)
{
    Rows rows;
    Report report(course(), &rows);
    const std::string student = "Ann Lee";
    const std::string file = "f";
    report.beginFile(student, file, false);
    readRecords(bytes, report);
    std::ostringstream summary;
    {
        Out out(summary);
        writeSummary(report, out);
    }
    // Per run "none" or the questions' lines joined by "; ", then any
    // invalid ratings after " | ".
    std::string rated;
    const std::string_view label = "      rated 0 or 1:";
    const std::string_view question = "        q";
    const std::string_view invalid = "      invalid ratings: ";
    std::istringstream lines(summary.str());
    bool first = true;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(label)) {
            rated += (rated.empty() ? "" : "\n") +
                     line.substr(label.size() + (line.size() > label.size()));
            first = true;
        } else if (line.starts_with(question)) {
            rated += (first ? "" : "; ") + line.substr(question.size() - 1);
            first = false;
        } else if (line.starts_with(invalid)) {
            rated += " | " + line.substr(invalid.size());
        }
    }
    return {rows.read, rated};
}

struct PlaceCase {
    const char* name;
    std::function<std::string()> bytes;
    std::vector<std::string> rows;
    std::string rated;
};

void PrintTo(const PlaceCase& c, std::ostream* os)
{
    *os << c.name;
}

class QuestionOfARecord : public testing::TestWithParam<PlaceCase>
{
};

TEST_P(QuestionOfARecord, IsTheOneItAnswers)
{
    const auto [rows, rated] = rowsOf(GetParam().bytes());
    EXPECT_EQ(rows, GetParam().rows);
    EXPECT_EQ(rated, GetParam().rated);
}

INSTANTIATE_TEST_SUITE_P(
    Report, QuestionOfARecord,
    testing::Values(PlaceCase{"QuestionsByTheirNumber",
                              [] {
                                  return writer().opening("002", kDay, "RUN") +
                                         answered(FileRole::send, "002", 2, q("002", 2).entry,
                                                  Rating::confidence);
                              },
                              {"question 002 3"},
                              "none"},
                    PlaceCase{"MasterFileByItsNumberLine",
                              [] {
                                  return answered(FileRole::master, "004", 1, q("004", 1).entry,
                                                  Rating::confidence);
                              },
                              {"question 004 2"},
                              "none"},
                    PlaceCase{"CritiqueByItsWorkedAnswerNotTheLastQuestion",
                              [] {
                                  return writer().opening("003", kDay, "RUN") +
                                         answered(FileRole::send, "003", 3, q("003", 3).entry,
                                                  Rating::confidence) +
                                         answered(FileRole::send, "003", 1, q("003", 1).answer,
                                                  Rating::selfCritique);
                              },
                              {"question 003 4", "critique 003 2"},
                              "none"},
                    PlaceCase{"CritiqueOfATextNotInTheCourseByTheLastQuestion",
                              [] {
                                  return writer().opening("003", kDay, "RUN") +
                                         answered(FileRole::send, "003", 3, q("003", 3).entry,
                                                  Rating::confidence) +
                                         answered(FileRole::send, "003", 1, "an edited answer",
                                                  Rating::selfCritique);
                              },
                              {"question 003 4", "critique 003 4"},
                              "none"},
                    PlaceCase{"NoteOnAWorkedAnswer",
                              [] {
                                  return ClassWriter::note(FileRole::notes, kDay, QTime(9, 0),
                                                           q("005", 2).answer, "ask about this");
                              },
                              {"note 005 3"},
                              "none"},
                    PlaceCase{"ResponseBeforeAnyEntry",
                              [] {
                                  return writer().opening("001", kDay, "RUN") +
                                         ClassWriter::head(FileRole::send, QTime(9, 0), "001", 0,
                                                           "", "hi") +
                                         ClassWriter::tail(Rating::none, "");
                              },
                              {"other 001 0"},
                              "none"},
                    // The list is in the questions' order, each critique's rating under
                    // the question whose worked answer it critiques.
                    PlaceCase{"LowRatingsOutOfTheQuestionsOrder",
                              [] {
                                  const auto entry = [](int i) { return q("003", i).entry; };
                                  const auto answer = [](int i) { return q("003", i).answer; };
                                  const Rating c = Rating::confidence;
                                  const Rating s = Rating::selfCritique;
                                  return writer().opening("003", kDay, "RUN") +
                                         answered(FileRole::send, "003", 4, entry(4), c, "0") +
                                         answered(FileRole::send, "003", 1, entry(1), c, "1") +
                                         answered(FileRole::send, "003", 3, entry(3), c, "3") +
                                         answered(FileRole::send, "003", 4, answer(4), s, "1") +
                                         answered(FileRole::send, "003", 1, answer(1), s, "0") +
                                         answered(FileRole::send, "003", 3, answer(3), s, "2");
                              },
                              {"question 003 5", "question 003 2", "question 003 4",
                               "critique 003 5", "critique 003 2", "critique 003 4"},
                              "q002: confidence 1, critique 0; q005: confidence 0, critique 1"},
                    PlaceCase{"RatingsWithBlanksAsTheirDigits",
                              [] {
                                  return writer().opening("003", kDay, "RUN") +
                                         answered(FileRole::send, "003", 0, q("003", 0).entry,
                                                  Rating::confidence, " 1") +
                                         answered(FileRole::send, "003", 1, q("003", 1).entry,
                                                  Rating::confidence, "0 ") +
                                         answered(FileRole::send, "003", 2, q("003", 2).entry,
                                                  Rating::confidence, " 3 ");
                              },
                              {"question 003 1", "question 003 2", "question 003 3"},
                              "q001: confidence 1; q002: confidence 0"},
                    PlaceCase{"InvalidRatingsApartFromLowOnes",
                              [] {
                                  return writer().opening("003", kDay, "RUN") +
                                         answered(FileRole::send, "003", 0, q("003", 0).entry,
                                                  Rating::confidence, "x") +
                                         answered(FileRole::send, "003", 1, q("003", 1).entry,
                                                  Rating::confidence, "5") +
                                         answered(FileRole::send, "003", 2, q("003", 2).entry,
                                                  Rating::confidence, "") +
                                         answered(FileRole::send, "003", 3, q("003", 3).entry,
                                                  Rating::confidence, "01") +
                                         answered(FileRole::send, "003", 4, q("003", 4).entry,
                                                  Rating::confidence, "0");
                              },
                              {"question 003 1", "question 003 2", "question 003 3",
                               "question 003 4", "question 003 5"},
                              "q005: confidence 0 | q001 (confidence \"x\"), "
                              "q002 (confidence \"5\"), q004 (confidence \"01\")"},
                    PlaceCase{"LaterRatingOfAQuestionInTheRunCounts",
                              [] {
                                  return writer().opening("003", kDay, "RUN") +
                                         answered(FileRole::send, "003", 0, q("003", 0).entry,
                                                  Rating::confidence, "0") +
                                         answered(FileRole::send, "003", 0, q("003", 0).entry,
                                                  Rating::confidence, "x");
                              },
                              {"question 003 1", "question 003 1"},
                              "none | q001 (confidence \"x\")"}));

} // namespace
