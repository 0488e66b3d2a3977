// The flower heads of the bunch, one builder per kind, each in the frame
// of its head (z out of the flower) and `R` its size.
#include "packs/Bunch.h"

#include "meshes/Shapes.h"
#include "meshes/Sheet.h"
#include "painting/Noise.h"

#include <algorithm>
#include <cmath>

namespace artgen::bouquet {

void Bunch::daisy(const Affine& frame, double R) {
    const double rd = 0.30 * R, hd = 0.13 * R;
    const Detail detail = detailAt(frame.t);
    ModelPart local;
    // The golden disc, a low dome.
    addSheet(local, detail, 18, 4,
             [&](double u, double v) {
                 const double a = 2 * pi * u, rho = rd * v;
                 return Vec3{rho * std::cos(a), rho * std::sin(a), hd * std::pow(std::max(0.0, 1 - v * v), 0.6)};
             },
             [&](double u, double v) {
                 const double a = 2 * pi * u;
                 return atlas.daisyDisc.uv(0.5 + 0.5 * v * std::cos(a), 0.5 + 0.5 * v * std::sin(a));
             },
             {0, 0, 1});
    appendTransformed(solid(), local, frame);
    local.vertices.clear();
    // The green cup beneath.
    addSheetOutward(local, detail, 12, 2,
                    [&](double u, double v) {
                        const double a = 2 * pi * u;
                        const double rho = rd * 1.25 * std::sin(v * pi / 2), z = -0.22 * R * (1 - v) - 0.01 * R;
                        return Vec3{rho * std::cos(a), rho * std::sin(a), z};
                    },
                    [&](double u, double v) { return atlas.calyx.uv(u, v); }, {0, 0, 0.2 * R});
    appendTransformed(solid(), local, frame);
    local.vertices.clear();
    // Ray florets in two slightly different rings.
    const int n = 22 + rng.below(7);
    for (int k = 0; k < n; ++k) {
        const double a = 2 * pi * k / n + rng.range(-0.06, 0.06);
        const int layer = k % 2;
        const double r0 = rd * 0.8;
        const double len = (R - r0) * rng.range(0.88, 1.05);
        const double width = std::min(0.19 * R, 2 * pi * (r0 + len * 0.5) / n * 1.2);
        const double rise = 0.20 + 0.08 * layer, droop = rng.range(0.18, 0.42);
        const double twist = rng.range(-0.25, 0.25);
        const double zBase = 0.02 * R + 0.03 * R * layer;
        addSheet(local, detail, 2, 4,
                 [=](double u, double v) {
                     const double s = 2 * u - 1;
                     const double rho = r0 + len * v;
                     const double z = zBase + len * (rise * v - droop * v * v);
                     const double profile = (0.32 + 0.68 * smoothstep(0.0, 0.3, v)) * 0.5 * width;
                     const Vec3 centre = polarPoint(rho, a, z);
                     const Vec3 side{-std::sin(a), std::cos(a), twist * v};
                     // A shallow gutter along the petal.
                     return centre + side * (s * profile) + Vec3{0, 0, 0.35 * s * s * profile};
                 },
                 [&](double u, double v) { return atlas.daisyPetal.uv(u, v); }, {0, 0, 1});
    }
    appendTransformed(petals(), local, frame);
}

void Bunch::poppy(const Affine& frame, double R) {
    const Detail detail = detailAt(frame.t);
    ModelPart local;
    for (int k = 0; k < 4; ++k) {
        const bool inner = k % 2 == 1;
        const double centreAngle = k * pi / 2 + rng.range(-0.15, 0.15);
        const double span = inner ? 2.2 : 2.5;
        const double cup = inner ? 0.62 : 0.46;
        const double scale = inner ? 0.9 : 1.0;
        const std::uint32_t seed = 600 + static_cast<std::uint32_t>(rng.below(1000));
        addSheet(local, detail, 8, 5,
                 [=](double u, double v) {
                     const double a = centreAngle + (u - 0.5) * span * (0.4 + 0.6 * std::sqrt(v));
                     const double rimRadius = R * scale * std::pow(0.62 + 0.38 * std::sin(pi * u), 0.6);
                     const double rho = 0.12 * R + (rimRadius - 0.12 * R) * v;
                     double z = 0.05 * R + R * scale * (cup * std::pow(v, 1.6) - 0.10 * std::pow(v, 6)) +
                                (inner ? 0.04 * R : 0);
                     z += 0.06 * R * v * fbm(u * 3, v * 2, seed, 2);
                     return polarPoint(rho, a, z);
                 },
                 [&](double u, double v) { return atlas.poppyPetal.uv(u, v); }, {0, 0, 1});
    }
    appendTransformed(petals(), local, frame);
    local.vertices.clear();
    // The seed capsule with its rayed lid, and the ring of dark stamens.
    const std::vector<Vec2> profile = {{0.05, 0.0}, {0.17, 0.05}, {0.21, 0.15}, {0.19, 0.27}, {0.15, 0.32}};
    addSheetOutward(local, detail, 12, 4,
                    [&](double u, double v) {
                        const double a = 2 * pi * u, f = v * (profile.size() - 1);
                        const std::size_t i = std::min<std::size_t>(static_cast<std::size_t>(f), profile.size() - 2);
                        const Vec2 p = lerp(profile[i], profile[i + 1], f - i);
                        return Vec3{p.x * R * std::cos(a), p.x * R * std::sin(a), p.y * R};
                    },
                    [&](double u, double v) { return atlas.capsule.uv(u, v); }, {0, 0, 0.16 * R});
    addSheet(local, detail, 12, 2,
             [&](double u, double v) {
                 const double a = 2 * pi * u, rho = 0.20 * R * v;
                 return Vec3{rho * std::cos(a), rho * std::sin(a), 0.32 * R + 0.05 * R * (1 - v * v)};
             },
             [&](double u, double v) {
                 const double a = 2 * pi * u;
                 return atlas.poppyTop.uv(0.5 + 0.5 * v * std::cos(a), 0.5 + 0.5 * v * std::sin(a));
             },
             {0, 0, 1});
    appendTransformed(solid(), local, frame);
    local.vertices.clear();
    addSheet(local, detail, 18, 1,
             [&](double u, double v) {
                 const double a = 2 * pi * u;
                 const double rho = R * (0.19 + 0.17 * v), z = R * (0.07 + 0.24 * v);
                 return Vec3{rho * std::cos(a), rho * std::sin(a), z};
             },
             [&](double u, double v) { return atlas.stamens.uv(u, v); }, {0, 0, 1});
    appendTransformed(petals(), local, frame);
}

void Bunch::cornflower(const Affine& frame, double R) {
    const Detail detail = detailAt(frame.t);
    ModelPart local;
    const int n = 8 + rng.below(3);
    for (int k = 0; k < n; ++k) {
        const double a = 2 * pi * k / n + rng.range(-0.1, 0.1);
        const Vec3 d = Vec3{std::cos(a), std::sin(a), rng.range(0.35, 0.6)}.normalized();
        const Vec3 e2 = perpendicular(d), e3 = cross(d, e2);
        const Vec3 base = polarPoint(0.12 * R, a, 0.16 * R);
        const double len = 0.62 * R * rng.range(0.9, 1.1);
        addSheetOutward(local, detail, 6, 2,
                        [=](double u, double v) {
                            const double t = 2 * pi * u, r = 0.04 * R + 0.22 * R * std::pow(v, 1.5);
                            return base + d * (len * v) + (e2 * std::cos(t) + e3 * std::sin(t)) * r;
                        },
                        [&](double u, double v) { return atlas.cornFloret.uv(u, v); }, base + d * (len * 0.5));
    }
    appendTransformed(petals(), local, frame);
    local.vertices.clear();
    addSheet(local, detail, 12, 2,
             [&](double u, double v) {
                 const double a = 2 * pi * u, rho = 0.30 * R * v;
                 return Vec3{rho * std::cos(a), rho * std::sin(a), 0.16 * R + 0.16 * R * (1 - v * v)};
             },
             [&](double u, double v) {
                 const double a = 2 * pi * u;
                 return atlas.cornCentre.uv(0.5 + 0.5 * v * std::cos(a), 0.5 + 0.5 * v * std::sin(a));
             },
             {0, 0, 1});
    appendTransformed(solid(), local, frame);
    local.vertices.clear();
    addEllipsoid(local, detail, {0, 0, -0.02 * R}, {0.28 * R, 0.28 * R, 0.3 * R}, 10, 6, atlas.calyx.uv(0, 0),
                 atlas.calyx.uv(1, 1));
    appendTransformed(closed(), local, frame);
}

void Bunch::buttercup(const Affine& frame, double R) {
    const Detail detail = detailAt(frame.t);
    ModelPart local;
    for (int k = 0; k < 5; ++k) {
        const double c = 2 * pi * k / 5 + rng.range(-0.1, 0.1);
        addSheet(local, detail, 4, 4,
                 [=](double u, double v) {
                     const double a = c + (u - 0.5) * 1.55 * (0.55 + 0.45 * v);
                     return polarPoint(R * (0.08 + 0.92 * v), a, R * (0.05 + 0.55 * std::pow(v, 1.4)));
                 },
                 [&](double u, double v) { return atlas.buttercup.uv(u, v); }, {0, 0, 1});
    }
    appendTransformed(glossy(), local, frame);
    local.vertices.clear();
    addEllipsoid(local, detail, {0, 0, 0.12 * R}, {0.2 * R, 0.2 * R, 0.14 * R}, 10, 6, atlas.daisyDisc.uv(0.3, 0.3),
                 atlas.daisyDisc.uv(0.7, 0.7));
    appendTransformed(closed(), local, frame);
}

void Bunch::yarrow(const Affine& frame, double R) {
    const Detail detail = detailAt(frame.t);
    ModelPart local;
    addSheet(local, detail, 16, 3,
             [&](double u, double v) {
                 const double a = 2 * pi * u, rho = R * v;
                 return Vec3{rho * std::cos(a), rho * std::sin(a), 0.18 * R * (1 - v * v)};
             },
             [&](double u, double v) {
                 const double a = 2 * pi * u;
                 return atlas.yarrow.uv(0.5 + 0.5 * v * std::cos(a), 0.5 + 0.5 * v * std::sin(a));
             },
             {0, 0, 1});
    appendTransformed(petals(), local, frame);
    local.vertices.clear();
    // The little branches that hold the flat umbel.
    for (int k = 0; k < 6; ++k) {
        const double a = 2 * pi * k / 6 + 0.3;
        const Vec3 top = polarPoint(0.55 * R, a, 0.02 * R);
        const CurveFunction branch = bezierFunction({0, 0, -0.9 * R}, {0, 0, -0.2 * R}, top);
        addCappedTube(local, samples(branch, detail.segments(branch, 5)), {0.035, 0.025}, detail.sides(0.035, 4),
                      atlas.stem.uv(0, 0), atlas.stem.uv(1, 1));
    }
    appendTransformed(closed(), local, frame);
}

void Bunch::bells(const Vec3& start, const Vec3& direction, double R) {
    // The stalk arches on over the top and the bells hang from it.
    const Vec3 out = Vec3{direction.x, direction.y, 0}.normalized();
    const Vec3 a0 = start, a1 = start + direction * (1.2 * R) + out * (0.6 * R),
               a2 = start + out * (2.4 * R) + Vec3{0, 0, -0.2 * R};
    const Detail detail = detailAt(a1);
    // The bells hang from points of the arch as ten segments make it.
    const std::vector<Vec3> arch = bezier(a0, a1, a2, 10);
    const CurveFunction archCurve = bezierFunction(a0, a1, a2);
    addCappedTube(closed(), samples(archCurve, detail.segments(archCurve, 10)), {0.07, 0.05}, detail.sides(0.07, 5),
                  atlas.stem.uv(0, 0), atlas.stem.uv(1, 1));
    const int count = 3 + rng.below(2);
    for (int k = 0; k < count; ++k) {
        const std::size_t at = 3 + static_cast<std::size_t>(k) * 6 / static_cast<std::size_t>(count);
        const Vec3 hook = arch[std::min(at, arch.size() - 1)];
        const Vec3 hang = (Vec3{0, 0, -1} + out * rng.range(0.5, 1.1) + perpendicular(out) * rng.range(-0.4, 0.4))
                              .normalized();
        const Vec3 top = hook + hang * (0.25 * R);
        addCappedTube(closed(), {hook, top}, {0.03, 0.03}, detail.sides(0.03, 4), atlas.stem.uv(0, 0),
                      atlas.stem.uv(1, 1));
        const Vec3 e2 = perpendicular(hang), e3 = cross(hang, e2);
        const double len = 0.95 * R * rng.range(0.9, 1.1), rb = 0.42 * R;
        const double spin = rng.uniform();
        addSheetOutward(petals(), detail, 15, 5,
                        [=](double u, double v) {
                            const double t = 2 * pi * (u + spin);
                            const double lobe = 0.5 + 0.5 * std::cos(5 * 2 * pi * u);
                            const double r = rb * (0.22 + 0.78 * std::pow(v, 0.6)) + rb * 0.35 * std::pow(v, 6) * lobe;
                            const double h = len * v - len * 0.12 * std::pow(v, 6) * lobe;
                            return top + hang * h + (e2 * std::cos(t) + e3 * std::sin(t)) * r;
                        },
                        [&](double u, double v) { return atlas.bell.uv(u, v); }, top + hang * (len * 0.4));
    }
}

void Bunch::bud(const Affine& frame, double R, bool poppyBud) {
    const Detail detail = detailAt(frame.t);
    ModelPart local;
    if (poppyBud) {
        addEllipsoid(local, detail, {0, 0, 0.55 * R}, {0.36 * R, 0.33 * R, 0.6 * R}, 10, 6, atlas.bud.uv(0, 0),
                     atlas.bud.uv(1, 1));
    } else {
        addEllipsoid(local, detail, {0, 0, 0.3 * R}, {0.34 * R, 0.34 * R, 0.3 * R}, 8, 5, atlas.calyx.uv(0, 0),
                     atlas.calyx.uv(1, 1));
    }
    appendTransformed(closed(), local, frame);
}

}  // namespace artgen::bouquet
