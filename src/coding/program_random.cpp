#include "coding/program_random.h"

#include <bit>
#include <cmath>

void ProgramRandom::seed(double secondsSinceMidnight)
{
    const auto bits = std::bit_cast<std::uint64_t>(secondsSinceMidnight);
    std::seed_seq sequence{static_cast<std::uint32_t>(bits),
                           static_cast<std::uint32_t>(bits >> 32)};
    engine_.seed(sequence);
}

void ProgramRandom::seedFixed(std::uint32_t value)
{
    engine_.seed(value);
}

float ProgramRandom::draw()
{
    constexpr float kTwoToMinus24 = 1.0f / 16777216.0f;
    return static_cast<float>(engine_() >> 8) * kTwoToMinus24;
}

int codeNumberFrom(float r)
{
    // In single precision the largest float below 1 would round 10 * r + 19 up to 29.
    return static_cast<int>(std::floor(10.0 * static_cast<double>(r) + 19.0));
}
