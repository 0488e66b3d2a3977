// "flowers": a lush meadow bunch seen from above as it turns: daisies,
// poppies, cornflowers, buttercups, yarrow and bellflowers over a collar of
// leaves and grasses, with a few dew drops. Model units are half scene
// units (the node scales by 2); the bunch's axis is +z.
#include "formats/CommandLine.h"
#include "geometry/Rng.h"
#include "meshes/Detail.h"
#include "meshes/HiddenTriangles.h"
#include "meshes/Shapes.h"
#include "meshes/Sheet.h"
#include "meshes/TurningView.h"
#include "packs/Artwork.h"
#include "packs/BouquetAtlas.h"
#include "painting/Noise.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace artgen {

namespace {

// Where the resting butterfly sits: the top of one daisy's disc, facing
// up and out towards -y at 45 degrees (its carrier is turned (45, 0, 90)).
const Vec3 restingPoint{0, -3.5, 10.75};
const Vec3 restingFacing = Vec3{0, -1, 1}.normalized();
// The flying butterflies pass above this height.
constexpr double topLimit = 11.9;
// Radius of the dome of flower heads in the top view.
constexpr double radius = 8.2;

enum class Kind { Daisy, Poppy, Cornflower, Buttercup, Yarrow, PoppyBud, DaisyBud };

struct Head {
    Kind kind;
    Vec3 position;  // where the stem meets the head
    Vec3 facing;
    double size;
};

class Bunch {
public:
    Bunch();
    Model take() { return std::move(model); }
    void build();

private:
    ModelPart& petals() { return model.parts[0]; }
    ModelPart& glossy() { return model.parts[1]; }
    ModelPart& foliage() { return model.parts[2]; }
    ModelPart& solid() { return model.parts[3]; }
    ModelPart& dew() { return model.parts[4]; }

    // As finely as a part near `where` needs to be cut.
    Detail detailAt(const Vec3& where) const;
    std::vector<Head> layout();
    void daisy(const Affine& frame, double R);
    void poppy(const Affine& frame, double R);
    void cornflower(const Affine& frame, double R);
    void buttercup(const Affine& frame, double R);
    void yarrow(const Affine& frame, double R);
    void bells(const Vec3& start, const Vec3& direction, double R);
    void bud(const Affine& frame, double R, bool poppyBud);
    void stem(const Vec3& top, const Vec3& facing, double radius);
    void leaf(double angle, double r0, double z0, double length, double width, double elevation, double droop);
    void grassBlade(double angle, double height, double reach, double width);
    void seedHead(double angle, double radius, double height);
    void dewDrops();

