#include "painting/Mask.h"

#include <algorithm>
#include <cmath>

namespace artgen {

Mask::Mask(int width, int height, int originX, int originY)
    : w(std::max(width, 1)), h(std::max(height, 1)), ox(originX), oy(originY),
      v(static_cast<std::size_t>(std::max(width, 1)) * std::max(height, 1), 0.0f) {}

Mask Mask::around(double x0, double y0, double x1, double y1, int pictureWidth, int pictureHeight) {
    const int ix0 = std::clamp(static_cast<int>(std::floor(x0)) - 1, 0, pictureWidth - 1);
    const int iy0 = std::clamp(static_cast<int>(std::floor(y0)) - 1, 0, pictureHeight - 1);
    const int ix1 = std::clamp(static_cast<int>(std::ceil(x1)) + 1, 0, pictureWidth - 1);
    const int iy1 = std::clamp(static_cast<int>(std::ceil(y1)) + 1, 0, pictureHeight - 1);
    return Mask(ix1 - ix0 + 1, iy1 - iy0 + 1, ix0, iy0);
}

float Mask::sample(double x, double y) const {
    x -= 0.5 + ox;
    y -= 0.5 + oy;
    const double fx = std::floor(x), fy = std::floor(y);
    const int x0 = std::clamp(static_cast<int>(fx), 0, w - 1), x1 = std::clamp(static_cast<int>(fx) + 1, 0, w - 1);
    const int y0 = std::clamp(static_cast<int>(fy), 0, h - 1), y1 = std::clamp(static_cast<int>(fy) + 1, 0, h - 1);
    const double u = x - fx, t = y - fy;
    const double a = at(x0, y0) + (at(x1, y0) - at(x0, y0)) * u;
    const double b = at(x0, y1) + (at(x1, y1) - at(x0, y1)) * u;
    return static_cast<float>(a + (b - a) * t);
}

void Mask::fill(const Path& path, float value) {
    struct Edge {
        Vec2 a, b;
        int dir;
    };
    std::vector<Edge> edges;
    double minY = 1e30, maxY = -1e30;
    const Vec2 shift{static_cast<double>(ox), static_cast<double>(oy)};
    for (const auto& c : path.contours) {
        const std::size_t n = c.size();
        if (n < 3) continue;
        for (std::size_t i = 0; i < n; ++i) {
            Vec2 a = c[i] - shift, b = c[(i + 1) % n] - shift;
            if (a.y == b.y) continue;
            int dir = 1;
            if (a.y > b.y) {
                std::swap(a, b);
                dir = -1;
            }
            edges.push_back({a, b, dir});
            minY = std::min(minY, a.y);
            maxY = std::max(maxY, b.y);
        }
    }
    if (edges.empty()) return;
    constexpr int subRows = 5;
    const int y0 = std::max(0, static_cast<int>(std::floor(minY)));
    const int y1 = std::min(h - 1, static_cast<int>(std::ceil(maxY)));
    std::vector<float> row(static_cast<std::size_t>(w) + 1);
    std::vector<std::pair<double, int>> hits;
    for (int y = y0; y <= y1; ++y) {
        std::fill(row.begin(), row.end(), 0.0f);
        bool any = false;
        for (int s = 0; s < subRows; ++s) {
            const double sy = y + (s + 0.5) / subRows;
            hits.clear();
            for (const Edge& e : edges)
                if (sy >= e.a.y && sy < e.b.y)
                    hits.push_back({e.a.x + (sy - e.a.y) * (e.b.x - e.a.x) / (e.b.y - e.a.y), e.dir});
            if (hits.size() < 2) continue;
            std::sort(hits.begin(), hits.end());
            int winding = 0;
            for (std::size_t i = 0; i + 1 < hits.size(); ++i) {
                winding += hits[i].second;
                if (winding == 0) continue;
                const double xa = std::clamp(hits[i].first, 0.0, static_cast<double>(w));
                const double xb = std::clamp(hits[i + 1].first, 0.0, static_cast<double>(w));
                if (xb <= xa) continue;
                any = true;
                const int ia = static_cast<int>(xa), ib = static_cast<int>(xb);
                const float k = 1.0f / subRows;
                if (ia == ib) {
                    row[ia] += static_cast<float>((xb - xa) * k);
                } else {
                    row[ia] += static_cast<float>((ia + 1 - xa) * k);
                    for (int x = ia + 1; x < ib; ++x) row[x] += k;
                    row[ib] += static_cast<float>((xb - ib) * k);
                }
            }
        }
        if (!any) continue;
        for (int x = 0; x < w; ++x) {
            const float c = std::min(1.0f, row[x]) * value;
            float& d = at(x, y);
            if (c > d) d = c;
        }
    }
}

void Mask::circle(Vec2 c, double r, float value) { capsule(c, r, c, r, value); }

void Mask::capsule(Vec2 a, double ra, Vec2 b, double rb, float value, double softness) {
    const Vec2 shift{static_cast<double>(ox), static_cast<double>(oy)};
    a = a - shift;
    b = b - shift;
    const double soft = std::max(softness, 1e-3);
    const double rmax = std::max(ra, rb) + soft;
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min(a.x, b.x) - rmax)));
    const int x1 = std::min(w - 1, static_cast<int>(std::ceil(std::max(a.x, b.x) + rmax)));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min(a.y, b.y) - rmax)));
    const int y1 = std::min(h - 1, static_cast<int>(std::ceil(std::max(a.y, b.y) + rmax)));
    const Vec2 ab = b - a;
    const double len2 = dot(ab, ab);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const Vec2 p{x + 0.5, y + 0.5};
            double t = len2 > 0 ? dot(p - a, ab) / len2 : 0;
            t = std::clamp(t, 0.0, 1.0);
            const double d = (p - (a + ab * t)).length();
            const double r = ra + (rb - ra) * t;
            // Thin strokes fade instead of vanishing, so hairlines stay visible.
            double cov = r >= 0.5 * soft ? std::clamp((r - d) / soft + 0.5, 0.0, 1.0)
                                         : std::clamp(1.0 - d / soft, 0.0, 1.0) * 2 * r / soft;
            const float c = static_cast<float>(cov) * value;
            float& dst = at(x, y);
            if (c > dst) dst = c;
        }
}

