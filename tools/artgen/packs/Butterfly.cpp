// "brushko" and "krilo" of the five butterfly packs, one species each
// (ButterflyKinds). The body lies along +x (head forward), up is +z; a
// wing hinges on the x axis and spreads along +y in the x-y plane. The
// builder scales both by 0.2, so a wing of about 17 units is 3.4 scene units.
#include "content/ScenePlacement.h"
#include "meshes/Detail.h"
#include "meshes/Shapes.h"
#include "meshes/Sheet.h"
#include "packs/Artwork.h"
#include "packs/ButterflyKinds.h"
#include "packs/WingArt.h"
#include "painting/Atlas.h"
#include "painting/Noise.h"

#include <cmath>
#include <cstddef>
#include <vector>

namespace artgen {

namespace {

Vec2 wingUv(Vec2 p) { return {(p.x - wingX0) / (wingX1 - wingX0), (p.y - wingY0) / (wingY1 - wingY0)}; }

Model wingModel(const WingArt& art, const ButterflyKind& s) {
    Model model;
    ModelPart& part = model.add("wing.png", s.wingMaterial);
    // Each wing's own outline, on both faces; the texture's alpha adds the
    // finer cuts. The forewing's inner edge overlaps the hindwing, as on a
    // real butterfly.
    for (const auto* outline : {&art.hind, &art.fore}) {
        std::vector<Vec2> pts;
        for (std::size_t i = 0; i < outline->size(); i += 2) pts.push_back((*outline)[i]);
        const double lift = outline == &art.fore ? 0.02 : 0.0;
        addPolygon(part, pts, wingHalfThickness + lift, 1, wingUv);
        addPolygon(part, pts, -wingHalfThickness - lift, -1, wingUv);
    }
    return model;
}

// Body texture regions: fur of thorax and head, the abdomen, the eyes and
// the antennae, one colour scheme per species.
struct BodyAtlas {
    AtlasRegion fur, abdomen, eye, antenna;
    BodyAtlas() {
        auto r = [](int x, int y, int w, int h) {
            AtlasRegion a;
            a.x = x;
            a.y = y;
            a.w = w;
            a.h = h;
            a.atlasW = 64;
            a.atlasH = 64;
            return a;
        };
        fur = r(0, 0, 32, 32);
        abdomen = r(32, 0, 32, 64);
        eye = r(0, 32, 16, 16);
        antenna = r(16, 32, 16, 32);
    }
};

Image paintBody(const ButterflyKind& s, const BodyAtlas& a) {
    Canvas c(64, 64);
    paintRegion(c, a.fur, [&](double u, double v) {
        const double hair = valueNoise(u * 24, v * 10, 61);
        Colour f = mix(s.bodyDark, s.bodyHair, 0.5 + 0.5 * hair);
        if (s.thoraxDots) {
            const double dot = std::fabs(std::fmod(u * 4, 1.0) - 0.5) + std::fabs(std::fmod(v * 3, 1.0) - 0.5);
            f = mix(f, s.bodyLight, 1 - smoothstep(0.12, 0.2, dot));
        }
        return f;
    });
    paintRegion(c, a.abdomen, [&](double u, double v) {
        (void)u;
        const double ring = std::fabs(std::fmod(v * 9, 1.0) - 0.5);
        Colour b = mix(s.bodyDark, s.bodyHair, 0.35 + 0.25 * valueNoise(u * 16, v * 30, 62));
        b = mix(b, s.bodyDark.scaled(0.7), 1 - smoothstep(0.0, 0.12, ring));  // segment joints
        if (s.bodyStripes > 0) {
            const double band = std::fabs(std::sin(u * pi * 2 * 1 + 0.3));
            b = mix(b, s.bodyLight, smoothstep(0.6, 0.9, band) * 0.85);
        }
        return b;
    });
    paintRegion(c, a.eye, [&](double u, double v) {
        const double facets = 0.5 + 0.5 * std::sin(u * 40) * std::sin(v * 40);
        return mix(Colour::hex(0x1a1816), Colour::hex(0x3a3630), facets * 0.5);
    });
    paintRegion(c, a.antenna, [&](double u, double v) {
        (void)u;
        const double rings = std::fabs(std::fmod(v * 14, 1.0) - 0.5);
        Colour k = mix(s.bodyDark, s.bodyLight, smoothstep(0.3, 0.45, rings) * 0.5);
        return mix(k, s.antennaClub, smoothstep(0.8, 0.9, v));
    });
    return c.toImage();
}

Model bodyModel(const BodyAtlas& a) {
    // The flyers come within about 50 units of the camera: there a body of
    // 13 units is some 70 pixels long on a 1920x1080 screen, its antennae
    // and legs thinner than a pixel.
    const Detail detail(screenPixelsPerUnit(50) * scenePlacement::butterflyScale, 64);
    Model model;
    ModelPart& body = model.add("body.png", Material::lit(0.40, 0.55, 0.25, 24));
    ModelPart local;
    // Thorax and head, built along z and laid along x.
    const Affine alongX = Affine::rotationY(90);
    addEllipsoid(local, detail, {0, 0, 0}, {1.05, 1.1, 1.9}, 14, 10, a.fur.uv(0, 0), a.fur.uv(1, 1));
    appendTransformed(body, local, Affine::translation({0.6, 0, -0.35}) * alongX);
    local.vertices.clear();
    addEllipsoid(local, detail, {0, 0, 0}, {0.8, 0.85, 0.8}, 12, 8, a.fur.uv(0, 0), a.fur.uv(1, 0.5));
    appendTransformed(body, local, Affine::translation({2.95, 0, -0.15}) * alongX);
    local.vertices.clear();
    // The abdomen: a tapering tube with a rounded end.
    addSheetOutward(
        local, detail, 12, 10,
        [](double u, double v) {
            const double a = 2 * pi * u;
            const double r = 0.95 * std::pow(std::sin(pi * (0.08 + 0.9 * v)), 0.55) * (1.0 - 0.35 * v);
            return Vec3{r * 0.95 * std::cos(a), r * std::sin(a), -v * 8.2};
        },
        [&](double u, double v) { return a.abdomen.uv(u, v); }, {0, 0, -4});
    appendTransformed(body, local, Affine::translation({-0.6, 0, -0.5}) * alongX);
    local.vertices.clear();
    // Antennae with clubs, and slender legs under the thorax.
    for (double side : {-1.0, 1.0}) {
        const std::vector<Vec3> bends = {
            {3.4, 0.25 * side, 0.5}, {5.8, 1.3 * side, 1.9}, {8.2, 2.6 * side, 3.0}, {9.6, 3.4 * side, 3.5}};
        const CurveFunction curve = smoothCurveFunction(bends);
        addTube(body, samples(curve, detail.segments(curve, 12)), {0.11, 0.09}, detail.sides(0.11, 4),
                a.antenna.uv(0, 0), a.antenna.uv(1, 0.8));
        // The club points along the antenna's end as twelve segments make it.
        const std::vector<Vec3> antenna = smoothCurve(bends, 4);
        ModelPart club;
        addEllipsoid(club, detail, {0, 0, 0}, {0.22, 0.22, 0.6}, 6, 5, a.antenna.uv(0, 0.9), a.antenna.uv(1, 1));
        const Vec3 dir = (antenna.back() - antenna[antenna.size() - 3]).normalized();
        appendTransformed(body, club, Affine::translation(antenna.back()) * Affine::aligningZ(dir));
        for (int leg = 0; leg < 3; ++leg) {
            const double x = 1.5 - leg * 0.9;
            const std::vector<Vec3> path = {{x, 0.5 * side, -1.1}, {x + 0.3 - leg * 0.4, 1.4 * side, -1.5},
                                            {x + 0.6 - leg * 0.9, 1.8 * side, -2.4}};
            const CurveFunction curve = smoothCurveFunction(path);
            addTube(body, samples(curve, detail.segments(curve, 6)), {0.1, 0.07}, detail.sides(0.1, 4),
                    a.antenna.uv(0, 0), a.antenna.uv(1, 0.5));
        }
    }
    ModelPart& eyes = model.add("body.png", Material::lit(0.35, 0.45, 0.9, 70));
    for (double side : {-1.0, 1.0})
        addEllipsoid(eyes, detail, {3.25, 0.58 * side, 0.0}, {0.5, 0.45, 0.52}, 10, 7, a.eye.uv(0, 0), a.eye.uv(1, 1));
    return model;
}

}  // namespace

void addButterfly(PackContents& pack, int number) {
    const ButterflyKind s = butterflyKind(number);
    WingArt art;
    art.setOutlines(s.foreControl, s.hindControl);
    s.paint(art);
    pack.addImage("wing.png", art.finish());
    pack.addModel("krilo", wingModel(art, s));
    const BodyAtlas atlas;
    pack.addImage("body.png", paintBody(s, atlas));
    pack.addModel("brushko", bodyModel(atlas));
}

}  // namespace artgen
