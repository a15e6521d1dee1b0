#pragma once
// The program's one pseudo-random generator: uniform floats in [0, 1), seeded from
// the time of day. Tests and tools inject a fixed clock or seed to make runs repeatable.
#include <cstdint>

namespace vantrel {

// Seconds since local midnight, with millisecond resolution.
using TimeOfDaySource = double (*)();

struct Random {
    std::uint64_t state = 0;
    TimeOfDaySource clock = nullptr;  // null: the system clock
};

double SystemSecondsSinceMidnight();
// The same seed always gives the same sequence.
void RandomSeed(Random& random, double secondsSinceMidnight);
// Seeds from the generator's clock (the system clock unless one was injected).
void RandomSeedFromClock(Random& random);
// Uniform in [0, 1): 24 random bits, so the float is exact and never rounds up to 1.
float RandomUniform(Random& random);

}  // namespace vantrel