void Mask::stroke(const std::vector<Vec2>& points, const std::vector<double>& radii, float value) {
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        capsule(points[i], radii[std::min(i, radii.size() - 1)], points[i + 1],
                radii[std::min(i + 1, radii.size() - 1)], value);
}

void Mask::stroke(const std::vector<Vec2>& points, double radius, float value) {
    stroke(points, std::vector<double>{radius}, value);
}

void Mask::clear(float value) { std::fill(v.begin(), v.end(), value); }

void Mask::blur(double radius) {
    // Three box passes each way approximate a Gaussian.
    const int r = std::max(1, static_cast<int>(std::lround(radius / 1.7)));
    std::vector<float> tmp(v.size());
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y) {
            double sum = 0;
            for (int x = -r; x <= r; ++x) sum += at(std::clamp(x, 0, w - 1), y);
            for (int x = 0; x < w; ++x) {
                tmp[static_cast<std::size_t>(y) * w + x] = static_cast<float>(sum / (2 * r + 1));
                sum += at(std::min(x + r + 1, w - 1), y) - at(std::max(x - r, 0), y);
            }
        }
        for (int x = 0; x < w; ++x) {
            double sum = 0;
            for (int y = -r; y <= r; ++y) sum += tmp[static_cast<std::size_t>(std::clamp(y, 0, h - 1)) * w + x];
            for (int y = 0; y < h; ++y) {
                at(x, y) = static_cast<float>(sum / (2 * r + 1));
                sum += tmp[static_cast<std::size_t>(std::min(y + r + 1, h - 1)) * w + x] -
                       tmp[static_cast<std::size_t>(std::max(y - r, 0)) * w + x];
            }
        }
    }
}

void Mask::multiply(const Mask& o) {
    for (std::size_t i = 0; i < v.size(); ++i) v[i] *= o.v[i];
}

void Mask::subtract(const Mask& o) {
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = std::max(0.0f, v[i] - o.v[i]);
}

void Mask::scale(float k) {
    for (float& x : v) x *= k;
}

}  // namespace artgen
