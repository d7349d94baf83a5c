#pragma once

#include "report/report_core.h"
#include "report/writers.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

class Report;

struct RatingCounts {
    std::array<int, 4> digits{};
    int invalid = 0;
    int empty = 0;
    void add(const std::string& reply);
    int total() const;
};

// One run of the program: from an opening record to the next.
struct RunSummary {
    Stamp first = kNoStamp;
    Stamp last = kNoStamp;
    int critiques = 0;
    int notes = 0;
    RatingCounts confidence;
    RatingCounts critique;
    // The latest ratings of each question in this run as ratingCode gives
    // them, 0 when not given. A run has a dozen questions or so, and a record
    // is looked up here each time.
    struct Question {
        int number = 0;
        char confidence = 0;
        char critique = 0;
        std::string confidenceTyped; // when invalid
        std::string critiqueTyped;
    };
    std::vector<Question> questions;
    Question& question(int number);
    std::size_t answered() const;
};

// Per student and assignment, each run: questions answered of the course's
// count, critiques, both ratings, the questions rated 0 or 1, notes and the
// first and last time stamp.
void writeSummary(const Report& report, Out& out);