    Model model;
    BouquetAtlas atlas;
    Rng rng{0xB0C0E7};
    std::vector<std::pair<Vec3, Vec3>> dewSpots;  // point and normal on leaves and petals
};

Bunch::Bunch() {
    const std::string tex = "bouquet.png";
    Material petalMat = Material::lit(0.42, 0.56, 0.10, 12);
    Material glossyMat = Material::lit(0.42, 0.56, 0.60, 60);
    Material foliageMat = Material::lit(0.34, 0.50, 0.12, 30);
    Material solidMat = Material::lit(0.40, 0.52, 0.08, 20);
    Material dewMat = Material::lit(0.55, 0.70, 1.00, 96);
    model.add(tex, petalMat.withAlphaTest());
    model.add(tex, glossyMat.withAlphaTest());
    model.add(tex, foliageMat.withAlphaTest());
    model.add(tex, solidMat);
    model.add(tex, dewMat.withTransparency());
}

Vec3 polarPoint(double radius, double angle, double z) { return {radius * std::cos(angle), radius * std::sin(angle), z}; }

// A frame whose z is `facing`, turned by `spin` about it, at `origin`.
Affine headFrame(const Vec3& origin, const Vec3& facing, double spinDegrees) {
    return Affine::translation(origin) * Affine::aligningZ(facing) * Affine::rotationZ(spinDegrees);
}

Detail Bunch::detailAt(const Vec3& where) const {
    return Detail(screenPixelsPerUnit(TurningView::nearestDepth(where)), BouquetAtlas::size);
}

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
    addEllipsoid(local, detail, {0, 0, -0.02 * R}, {0.28 * R, 0.28 * R, 0.3 * R}, 10, 6, atlas.calyx.uv(0, 0),
                 atlas.calyx.uv(1, 1));
    appendTransformed(solid(), local, frame);
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
    appendTransformed(solid(), local, frame);
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
        addTube(local, samples(branch, detail.segments(branch, 5)), {0.035, 0.025}, detail.sides(0.035, 4),
                atlas.stem.uv(0, 0), atlas.stem.uv(1, 1));
    }
    appendTransformed(solid(), local, frame);
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
    addTube(solid(), samples(archCurve, detail.segments(archCurve, 10)), {0.07, 0.05}, detail.sides(0.07, 5),
            atlas.stem.uv(0, 0), atlas.stem.uv(1, 1));
    const int count = 3 + rng.below(2);
    for (int k = 0; k < count; ++k) {
        const std::size_t at = 3 + static_cast<std::size_t>(k) * 6 / static_cast<std::size_t>(count);
        const Vec3 hook = arch[std::min(at, arch.size() - 1)];
        const Vec3 hang = (Vec3{0, 0, -1} + out * rng.range(0.5, 1.1) + perpendicular(out) * rng.range(-0.4, 0.4))
                              .normalized();
        const Vec3 top = hook + hang * (0.25 * R);
        addTube(solid(), {hook, top}, {0.03, 0.03}, detail.sides(0.03, 4), atlas.stem.uv(0, 0), atlas.stem.uv(1, 1));
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
    appendTransformed(solid(), local, frame);
}

void Bunch::stem(const Vec3& top, const Vec3& facing, double radius) {
    const Vec3 foot{rng.range(-0.35, 0.35), rng.range(-0.35, 0.35), -2.6};
    const Vec3 tie = foot * 0.25 + Vec3{0, 0, 0.6};
    const double reach = (top - tie).length();
    const Vec3 c1 = tie + Vec3{top.x, top.y, 0} * 0.15 + Vec3{0, 0, reach * 0.45};
    const Vec3 c2 = top - facing * (reach * 0.35);
    const CurveFunction rise = [=](double t) {
        const double u = 1 - t;
        return tie * (u * u * u) + c1 * (3 * u * u * t) + c2 * (3 * u * t * t) + top * (t * t * t);
    };
    const Detail detail = detailAt(top);
    std::vector<Vec3> spine{foot};
    for (const Vec3& p : samples(rise, detail.segments(rise, 7))) spine.push_back(p);
    addTube(solid(), spine, {radius * 1.1, radius}, detail.sides(radius, 5), atlas.stem.uv(0, 0), atlas.stem.uv(1, 1));
}

void Bunch::leaf(double angle, double r0, double z0, double length, double width, double elevation, double droop) {
    const Vec3 out = polarPoint(1, angle, 0);
    const Vec3 side{-std::sin(angle), std::cos(angle), 0};
    const double twist = rng.range(-0.3, 0.3);
    const double fold = rng.range(0.25, 0.45);
    const std::uint32_t seed = 700 + static_cast<std::uint32_t>(rng.below(1000));
    SurfaceFunction surface = [=](double u, double v) {
        const double s = 2 * u - 1;
        const double rho = r0 + length * v * std::cos(elevation);
        const double z = z0 + length * (std::sin(elevation) * v - droop * v * v);
        const double hw = width * 0.5 * std::max(0.06, std::pow(std::sin(pi * std::pow(v, 0.75)), 0.8));
        const Vec3 across = (side + Vec3{0, 0, twist * v}).normalized();
        const double wave = 0.08 * width * valueNoise(v * 6, s * 1.5, seed);
        return out * rho + Vec3{0, 0, z} + across * (s * hw) + Vec3{0, 0, fold * std::fabs(s) * hw + wave};
    };
    ModelPart& part = foliage();
    const std::size_t first = part.vertices.size();
    addSheet(part, 2, 10, surface, [&](double u, double v) { return atlas.leaf.uv(u, v); }, {0, 0, 1});
    // A couple of places where dew may gather.
    for (int k = 0; k < 2; ++k) {
        const double v = rng.range(0.35, 0.7), u = rng.uniform() < 0.5 ? 0.3 : 0.7;
        const Vec3 p = surface(u, v);
        const std::size_t i = first + static_cast<std::size_t>(std::min(9, static_cast<int>(v * 10))) * 6;
        dewSpots.push_back({p, part.vertices[std::min(i, part.vertices.size() - 1)].normal});
    }
}

