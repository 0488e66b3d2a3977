// A seeded pseudo-random generator of its own, so that the artwork is the
// same on every build whatever the C library's rand does.
#pragma once

#include <cstdint>

namespace artgen {

class Rng {
public:
    explicit Rng(std::uint64_t seed) : state(seed) {}
    std::uint64_t next() {  // splitmix64
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    // Roughly normal, mean 0, deviation 1 (sum of uniforms).
    double gauss() {
        double s = 0;
        for (int i = 0; i < 6; ++i) s += uniform();
        return (s - 3.0) * 1.41421356;
    }

private:
    std::uint64_t state;
};

}  // namespace artgen
