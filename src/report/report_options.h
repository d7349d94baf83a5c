#pragma once

// Every option of qa-tutor-report, defined once: the command line parses
// and explains them from this table, and a window offers the same.
#include "report/report_run.h"

#include <string>
#include <string_view>
#include <vector>

struct ReportOption {
    std::string_view name;     // "--csv"
    std::string_view argument; // "FILE", "FORMAT"; empty for a switch
    std::string_view help;     // what it does, in words
    // Where its value goes: a text for an option with an argument, else a switch.
    std::string ReportOptions::*text = nullptr;
    bool ReportOptions::*on = nullptr;
    // The values it takes, when it takes only some ("canvas, moodle, ...").
    std::string_view values = {};
};

// In the order --help gives them.
const std::vector<ReportOption>& reportOptions();
const ReportOption* reportOption(std::string_view name);

// Why the options cannot go together; empty when they can.
std::string optionsConflict(const ReportOptions& options);