void Bunch::grassBlade(double angle, double height, double reach, double width) {
    const Vec3 out = polarPoint(1, angle, 0);
    const Vec3 side{-std::sin(angle), std::cos(angle), 0};
    const Vec3 p0 = out * 0.3 + Vec3{0, 0, -0.5}, p1 = out * (reach * 0.25) + Vec3{0, 0, height * 1.15},
               p2 = out * reach + Vec3{0, 0, height * 0.55};
    addSheet(foliage(), detailAt(p1), 2, 12,
             [=](double u, double v) {
                 const double s = 2 * u - 1, w = 1 - v;
                 const Vec3 c = p0 * (w * w) + p1 * (2 * w * v) + p2 * (v * v);
                 const double hw = width * 0.5 * (1 - std::pow(v, 1.5));
                 return c + side * (s * hw) + Vec3{0, 0, 0.4 * std::fabs(s) * hw};
             },
             [&](double u, double v) { return atlas.grass.uv(u, v); }, {0, 0, 1});
}

void Bunch::seedHead(double angle, double radius, double height) {
    const Vec3 top = polarPoint(radius, angle, height);
    const Vec3 bend = polarPoint(radius * 0.4, angle, height * 0.8);
    const Detail detail = detailAt(top);
    const CurveFunction stalk = bezierFunction({0, 0, -0.3}, bend, top);
    addTube(solid(), samples(stalk, detail.segments(stalk, 8)), {0.05, 0.035}, detail.sides(0.05, 4), atlas.stem.uv(0, 0),
            atlas.stem.uv(1, 1));
    const Vec3 dir = (top - bend).normalized();
    ModelPart local;
    addEllipsoid(local, detail, {0, 0, 0.55}, {0.13, 0.13, 0.6}, 8, 8, atlas.ear.uv(0, 0), atlas.ear.uv(1, 1));
    appendTransformed(solid(), local, Affine::translation(top) * Affine::aligningZ(dir));
}

void Bunch::dewDrops() {
    // A few drops, on the leaves' upper faces, catching the light.
    for (std::size_t k = 0; k < dewSpots.size(); k += 4) {
        Vec3 n = dewSpots[k].second;
        if (n.z < 0.2) continue;
        const double r = rng.range(0.09, 0.16);
        ModelPart local;
        addEllipsoid(local, detailAt(dewSpots[k].first), {0, 0, r * 0.45}, {r, r, r * 0.7}, 8, 5, atlas.dew.uv(0, 0),
                     atlas.dew.uv(1, 1));
        // The texture's glint wants to look the same from every side: map
        // the drop's texture by its top view instead of around it.
        for (Vertex& v : local.vertices) v.uv = atlas.dew.uv(0.5 + 0.5 * v.position.x / r, 0.5 + 0.5 * v.position.y / r);
        appendTransformed(dew(), local, Affine::translation(dewSpots[k].first) * Affine::aligningZ(n));
    }
}

