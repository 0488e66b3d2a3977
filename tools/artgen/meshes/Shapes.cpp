#include "meshes/Shapes.h"

#include <algorithm>
#include <cmath>

namespace artgen {

void addRect(ModelPart& part, double x0, double y0, double x1, double y1, double z, Vec2 st0, Vec2 st1) {
    const Vec3 n{0, 0, 1};
    part.quad({{x0, y0, z}, n, {st0.x, st0.y}}, {{x1, y0, z}, n, {st1.x, st0.y}}, {{x1, y1, z}, n, {st1.x, st1.y}},
              {{x0, y1, z}, n, {st0.x, st1.y}});
}

std::vector<int> triangulate(const std::vector<Vec2>& outline) {
    std::vector<int> result;
    const int n = static_cast<int>(outline.size());
    if (n < 3) return result;
    double area = 0;
    for (int i = 0; i < n; ++i) {
        const Vec2& a = outline[i];
        const Vec2& b = outline[(i + 1) % n];
        area += a.x * b.y - b.x * a.y;
    }
    std::vector<int> idx(n);
    for (int i = 0; i < n; ++i) idx[i] = area >= 0 ? i : n - 1 - i;  // counter-clockwise
    auto cross2 = [](Vec2 a, Vec2 b, Vec2 c) { return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x); };
    auto inside = [&](Vec2 p, Vec2 a, Vec2 b, Vec2 c) {
        return cross2(a, b, p) >= 0 && cross2(b, c, p) >= 0 && cross2(c, a, p) >= 0;
    };
    int guard = 0;
    while (idx.size() > 3 && guard < 100000) {
        ++guard;
        bool clipped = false;
        const int m = static_cast<int>(idx.size());
        // Prefer the ear with the shortest new edge: the fewer and shorter
        // the edges inside the outline, the fewer pixels along them the
        // rasteriser has to shade for both triangles.
        int best = -1;
        double bestScore = 0;
        for (int i = 0; i < m; ++i) {
            const Vec2 a = outline[idx[(i + m - 1) % m]], b = outline[idx[i]], c = outline[idx[(i + 1) % m]];
            const double cr = cross2(a, b, c);
            if (cr <= 1e-12) continue;
            bool ear = true;
            for (int j = 0; j < m && ear; ++j) {
                if (j == i || j == (i + m - 1) % m || j == (i + 1) % m) continue;
                if (inside(outline[idx[j]], a, b, c)) ear = false;
            }
            if (!ear) continue;
            const double score = -dot(a - c, a - c);
            if (best < 0 || score > bestScore) {
                bestScore = score;
                best = i;
            }
        }
        if (best >= 0) {
            result.push_back(idx[(best + m - 1) % m]);
            result.push_back(idx[best]);
            result.push_back(idx[(best + 1) % m]);
            idx.erase(idx.begin() + best);
            clipped = true;
        }
        if (!clipped) {
            // Degenerate remainder: fan it.
            for (int i = 1; i + 1 < m; ++i) {
                result.push_back(idx[0]);
                result.push_back(idx[i]);
                result.push_back(idx[i + 1]);
            }
            idx.clear();
        }
    }
    if (idx.size() == 3) result.insert(result.end(), idx.begin(), idx.end());
    return result;
}

void addPolygon(ModelPart& part, const std::vector<Vec2>& outline, double z, double normalZ,
                const std::function<Vec2(Vec2)>& uvOf) {
    const std::vector<int> tris = triangulate(outline);
    const Vec3 n{0, 0, normalZ};
    for (std::size_t i = 0; i + 2 < tris.size(); i += 3) {
        Vertex v[3];
        for (int k = 0; k < 3; ++k) {
            const Vec2 p = outline[tris[i + k]];
            v[k] = Vertex{{p.x, p.y, z}, n, uvOf(p)};
        }
        if (normalZ < 0)
            part.triangle(v[0], v[2], v[1]);
        else
            part.triangle(v[0], v[1], v[2]);
    }
}

void addEllipsoid(ModelPart& part, const Vec3& c, const Vec3& r, int slices, int stacks, Vec2 st0, Vec2 st1) {
    part.grid(slices, stacks, [&](double u, double v) {
        const double a = 2 * pi * u, b = pi * (v - 0.5);
        const Vec3 unit{std::cos(b) * std::cos(a), std::cos(b) * std::sin(a), std::sin(b)};
        const Vec3 p{c.x + r.x * unit.x, c.y + r.y * unit.y, c.z + r.z * unit.z};
        const Vec3 n = Vec3{unit.x / r.x, unit.y / r.y, unit.z / r.z}.normalized();
        return Vertex{p, n, {mix(st0.x, st1.x, u), mix(st0.y, st1.y, v)}};
    });
}

