// The demo data's random numbers: a fixed-seed generator whose draws are the same on every platform
// (the standard distributions are not, so the demo would differ between library versions).
#pragma once

#include <cstdint>
#include <random>

class DemoRandom {
public:
    explicit DemoRandom(std::uint32_t seed = 20250101u) : engine_(seed) {}

    // A whole number in [0, n); n > 0.
    std::int64_t below(std::int64_t n) { return std::int64_t(next64() % std::uint64_t(n)); }
    // A whole number in [low, high].
    std::int64_t between(std::int64_t low, std::int64_t high) { return low + below(high - low + 1); }
    bool percent(int chance) { return below(100) < chance; }

private:
    std::uint64_t next64() { return (std::uint64_t(engine_()) << 32) | engine_(); }

    std::mt19937 engine_;
};