std::vector<Head> Bunch::layout() {
    std::vector<Head> heads;
    heads.push_back({Kind::Daisy, restingPoint - restingFacing * (0.13 * 1.8 + 0.08), restingFacing, 1.8});
    struct Type {
        Kind kind;
        double weight, minSize, maxSize;
    };
    auto choose = [&](const std::vector<Type>& types) {
        const double pick = rng.uniform();
        double total = 0;
        for (const Type& t : types) {
            total += t.weight;
            if (pick <= total) return t;
        }
        return types.back();
    };
    auto fits = [&](const Vec3& flat, double size, double spacing) {
        for (std::size_t i = 0; i < heads.size(); ++i) {
            const Head& h = heads[i];
            // The resting butterfly's flower keeps room for its wings.
            const double need = i == 0 ? size + 1.3 : (h.size + size) * spacing;
            if (std::hypot(h.position.x - flat.x, h.position.y - flat.y) < need) return false;
        }
        return true;
    };
    auto place = [&](Kind kind, double r, double a, double size) {
        const Vec3 flat = polarPoint(r, a, 0);
        // Heads lean outwards more the further out they stand.
        const double lean = radians(6 + 52 * std::pow(std::min(1.0, r / radius), 1.5)) + rng.range(-0.12, 0.12);
        const double turn = rng.range(-0.3, 0.3);
        Vec3 facing{std::cos(a + turn) * std::sin(lean), std::sin(a + turn) * std::sin(lean), std::cos(lean)};
        if (kind == Kind::PoppyBud) facing = (Vec3{flat.x, flat.y, 0}.normalized() + Vec3{0, 0, -0.5}).normalized();
        Head head{kind, {flat.x, flat.y, 10.3 - 4.6 * std::pow(r / radius, 2.0) + rng.range(-0.4, 0.2)}, facing, size};
        // Everything stays below the flying butterflies.
        const double reachUp = head.position.z + size * std::sqrt(std::max(0.0, 1 - facing.z * facing.z)) + size * 0.35;
        if (reachUp > topLimit) head.position.z -= reachUp - topLimit;
        // Near the resting butterfly, heads stay below its wings.
        const double nearRest = std::hypot(flat.x - restingPoint.x, flat.y - restingPoint.y);
        if (nearRest < size + 3.2) head.position.z = std::min(head.position.z, restingPoint.z - 0.9 - 0.3 * size);
        heads.push_back(head);
    };
    // The big and middle-sized flowers on a sunflower spiral, so that the
    // dome is evenly covered; then small ones into the gaps.
    const std::vector<Type> main = {{Kind::Daisy, 0.34, 1.5, 1.9},     {Kind::Poppy, 0.24, 1.6, 2.0},
                                    {Kind::Cornflower, 0.24, 1.05, 1.25}, {Kind::Yarrow, 0.18, 1.15, 1.35}};
    const int spiral = 56;
    for (int k = 0; k < spiral; ++k) {
        const double r = radius * std::sqrt((k + 0.5) / spiral) + rng.range(-0.3, 0.3);
        const double a = k * 2.39996323 + rng.range(-0.2, 0.2);
        const Type t = choose(main);
        const double size = rng.range(t.minSize, t.maxSize);
        if (fits(polarPoint(r, a, 0), size, 0.64)) place(t.kind, std::max(0.0, r), a, size);
    }
    // A lower storey of flowers shows through the gaps between the top heads.
    for (int k = 0; k < 16; ++k) {
        const double r = rng.range(1.5, radius - 1.0), a = rng.uniform() * 2 * pi;
        const Type t = choose(main);
        const double size = rng.range(t.minSize, t.maxSize) * 0.9;
        const std::size_t before = heads.size();
        place(t.kind, r, a, size);
        heads[before].position.z -= rng.range(1.4, 2.2);
    }
    const std::vector<Type> fillers = {
        {Kind::Buttercup, 0.5, 0.7, 0.85}, {Kind::PoppyBud, 0.25, 0.6, 0.75}, {Kind::DaisyBud, 0.25, 0.55, 0.7}};
    int placed = 0;
    for (int attempt = 0; attempt < 3000 && placed < 12; ++attempt) {
        const double r = radius * std::sqrt(rng.uniform()), a = rng.uniform() * 2 * pi;
        const Type t = choose(fillers);
        const double size = rng.range(t.minSize, t.maxSize);
        if (!fits(polarPoint(r, a, 0), size, 0.8)) continue;
        place(t.kind, r, a, size);
        ++placed;
    }
    return heads;
}

