#include "meshes/Sheet.h"

#include "meshes/Detail.h"

#include <algorithm>

namespace artgen {

Vec3 surfaceNormal(const SurfaceFunction& f, double u, double v) {
    const double e = 1e-4;
    const double u0 = std::max(0.0, u - e), u1 = std::min(1.0, u + e);
    const double v0 = std::max(0.0, v - e), v1 = std::min(1.0, v + e);
    Vec3 du = f(u1, v) - f(u0, v);
    Vec3 dv = f(u, v1) - f(u, v0);
    Vec3 n = cross(du, dv);
    if (n.length() < 1e-14) {
        // A pole or a pinched edge: look a little further in.
        const double vi = v < 0.5 ? v + 0.02 : v - 0.02;
        du = f(u1, vi) - f(u0, vi);
        dv = f(u, std::min(1.0, vi + e)) - f(u, std::max(0.0, vi - e));
        n = cross(du, dv);
        if (n.length() < 1e-14) {
            const double ui = u < 0.5 ? u + 0.02 : u - 0.02;
            du = f(std::min(1.0, ui + e), v) - f(std::max(0.0, ui - e), v);
            dv = f(ui, v1) - f(ui, v0);
            n = cross(du, dv);
        }
    }
    return n.normalized();
}

namespace {

void build(ModelPart& part, int cols, int rows, const SurfaceFunction& surface, const TextureFunction& texture,
           const std::function<bool(const Vec3& p, const Vec3& n)>& flip) {
    const bool reversed = flip(surface(0.5, 0.5), surfaceNormal(surface, 0.5, 0.5));
    part.grid(cols, rows, [&](double u, double v) {
        Vec3 n = surfaceNormal(surface, u, v);
        if (reversed) n = -n;
        return Vertex{surface(u, v), n, texture(u, v)};
    });
}

}  // namespace

void addSheet(ModelPart& part, int cols, int rows, const SurfaceFunction& surface, const TextureFunction& texture,
              const Vec3& towards) {
    build(part, cols, rows, surface, texture, [&](const Vec3&, const Vec3& n) { return dot(n, towards) < 0; });
}

void addSheetOutward(ModelPart& part, int cols, int rows, const SurfaceFunction& surface,
                     const TextureFunction& texture, const Vec3& centre) {
    const bool reversed = [&] {
        // Judge by a majority of samples: closed shapes have poles.
        int outward = 0, total = 0;
        for (int j = 1; j < 4; ++j)
            for (int i = 0; i < 4; ++i) {
                const double u = (i + 0.5) / 4, v = j / 4.0;
                const Vec3 p = surface(u, v);
                outward += dot(surfaceNormal(surface, u, v), p - centre) >= 0 ? 1 : 0;
                ++total;
            }
        return outward * 2 < total;
    }();
    part.grid(cols, rows, [&](double u, double v) {
        Vec3 n = surfaceNormal(surface, u, v);
        if (reversed) n = -n;
        return Vertex{surface(u, v), n, texture(u, v)};
    });
}

void addSheet(ModelPart& part, const Detail& detail, int cols, int rows, const SurfaceFunction& surface,
              const TextureFunction& texture, const Vec3& towards) {
    const GridSize g = detail.grid(surface, texture, cols, rows);
    addSheet(part, g.cols, g.rows, surface, texture, towards);
}

void addSheetOutward(ModelPart& part, const Detail& detail, int cols, int rows, const SurfaceFunction& surface,
                     const TextureFunction& texture, const Vec3& centre) {
    const GridSize g = detail.grid(surface, texture, cols, rows);
    addSheetOutward(part, g.cols, g.rows, surface, texture, centre);
}

void appendTransformed(ModelPart& dest, ModelPart source, const Affine& frame) {
    source.transform(frame);
    dest.append(source);
}

}  // namespace artgen
