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

}  // namespace

void generatePlasmaDirect(std::int32_t time, std::int32_t width, std::int32_t height, unsigned char* pixels,
                          void* userData) {
    const PlasmaColour& c = *static_cast<const PlasmaColour*>(userData);
    const double kx = turn / width;
    const double ky = turn / height;
    const double t = time;
    unsigned char* p = pixels;
    for (int y = 0; y < height; ++y) {
        const double fy = y;
        for (int x = 0; x < width; ++x, p += 4) {
            const double fx = x;
            const double s = std::sin(fx * kx - speed1 * t) + std::sin(fx * 2 * kx - speed2 * t) +
                             std::sin(fx * 4 * kx - speed3 * t) + std::sin(fy * ky - speed1 * t) +
                             std::sin(fy * 2 * ky - speed2 * t) + std::sin(fy * 4 * ky - speed3 * t);
            shadePixel(p, s, x, y, width, height, c);
        }
    }
}

void generatePlasma(std::int32_t time, std::int32_t width, std::int32_t height, unsigned char* pixels,
                    void* userData) {
    const PlasmaColour& c = *static_cast<const PlasmaColour*>(userData);
    const double kx = turn / width;
    const double ky = turn / height;
    const double t = time;
    // The three x terms are added first in the formula, so their partial sum
    // can be kept per column; the y terms must still be added one by one,
    // in order, for the rounding to match.
    std::vector<double> columnSum(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) {
        const double fx = x;
        columnSum[static_cast<std::size_t>(x)] =
            std::sin(fx * kx - speed1 * t) + std::sin(fx * 2 * kx - speed2 * t) + std::sin(fx * 4 * kx - speed3 * t);
    }
    unsigned char* p = pixels;
    for (int y = 0; y < height; ++y) {
        const double fy = y;
        const double y1 = std::sin(fy * ky - speed1 * t);
        const double y2 = std::sin(fy * 2 * ky - speed2 * t);
        const double y3 = std::sin(fy * 4 * ky - speed3 * t);
        for (int x = 0; x < width; ++x, p += 4) {
            const double s = columnSum[static_cast<std::size_t>(x)] + y1 + y2 + y3;
            shadePixel(p, s, x, y, width, height, c);
        }
    }
}

void deletePlasmaColour(void* userData) { delete static_cast<PlasmaColour*>(userData); }