void Bunch::build() {
    // Foliage first: a collar of long leaves and an inner ring of shorter ones.
    for (int k = 0; k < 16; ++k) {
        const double a = 2 * pi * k / 16 + rng.range(-0.12, 0.12);
        leaf(a, 1.2, rng.range(1.8, 3.2), rng.range(7.5, 9.0), rng.range(1.6, 2.1), radians(rng.range(28, 40)),
             rng.range(0.45, 0.7));
    }
    for (int k = 0; k < 10; ++k) {
        const double a = 2 * pi * (k + 0.5) / 10 + rng.range(-0.15, 0.15);
        leaf(a, 0.6, rng.range(3.0, 4.5), rng.range(4.5, 6.0), rng.range(1.2, 1.6), radians(rng.range(35, 50)),
             rng.range(0.45, 0.65));
    }
    for (int k = 0; k < 12; ++k) {
        const double a = 2 * pi * k / 12 + rng.range(-0.2, 0.2);
        grassBlade(a, rng.range(7.0, 9.0), rng.range(8.5, 11.0), rng.range(0.3, 0.42));
    }
    for (int k = 0; k < 5; ++k) seedHead(2 * pi * (k + 0.3) / 5 + rng.range(-0.3, 0.3), rng.range(6.0, 8.0), rng.range(8.5, 10.0));

    for (const Head& h : layout()) {
        const Affine frame = headFrame(h.position, h.facing, rng.range(0, 360));
        switch (h.kind) {
        case Kind::Daisy:
            stem(h.position - h.facing * (0.2 * h.size), h.facing, 0.1);
            daisy(frame, h.size);
            break;
        case Kind::Poppy:
            stem(h.position, h.facing, 0.1);
            poppy(frame, h.size);
            break;
        case Kind::Cornflower:
            stem(h.position - h.facing * (0.3 * h.size), h.facing, 0.08);
            cornflower(frame, h.size);
            break;
        case Kind::Buttercup:
            stem(h.position, h.facing, 0.07);
            buttercup(frame, h.size);
            break;
        case Kind::Yarrow:
            stem(h.position - h.facing * (0.9 * h.size), h.facing, 0.08);
            yarrow(frame, h.size);
            break;
        case Kind::PoppyBud:
        case Kind::DaisyBud:
            stem(h.position, h.facing, 0.07);
            bud(frame, h.size, h.kind == Kind::PoppyBud);
            break;
        }
    }
    // Bellflowers nod out over the rim.
    for (int k = 0; k < 5; ++k) {
        const double a = 2 * pi * (k + 0.15) / 5 + rng.range(-0.2, 0.2);
        const Vec3 start = polarPoint(rng.range(4.8, 6.0), a, rng.range(7.2, 8.2));
        const Vec3 dir = Vec3{std::cos(a), std::sin(a), 1.4}.normalized();
        stem(start, dir, 0.07);
        bells(start, dir, rng.range(0.85, 1.0));
    }
    dewDrops();
}

}  // namespace

void addBouquet(PackContents& pack) {
    BouquetAtlas atlas;
    const Image picture = atlas.paint();
    pack.addImage("bouquet.png", picture);
    Bunch bunch;
    bunch.build();
    Model model = bunch.take();
    removeHiddenTriangles(model, {{"bouquet.png", picture}});
    double topZ = -1e9;
    for (const ModelPart& p : model.parts)
        for (const Vertex& v : p.vertices) topZ = std::max(topZ, v.position.z);
    if (topZ > 12.0) {
        std::fprintf(stderr, "%s: the flowers reach z = %.2f, into the butterflies' flight\n", programName().c_str(), topZ);
        std::exit(1);
    }
    pack.addModel("flowers", model);
}

}  // namespace artgen
