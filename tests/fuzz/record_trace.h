#pragma once

#include "record/record_reader.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>

inline void require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// Everything read, in order, as text to compare two readings by.
class Trace : public RecordSink
{
public:
    void opening(const ReadOpening& r) override
    {
        line(r.line);
        text += "O" + r.codeLine + '|' + r.assignment + '|' + r.header + '|' + r.courseTitle + '|' +
                std::to_string(r.date.toJulianDay()) + '\n';
    }
    void entry(const ReadEntry& r) override
    {
        line(r.line);
        text += "E" + std::to_string(static_cast<int>(r.kind)) + '|' +
                std::to_string(r.time.msecsSinceStartOfDay()) + '|' + r.entryFirstLine + '|' +
                std::to_string(r.entryHash) + '|' + r.text + '|' +
                std::to_string(static_cast<int>(r.rating)) + '|' + r.reply + '\n';
    }
    void problem(const ReadProblem& p) override
    {
        line(p.line);
        require(p.message.starts_with("expected "), "a problem says what was expected");
        text += "P" + std::to_string(p.line) + p.message + '\n';
    }
    std::size_t lastLine = 0;
    std::string text;

private:
    void line(std::size_t number)
    {
        require(number >= 1 && number >= lastLine, "lines are told in file order");
        lastLine = number;
    }
};
