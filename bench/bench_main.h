#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <string>

// Benchmarks come in pairs named "<Case>/program" and "<Case>/baseline"; after
// the run each case's ratio program / baseline is printed as a RESULT line.
namespace bench
{

// The ratio a case should stay at or below.
bool setGoal(const std::string& caseName, double ratio);

// Runs before the QApplication goes, for state that holds widgets or files.
void atExit(std::function<void()> done);

// Seconds between two clock readings, for UseManualTime benchmarks that time
// only the call under test.
using Clock = std::chrono::steady_clock;
inline double seconds(Clock::time_point start, Clock::time_point end)
{
    return std::chrono::duration<double>(end - start).count();
}

} // namespace bench
