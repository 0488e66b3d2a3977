#include "render/PlasmaGenerator.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

// 6.28, not 2 pi: the pattern does not quite wrap at the texture's edge.
constexpr double turn = 6.28;
constexpr double speed1 = 0.00012;
constexpr double speed2 = 0.00024;
constexpr double speed3 = 0.0048;

// The pixel of brightness v, on or off the grid lines.
inline void shadeLevel(unsigned char* p, int v, bool onGrid, const PlasmaColour& c) {
    const int d = v - 120;
    // Colour sums wrap modulo 256.
    p[0] = static_cast<unsigned char>(c.red + d);
    p[1] = static_cast<unsigned char>(c.green + d);
    p[2] = static_cast<unsigned char>(c.blue + d);
    p[3] = (v >= 121 && v <= 126) ? 255 : 0;
    if (onGrid) {
        p[1] = 127;
        p[3] = 255;
    }
}

inline void shadePixel(unsigned char* p, double s, int x, int y, int width, int height, const PlasmaColour& c) {
    shadeLevel(p, static_cast<int>(s * 21 + 128), x % 16 == 0 || y % 16 == 0 || x == width - 1 || y == height - 1,
               c);
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

// Two pixels at a time: plain element-wise IEEE arithmetic, so each lane
// rounds exactly as the scalar expression would.
typedef double Double2 __attribute__((vector_size(16)));
typedef std::int32_t Int2 __attribute__((vector_size(8)));

// The y terms are added one by one, in the formula's order, so that the
// rounding matches the direct evaluation.
inline double rowSum(double columnSum, double y1, double y2, double y3) { return columnSum + y1 + y2 + y3; }
inline Double2 rowSum(Double2 columnSum, double y1, double y2, double y3) { return columnSum + y1 + y2 + y3; }

// The same sums with each sine evaluated once per column or row. The three x
// terms come first in the formula, so their partial sum can be kept per
// column; `rowSink` receives that array and the three y terms of each row.
template <class RowSink>
void fastSums(std::int32_t time, std::int32_t width, std::int32_t height, RowSink rowSink) {
    const double kx = turn / width;
    const double ky = turn / height;
    const double t = time;
    const std::size_t w = static_cast<std::size_t>(width);
    std::vector<double> columnSum(w);
    for (std::size_t x = 0; x < w; ++x) {
        const double fx = static_cast<double>(x);
        columnSum[x] =
            std::sin(fx * kx - speed1 * t) + std::sin(fx * 2 * kx - speed2 * t) + std::sin(fx * 4 * kx - speed3 * t);
    }
    for (int y = 0; y < height; ++y) {
        const double fy = y;
        const double y1 = std::sin(fy * ky - speed1 * t);
        const double y2 = std::sin(fy * 2 * ky - speed2 * t);
        const double y3 = std::sin(fy * 4 * ky - speed3 * t);
        rowSink(y, columnSum.data(), y1, y2, y3);
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
    const std::size_t w = static_cast<std::size_t>(width);
    // A pixel depends only on its brightness v and on whether it lies on the
    // grid, so both colourings are tabulated once per call: [0] off the
    // grid, [1] on it.
    std::uint32_t colours[2][256];
    for (int v = 0; v < 256; ++v) {
        unsigned char p[4];
        shadeLevel(p, v, false, c);
        std::memcpy(&colours[0][v], p, 4);
        shadeLevel(p, v, true, c);
        std::memcpy(&colours[1][v], p, 4);
    }
    // Grid columns: every 16th and the last.
    std::vector<std::size_t> gridColumns;
    for (std::size_t x = 0; x < w; ++x)
        if (x % 16 == 0 || x == w - 1) gridColumns.push_back(x);
    fastSums(time, width, height, [&](int y, const double* columnSum, double y1, double y2, double y3) {
        const bool gridRow = y % 16 == 0 || y == height - 1;
        const std::uint32_t* table = colours[gridRow ? 1 : 0];
        unsigned char* out = pixels + 4 * static_cast<std::size_t>(y) * w;
        // v lies in 2..254; the mask only keeps a stray value inside the table.
        auto level = [&](std::size_t i) {
            return static_cast<std::int32_t>(rowSum(columnSum[i], y1, y2, y3) * 21 + 128) & 255;
        };
        std::size_t x = 0;
        for (; x + 2 <= w; x += 2) {
            Double2 cs;
            std::memcpy(&cs, columnSum + x, sizeof cs);
            const Int2 v = __builtin_convertvector(rowSum(cs, y1, y2, y3) * 21.0 + 128.0, Int2);
            std::memcpy(out + 4 * x, &table[v[0] & 255], 4);
            std::memcpy(out + 4 * x + 4, &table[v[1] & 255], 4);
        }
        for (; x < w; ++x) std::memcpy(out + 4 * x, &table[level(x)], 4);
        if (!gridRow) {
            for (std::size_t g : gridColumns) std::memcpy(out + 4 * g, &colours[1][level(g)], 4);
        }
    });
}

void plasmaSumsDirect(std::int32_t time, std::int32_t width, std::int32_t height, double* sums) {
    directSums(time, width, height, [&](int x, int y, double s) { sums[static_cast<std::size_t>(y) * width + x] = s; });
}

void plasmaSums(std::int32_t time, std::int32_t width, std::int32_t height, double* sums) {
    const std::size_t w = static_cast<std::size_t>(width);
    fastSums(time, width, height, [&](int y, const double* columnSum, double y1, double y2, double y3) {
        double* row = sums + static_cast<std::size_t>(y) * w;
        std::size_t x = 0;
        for (; x + 2 <= w; x += 2) {
            Double2 cs;
            std::memcpy(&cs, columnSum + x, sizeof cs);
            const Double2 s = rowSum(cs, y1, y2, y3);
            std::memcpy(row + x, &s, sizeof s);
        }
        for (; x < w; ++x) row[x] = rowSum(columnSum[x], y1, y2, y3);
    });
}