void addEllipsoid(ModelPart& part, const Detail& detail, const Vec3& c, const Vec3& r, int slices, int stacks, Vec2 st0,
                  Vec2 st1) {
    const GridSize g = detail.grid(
        [&](double u, double v) {
            const double a = 2 * pi * u, b = pi * (v - 0.5);
            return Vec3{c.x + r.x * std::cos(b) * std::cos(a), c.y + r.y * std::cos(b) * std::sin(a), c.z + r.z * std::sin(b)};
        },
        slices, stacks);
    addEllipsoid(part, c, r, g.cols, g.rows, st0, st1);
}

void addLathe(ModelPart& part, const std::vector<Vec2>& profile, int slices, Vec2 st0, Vec2 st1) {
    const int n = static_cast<int>(profile.size());
    if (n < 2) return;
    std::vector<double> along(n, 0.0);
    for (int i = 1; i < n; ++i) along[i] = along[i - 1] + (profile[i] - profile[i - 1]).length();
    auto slope = [&](int i) {
        const Vec2 d = profile[std::min(i + 1, n - 1)] - profile[std::max(i - 1, 0)];
        return Vec2{d.y, -d.x}.normalized();  // outward for a profile going up
    };
    for (int j = 0; j + 1 < n; ++j)
        for (int i = 0; i < slices; ++i) {
            auto vert = [&](int pi_, int si) {
                const double a = 2 * pi * si / slices;
                const Vec2 pr = profile[pi_];
                const Vec2 nr = slope(pi_);
                const Vec3 p{pr.x * std::cos(a), pr.x * std::sin(a), pr.y};
                const Vec3 nn{nr.x * std::cos(a), nr.x * std::sin(a), nr.y};
                const double u = static_cast<double>(si) / slices, v = along[pi_] / along[n - 1];
                return Vertex{p, nn.normalized(), {mix(st0.x, st1.x, u), mix(st0.y, st1.y, v)}};
            };
            part.quad(vert(j, i), vert(j, i + 1), vert(j + 1, i + 1), vert(j + 1, i));
        }
}

namespace {

// The rings of a tube: `sides` points (and outward normals) around each
// point of the spine.
struct TubeRings {
    std::vector<std::vector<Vertex>> rings;  // sides + 1 each, the first repeated
};

TubeRings tubeRings(const std::vector<Vec3>& spine, const std::vector<double>& radii, int sides, Vec2 st0, Vec2 st1) {
    TubeRings out;
    const int n = static_cast<int>(spine.size());
    std::vector<Vec3> tangents(n), normals(n), binormals(n);
    for (int i = 0; i < n; ++i) tangents[i] = (spine[std::min(i + 1, n - 1)] - spine[std::max(i - 1, 0)]).normalized();
    normals[0] = perpendicular(tangents[0]);
    for (int i = 1; i < n; ++i) {
        // Parallel transport: remove the new tangent's share and renormalise.
        const Vec3 prev = normals[i - 1];
        normals[i] = (prev - tangents[i] * dot(prev, tangents[i])).normalized();
    }
    for (int i = 0; i < n; ++i) binormals[i] = cross(tangents[i], normals[i]);
    std::vector<double> along(n, 0.0);
    for (int i = 1; i < n; ++i) along[i] = along[i - 1] + (spine[i] - spine[i - 1]).length();
    const double total = along[n - 1] > 0 ? along[n - 1] : 1;
    for (int k = 0; k < n; ++k) {
        std::vector<Vertex> ring;
        for (int s = 0; s <= sides; ++s) {
            const double a = 2 * pi * s / sides;
            const Vec3 dir = normals[k] * std::cos(a) + binormals[k] * std::sin(a);
            const double r = radii[std::min<std::size_t>(k, radii.size() - 1)];
            ring.push_back(Vertex{spine[k] + dir * r, dir,
                                  {mix(st0.x, st1.x, static_cast<double>(s) / sides), mix(st0.y, st1.y, along[k] / total)}});
        }
        out.rings.push_back(std::move(ring));
    }
    return out;
}

}  // namespace

void addTube(ModelPart& part, const std::vector<Vec3>& spine, const std::vector<double>& radii, int sides, Vec2 st0,
             Vec2 st1) {
    if (spine.size() < 2) return;
    const TubeRings t = tubeRings(spine, radii, sides, st0, st1);
    // Around the ring is counter-clockwise seen from the spine's end: the
    // next ring, then the next side, turns outward.
    for (std::size_t j = 0; j + 1 < t.rings.size(); ++j)
        for (int i = 0; i < sides; ++i)
            part.quad(t.rings[j][i], t.rings[j][i + 1], t.rings[j + 1][i + 1], t.rings[j + 1][i]);
}

