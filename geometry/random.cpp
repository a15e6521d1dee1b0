#include "geometry/random.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace vantrel {

double SystemSecondsSinceMidnight() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &seconds);  // Windows' thread-safe form, its arguments the other way round
#else
    localtime_r(&seconds, &local);
#endif
    const auto sinceEpoch = now.time_since_epoch();
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count() % 1000;
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + milliseconds / 1000.0;
}

void RandomSeed(Random& random, double secondsSinceMidnight) {
    // Whole milliseconds make the seed; anything else (NaN, negative, huge) still seeds deterministically.
    const double millis = std::isfinite(secondsSinceMidnight) ? std::fabs(secondsSinceMidnight) * 1000.0 : 0.0;
    const double bounded = std::fmod(std::nearbyint(millis), 18446744073709551616.0);
    random.state = static_cast<std::uint64_t>(bounded) ^ 0x9E3779B97F4A7C15ull;
}

void RandomSeedFromClock(Random& random) {
    RandomSeed(random, random.clock ? random.clock() : SystemSecondsSinceMidnight());
}

float RandomUniform(Random& random) {
    // SplitMix64: small state, good spread even from neighbouring seeds.
    std::uint64_t z = (random.state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<float>(z >> 40) * (1.0f / 16777216.0f);
}

}  // namespace vantrel
