#pragma once

#include "report/report.h"
#include "report/roster.h"

#include <QDate>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a course site's gradebook takes of each student's work on each
// assignment, for the grades CSV and the workbook's sheet alike.
struct Grade {
    int answered = 0;  // questions with a response
    int critiques = 0; // questions with a critique that is not empty
    int completed = 0; // questions with both
    // Of the digit ratings of the shown responses and critiques; none when
    // no shown entry has one.
    std::optional<double> meanConfidence;
    std::optional<double> meanCritique;
    QDate lastRun; // invalid when there was none
};

struct Gradebook {
    struct Assignment {
        std::string code;
        std::optional<int> questions; // in the course; none when not in it
    };
    struct Student {
        std::string name;
        std::vector<Grade> grades;          // one per assignment, zero when none done
        const RosterStudent* row = nullptr; // of the class list, when on it
    };
    std::vector<Assignment> assignments; // every one a student has, in order
    // In class-list order: with a class list, each of its students, and any
    // other with work.
    std::vector<Student> students;
    const Roster* roster = nullptr; // the class list's, when one was given
};

// The columns of each assignment, after its code and a blank: "001 answered".
inline constexpr std::array<std::string_view, 6> kGradeColumns = {
    "answered", "of", "critiques", "mean confidence", "mean critique", "last run"};
inline constexpr std::string_view kGradebookStudent = "student";

// From the cells, before they are freed.
Gradebook gradebookOf(const Report& report);

// "student", then each assignment's columns.
std::vector<std::string> gradebookHeader(const Gradebook& book);

// The gradebook as RFC 4180 CSV: means with two decimals, dates as 2026-04-16.
std::string gradesCsv(const Gradebook& book);
