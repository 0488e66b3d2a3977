#include "geometry/Path.h"

#include <algorithm>
#include <cmath>

namespace artgen {

namespace {

int curveSamples(double length) { return std::max(4, std::min(64, static_cast<int>(length / 2.0) + 4)); }

Vec2 catmullRom(Vec2 p0, Vec2 p1, Vec2 p2, Vec2 p3, double t) {
    const double t2 = t * t, t3 = t2 * t;
    return (p1 * 2 + (p2 - p0) * t + (p0 * 2 - p1 * 5 + p2 * 4 - p3) * t2 + (p1 * 3 - p0 - p2 * 3 + p3) * t3) * 0.5;
}

}  // namespace

Path& Path::moveTo(Vec2 p) {
    contours.emplace_back();
    contours.back().push_back(p);
    current = p;
    return *this;
}

Path& Path::lineTo(Vec2 p) {
    if (contours.empty()) moveTo(current);
    contours.back().push_back(p);
    current = p;
    return *this;
}

Path& Path::quadTo(Vec2 c, Vec2 p) {
    const Vec2 p0 = current;
    const int n = curveSamples((c - p0).length() + (p - c).length());
    for (int i = 1; i <= n; ++i) {
        const double t = static_cast<double>(i) / n;
        lineTo(p0 * ((1 - t) * (1 - t)) + c * (2 * t * (1 - t)) + p * (t * t));
    }
    return *this;
}

Path& Path::cubicTo(Vec2 c1, Vec2 c2, Vec2 p) {
    const Vec2 p0 = current;
    const int n = curveSamples((c1 - p0).length() + (c2 - c1).length() + (p - c2).length());
    const std::vector<Vec2> pts = cubicPoints(p0, c1, c2, p, n);
    for (std::size_t i = 1; i < pts.size(); ++i) lineTo(pts[i]);
    return *this;
}

Path& Path::append(const Path& other) {
    contours.insert(contours.end(), other.contours.begin(), other.contours.end());
    return *this;
}

Path Path::polygon(const std::vector<Vec2>& points) {
    Path p;
    p.contours.push_back(points);
    return p;
}

Path Path::ellipse(Vec2 centre, double rx, double ry, int segments) {
    std::vector<Vec2> pts;
    for (int i = 0; i < segments; ++i) {
        const double a = 2 * pi * i / segments;
        pts.push_back({centre.x + rx * std::cos(a), centre.y + ry * std::sin(a)});
    }
    return polygon(pts);
}

Path Path::rect(double x0, double y0, double x1, double y1) { return polygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}); }

Path Path::roundedRect(double x0, double y0, double x1, double y1, double radius) {
    std::vector<Vec2> pts;
    const Vec2 corners[4] = {{x1 - radius, y0 + radius}, {x1 - radius, y1 - radius}, {x0 + radius, y1 - radius},
                             {x0 + radius, y0 + radius}};
    for (int c = 0; c < 4; ++c) {
        const double start = -pi / 2 + c * pi / 2;
        for (int i = 0; i <= 12; ++i) {
            const double a = start + (pi / 2) * i / 12;
            pts.push_back({corners[c].x + radius * std::cos(a), corners[c].y + radius * std::sin(a)});
        }
    }
    return polygon(pts);
}

Path Path::smoothClosed(const std::vector<Vec2>& p, int samplesPerSpan) {
    std::vector<Vec2> pts;
    const std::size_t n = p.size();
    for (std::size_t i = 0; i < n; ++i)
        for (int s = 0; s < samplesPerSpan; ++s)
            pts.push_back(catmullRom(p[(i + n - 1) % n], p[i], p[(i + 1) % n], p[(i + 2) % n],
                                     static_cast<double>(s) / samplesPerSpan));
    return polygon(pts);
}

std::vector<Vec2> smoothOpen(const std::vector<Vec2>& p, int samplesPerSpan) {
    std::vector<Vec2> pts;
    const std::size_t n = p.size();
    if (n < 2) return p;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const Vec2 p0 = i == 0 ? p[0] * 2 - p[1] : p[i - 1];
        const Vec2 p3 = i + 2 < n ? p[i + 2] : p[n - 1] * 2 - p[n - 2];
        for (int s = 0; s < samplesPerSpan; ++s)
            pts.push_back(catmullRom(p0, p[i], p[i + 1], p3, static_cast<double>(s) / samplesPerSpan));
    }
    pts.push_back(p[n - 1]);
    return pts;
}

std::vector<Vec2> cubicPoints(Vec2 p0, Vec2 c1, Vec2 c2, Vec2 p1, int samples) {
    std::vector<Vec2> pts;
    for (int i = 0; i <= samples; ++i) {
        const double t = static_cast<double>(i) / samples, u = 1 - t;
        pts.push_back(p0 * (u * u * u) + c1 * (3 * u * u * t) + c2 * (3 * u * t * t) + p1 * (t * t * t));
    }
    return pts;
}

Path Path::mapped(const std::function<Vec2(Vec2)>& f) const {
    Path r;
    for (const auto& c : contours) {
        r.contours.emplace_back();
        for (const Vec2& v : c) r.contours.back().push_back(f(v));
    }
    return r;
}

Path Path::translated(Vec2 d) const {
    return mapped([d](Vec2 v) { return v + d; });
}

}  // namespace artgen