void addCappedTube(ModelPart& part, const std::vector<Vec3>& spine, const std::vector<double>& radii, int sides,
                   Vec2 st0, Vec2 st1) {
    if (spine.size() < 2) return;
    addTube(part, spine, radii, sides, st0, st1);
    const TubeRings t = tubeRings(spine, radii, sides, st0, st1);
    // A fan over each end, facing out along the spine.
    auto cap = [&](const std::vector<Vertex>& ring, const Vec3& outward, bool reversed) {
        for (int i = 1; i + 1 < sides; ++i) {
            Vertex a = ring[0], b = ring[static_cast<std::size_t>(i)], c = ring[static_cast<std::size_t>(i + 1)];
            a.normal = b.normal = c.normal = outward;
            if (reversed)
                part.triangle(a, c, b);
            else
                part.triangle(a, b, c);
        }
    };
    const std::size_t last = t.rings.size() - 1;
    cap(t.rings[0], (spine[0] - spine[1]).normalized(), true);
    cap(t.rings[last], (spine[last] - spine[last - 1]).normalized(), false);
}

void addRibbon(ModelPart& part, const std::vector<Vec3>& centres, const std::vector<Vec3>& sides,
               const std::vector<double>& halfWidths, double t0, double t1, bool flip, double s0, double s1) {
    const int n = static_cast<int>(centres.size());
    if (n < 2) return;
    std::vector<double> along(n, 0.0);
    for (int i = 1; i < n; ++i) along[i] = along[i - 1] + (centres[i] - centres[i - 1]).length();
    const double total = along[n - 1] > 0 ? along[n - 1] : 1;
    auto vert = [&](int k, double side) {
        const Vec3 tangent = (centres[std::min(k + 1, n - 1)] - centres[std::max(k - 1, 0)]).normalized();
        Vec3 normal = cross(sides[k], tangent).normalized();
        if (flip) normal = -normal;
        const double hw = halfWidths[k];
        return Vertex{centres[k] + sides[k] * (hw * side), normal,
                      {side < 0 ? s0 : s1, mix(t0, t1, along[k] / total)}};
    };
    for (int k = 0; k + 1 < n; ++k) {
        const Vertex a = vert(k, -1), b = vert(k, 1), c = vert(k + 1, 1), d = vert(k + 1, -1);
        if (flip)
            part.quad(a, d, c, b);
        else
            part.quad(a, b, c, d);
    }
}

std::vector<Vec3> smoothCurve(const std::vector<Vec3>& p, int samplesPerSpan) {
    std::vector<Vec3> out;
    const std::size_t n = p.size();
    if (n < 2) return p;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const Vec3 p0 = i == 0 ? p[0] * 2 - p[1] : p[i - 1];
        const Vec3 p3 = i + 2 < n ? p[i + 2] : p[n - 1] * 2 - p[n - 2];
        for (int s = 0; s < samplesPerSpan; ++s) {
            const double t = static_cast<double>(s) / samplesPerSpan, t2 = t * t, t3 = t2 * t;
            out.push_back((p[i] * 2 + (p[i + 1] - p0) * t + (p0 * 2 - p[i] * 5 + p[i + 1] * 4 - p3) * t2 +
                           (p[i] * 3 - p0 - p[i + 1] * 3 + p3) * t3) *
                          0.5);
        }
    }
    out.push_back(p[n - 1]);
    return out;
}

std::vector<Vec3> bezier(const Vec3& p0, const Vec3& c, const Vec3& p1, int samples) {
    std::vector<Vec3> out;
    for (int i = 0; i <= samples; ++i) {
        const double t = static_cast<double>(i) / samples, u = 1 - t;
        out.push_back(p0 * (u * u) + c * (2 * u * t) + p1 * (t * t));
    }
    return out;
}

CurveFunction smoothCurveFunction(const std::vector<Vec3>& p) {
    return [p](double t) {
        const std::size_t n = p.size();
        if (n < 2) return n ? p[0] : Vec3{};
        const double f = t * static_cast<double>(n - 1);
        const std::size_t i = std::min(n - 2, static_cast<std::size_t>(std::max(0.0, f)));
        const double s = f - static_cast<double>(i), s2 = s * s, s3 = s2 * s;
        const Vec3 p0 = i == 0 ? p[0] * 2 - p[1] : p[i - 1];
        const Vec3 p3 = i + 2 < n ? p[i + 2] : p[n - 1] * 2 - p[n - 2];
        return (p[i] * 2 + (p[i + 1] - p0) * s + (p0 * 2 - p[i] * 5 + p[i + 1] * 4 - p3) * s2 +
                (p[i] * 3 - p0 - p[i + 1] * 3 + p3) * s3) *
               0.5;
    };
}

CurveFunction bezierFunction(const Vec3& p0, const Vec3& c, const Vec3& p1) {
    return [=](double t) {
        const double u = 1 - t;
        return p0 * (u * u) + c * (2 * u * t) + p1 * (t * t);
    };
}

}  // namespace artgen
