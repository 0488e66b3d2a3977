#include "painting/Noise.h"

#include <cmath>

namespace artgen {

namespace {

std::uint32_t hash3(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8DA6B343u ^ static_cast<std::uint32_t>(y) * 0xD8163841u ^
                      seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

double lattice(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    return static_cast<double>(hash3(x, y, seed)) * (2.0 / 4294967295.0) - 1.0;
}

double noiseWithPeriod(double x, double y, std::int32_t period, std::uint32_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    std::int32_t x0 = static_cast<std::int32_t>(fx), y0 = static_cast<std::int32_t>(fy);
    std::int32_t x1 = x0 + 1;
    if (period > 0) {
        x0 = ((x0 % period) + period) % period;
        x1 = ((x1 % period) + period) % period;
    }
    const double u = fade(x - fx), v = fade(y - fy);
    const double a = lattice(x0, y0, seed), b = lattice(x1, y0, seed);
    const double c = lattice(x0, y0 + 1, seed), d = lattice(x1, y0 + 1, seed);
    return (a + (b - a) * u) + ((c + (d - c) * u) - (a + (b - a) * u)) * v;
}

}  // namespace

double hash01(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    return static_cast<double>(hash3(x, y, seed)) / 4294967296.0;
}

double valueNoise(double x, double y, std::uint32_t seed) { return noiseWithPeriod(x, y, 0, seed); }

double fbm(double x, double y, std::uint32_t seed, int octaves, double gain) {
    double sum = 0, amplitude = 1, norm = 0, f = 1;
    for (int i = 0; i < octaves; ++i) {
        // Each octave is shifted so that lattice points do not line up.
        sum += amplitude * valueNoise(x * f + 17.31 * i, y * f - 9.73 * i, seed + 101u * static_cast<std::uint32_t>(i));
        norm += amplitude;
        amplitude *= gain;
        f *= 2;
    }
    return sum / norm;
}

double fbmWrapX(double x, double y, int periodX, std::uint32_t seed, int octaves, double gain) {
    double sum = 0, amplitude = 1, norm = 0;
    int period = periodX;
    double f = 1;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * noiseWithPeriod(x * f, y * f - 9.73 * i, period, seed + 101u * static_cast<std::uint32_t>(i));
        norm += amplitude;
        amplitude *= gain;
        f *= 2;
        period *= 2;
    }
    return sum / norm;
}

double cellDistance(double x, double y, std::uint32_t seed) {
    const std::int32_t cx = static_cast<std::int32_t>(std::floor(x)), cy = static_cast<std::int32_t>(std::floor(y));
    double best = 10;
    for (std::int32_t j = -1; j <= 1; ++j)
        for (std::int32_t i = -1; i <= 1; ++i) {
            const double px = cx + i + hash01(cx + i, cy + j, seed);
            const double py = cy + j + hash01(cx + i, cy + j, seed ^ 0x5bd1e995u);
            const double d = std::hypot(x - px, y - py);
            if (d < best) best = d;
        }
    return best;
}

}  // namespace artgen
