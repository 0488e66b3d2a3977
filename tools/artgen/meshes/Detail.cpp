#include "meshes/Detail.h"

#include <algorithm>
#include <cmath>

namespace artgen {

namespace {

// How far a coarser cut may stray from the full one where the part comes
// nearest: a pixel and a half of a 1920x1080 screen in place (about a pixel
// at 1024x768; a shift that pictures side by side do not show), three
// texels in texture (the atlas is painted without detail that fine) and 40
// degrees in the normals, which smooth shading spreads over cells a few
// pixels wide. Half the place tolerance costs the bunch some 40 % more
// triangles.
const double placeTolerance = 1.5;
const double textureTolerance = 3;
const double normalTolerance = std::cos(radians(40));

struct Sample {
    Vec3 position, normal;
    Vec2 uv;
};

Sample blend(const Sample& a, double wa, const Sample& b, double wb, const Sample& c, double wc) {
    return {a.position * wa + b.position * wb + c.position * wc,
            (a.normal * wa + b.normal * wb + c.normal * wc).normalized(),
            a.uv * wa + b.uv * wb + c.uv * wc};
}

// The surface at the nodes of a cols x rows grid, row by row.
std::vector<Sample> nodes(const SurfaceFunction& surface, const TextureFunction& texture, int cols, int rows) {
    std::vector<Sample> out;
    for (int j = 0; j <= rows; ++j)
        for (int i = 0; i <= cols; ++i) {
            const double u = static_cast<double>(i) / cols, v = static_cast<double>(j) / rows;
            out.push_back({surface(u, v), surfaceNormal(surface, u, v), texture(u, v)});
        }
    return out;
}

// What the grid's triangles show at (u, v): each cell a-b-c-d (a at its
// lowest u and v, b next in u) is split into a-b-c and a-c-d.
Sample interpolate(const std::vector<Sample>& grid, int cols, int rows, double u, double v) {
    const int i = std::min(cols - 1, static_cast<int>(u * cols));
    const int j = std::min(rows - 1, static_cast<int>(v * rows));
    const double s = u * cols - i, t = v * rows - j;
    const auto at = [&](int di, int dj) -> const Sample& {
        return grid[static_cast<std::size_t>((j + dj) * (cols + 1) + i + di)];
    };
    const Sample &a = at(0, 0), &b = at(1, 0), &c = at(1, 1), &d = at(0, 1);
    if (s >= t) return blend(a, 1 - s, b, s - t, c, t);
    return blend(a, 1 - t, d, t - s, c, s);
}

}  // namespace

Detail::Detail(double pixelsPerUnit, double texelsPerUv) : pixelsPerUnit(pixelsPerUnit), texelsPerUv(texelsPerUv) {}

GridSize Detail::grid(const SurfaceFunction& surface, const TextureFunction& texture, int cols, int rows) const {
    // The full grid's picture, looked at four times as densely as its cells.
    const std::vector<Sample> full = nodes(surface, texture, cols, rows);
    const int lu = 4 * cols, lv = 4 * rows;
    std::vector<Sample> reference;
    for (int j = 0; j <= lv; ++j)
        for (int i = 0; i <= lu; ++i)
            reference.push_back(interpolate(full, cols, rows, static_cast<double>(i) / lu, static_cast<double>(j) / lv));
    const double placeLimit = placeTolerance / pixelsPerUnit, textureLimit = textureTolerance / texelsPerUv;
    auto closeEnough = [&](int c, int r) {
        const std::vector<Sample> coarse = nodes(surface, texture, c, r);
        std::size_t k = 0;
        for (int j = 0; j <= lv; ++j)
            for (int i = 0; i <= lu; ++i, ++k) {
                const Sample s = interpolate(coarse, c, r, static_cast<double>(i) / lu, static_cast<double>(j) / lv);
                const Sample& want = reference[k];
                if ((s.position - want.position).length() > placeLimit) return false;
                if ((s.uv - want.uv).length() > textureLimit) return false;
                if (dot(s.normal, want.normal) < normalTolerance) return false;
            }
        return true;
    };
    // The fewest cells; among as many, the fewest columns.
    GridSize best{cols, rows};
    for (int c = 1; c <= cols; ++c)
        for (int r = 1; r <= rows; ++r) {
            if (c * r >= best.cols * best.rows) break;
            if (closeEnough(c, r)) {
                best = {c, r};
                break;
            }
        }
    return best;
}

GridSize Detail::grid(const SurfaceFunction& surface, int cols, int rows) const {
    return grid(surface, [](double, double) { return Vec2{}; }, cols, rows);
}

int Detail::segments(const CurveFunction& curve, int most) const {
    const std::vector<Vec3> full = samples(curve, most);
    auto along = [](const std::vector<Vec3>& points, double t) {
        const int n = static_cast<int>(points.size()) - 1;
        const int i = std::min(n - 1, static_cast<int>(t * n));
        return lerp(points[static_cast<std::size_t>(i)], points[static_cast<std::size_t>(i + 1)], t * n - i);
    };
    const double limit = placeTolerance / pixelsPerUnit;
    const int checks = 4 * most;
    for (int n = 1; n < most; ++n) {
        const std::vector<Vec3> coarse = samples(curve, n);
        bool close = true;
        for (int k = 0; k <= checks && close; ++k) {
            const double t = static_cast<double>(k) / checks;
            close = (along(coarse, t) - along(full, t)).length() <= limit;
        }
        if (close) return n;
    }
    return most;
}

int Detail::sides(double radius, int most) const {
    // A polygon's sides lie cos(pi / n) of the radius out: fewer sides may
    // bring them in by no more than the tolerance.
    const double full = radius * std::cos(pi / most) * pixelsPerUnit;
    for (int n = 3; n < most; ++n)
        if (full - radius * std::cos(pi / n) * pixelsPerUnit <= placeTolerance) return n;
    return most;
}

double screenPixelsPerUnit(double depth, double lines) { return lines / 2 / std::tan(radians(22.5)) / depth; }

std::vector<Vec3> samples(const CurveFunction& curve, int segments) {
    std::vector<Vec3> out;
    for (int i = 0; i <= segments; ++i) out.push_back(curve(static_cast<double>(i) / segments));
    return out;
}

}  // namespace artgen
