#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// What the report needs of the compiled-in course: each assignment's
// questions with their texts, and where a record's entry comes from.
struct CourseQuestion {
    int number = 0;
    std::string text;
    std::string answer; // the worked answer
};

struct CourseAssignment {
    std::string number; // "005"
    std::vector<CourseQuestion> questions;
};

struct CoursePlace {
    std::string assignment;
    int question = 0;
};

class CourseIndex
{
public:
    // The bank's entries in order: a header, then each question followed,
    // after one empty entry, by its worked answer.
    explicit CourseIndex(const std::vector<std::string>& entries);

    const std::vector<CourseAssignment>& assignments() const { return assignments_; }
    const CourseAssignment* assignment(std::string_view number) const;
    const CourseQuestion* question(std::string_view assignment, int number) const;

    // By the entry hash of a record (see entryHash()).
    std::optional<CoursePlace> answerPlace(std::uint64_t entryHash) const;
    std::optional<CoursePlace> questionPlace(std::uint64_t entryHash) const;

private:
    std::vector<CourseAssignment> assignments_;
    std::unordered_map<std::uint64_t, CoursePlace> answers_;
    std::unordered_map<std::uint64_t, CoursePlace> questions_;
};
