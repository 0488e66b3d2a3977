#include "res/PlasmaGenerator.h"

#include <cmath>
#include <vector>

namespace {

// 6.28, not 2 pi: the pattern does not quite wrap at the texture's edge.
constexpr double turn = 6.28;
constexpr double speed1 = 0.00012;
constexpr double speed2 = 0.00024;
constexpr double speed3 = 0.0048;

inline void shadePixel(unsigned char* p, double s, int x, int y, int width, int height, const PlasmaColour& c) {
    const int v = static_cast<int>(s * 21 + 128);
    const int d = v - 120;
    // Colour sums wrap modulo 256.
    p[0] = static_cast<unsigned char>(c.red + d);
    p[1] = static_cast<unsigned char>(c.green + d);
    p[2] = static_cast<unsigned char>(c.blue + d);
    p[3] = (v >= 121 && v <= 126) ? 255 : 0;
    if (x % 16 == 0 || y % 16 == 0 || x == width - 1 || y == height - 1) {
        p[1] = 127;
        p[3] = 255;
    }
}

// The sum of the six sines for every pixel, handed to `sink` row by row.
template <class Sink>
void directSums(std::int32_t time, std::int32_t width, std::int32_t height, Sink sink) {
    const double kx = turn / width;
    const double ky = turn / height;
    const double t = time;
    for (int y = 0; y < height; ++y) {
        const double fy = y;
        for (int x = 0; x < width; ++x) {
            const double fx = x;
            const double s = std::sin(fx * kx - speed1 * t) + std::sin(fx * 2 * kx - speed2 * t) +
                             std::sin(fx * 4 * kx - speed3 * t) + std::sin(fy * ky - speed1 * t) +
                             std::sin(fy * 2 * ky - speed2 * t) + std::sin(fy * 4 * ky - speed3 * t);
            sink(x, y, s);
        }
    }
}

// The same sums with each sine evaluated once per column or row. The three
// x terms come first in the formula, so their partial sum can be kept per
// column; the y terms must still be added one by one, in order, for the
// rounding to match.
template <class Sink>
void fastSums(std::int32_t time, std::int32_t width, std::int32_t height, Sink sink) {
    const double kx = turn / width;
    const double ky = turn / height;
    const double t = time;
    std::vector<double> columnSum(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) {
        const double fx = x;
        columnSum[static_cast<std::size_t>(x)] =
            std::sin(fx * kx - speed1 * t) + std::sin(fx * 2 * kx - speed2 * t) + std::sin(fx * 4 * kx - speed3 * t);
    }
    for (int y = 0; y < height; ++y) {
        const double fy = y;
        const double y1 = std::sin(fy * ky - speed1 * t);
        const double y2 = std::sin(fy * 2 * ky - speed2 * t);
        const double y3 = std::sin(fy * 4 * ky - speed3 * t);
        for (int x = 0; x < width; ++x) sink(x, y, columnSum[static_cast<std::size_t>(x)] + y1 + y2 + y3);
    }
}

}  // namespace

void generatePlasmaDirect(std::int32_t time, std::int32_t width, std::int32_t height, unsigned char* pixels,
                          void* userData) {
    const PlasmaColour& c = *static_cast<const PlasmaColour*>(userData);
    directSums(time, width, height, [&](int x, int y, double s) {
        shadePixel(pixels + 4 * (static_cast<std::size_t>(y) * width + x), s, x, y, width, height, c);
    });
}

void generatePlasma(std::int32_t time, std::int32_t width, std::int32_t height, unsigned char* pixels,
                    void* userData) {
    const PlasmaColour& c = *static_cast<const PlasmaColour*>(userData);
    fastSums(time, width, height, [&](int x, int y, double s) {
        shadePixel(pixels + 4 * (static_cast<std::size_t>(y) * width + x), s, x, y, width, height, c);
    });
}

void plasmaSumsDirect(std::int32_t time, std::int32_t width, std::int32_t height, double* sums) {
    directSums(time, width, height, [&](int x, int y, double s) { sums[static_cast<std::size_t>(y) * width + x] = s; });
}

void plasmaSums(std::int32_t time, std::int32_t width, std::int32_t height, double* sums) {
    fastSums(time, width, height, [&](int x, int y, double s) { sums[static_cast<std::size_t>(y) * width + x] = s; });
}

void deletePlasmaColour(void* userData) { delete static_cast<PlasmaColour*>(userData); }
