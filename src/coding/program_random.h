#pragma once

#include <cstdint>
#include <random>

// The program's one pseudo-random generator, uniform on [0, 1) in single precision.
class ProgramRandom
{
public:
    // Every bit of the time of day feeds the seed, so fractions of a second matter.
    void seed(double secondsSinceMidnight);
    void seedFixed(std::uint32_t value);

    // Never 1.0f: only 24 random bits are kept, which a float holds exactly.
    float draw();

private:
    std::mt19937 engine_;
};

// The whole part of 10 * r + 19: 19 to 28 for r in [0, 1).
int codeNumberFrom(float r);
