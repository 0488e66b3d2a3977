// "flowers": a lush meadow bunch seen from above as it turns: daisies,
// poppies, cornflowers, buttercups, yarrow and bellflowers over a collar of
// leaves and grasses, with a few dew drops. Model units are half scene
// units (the node scales by 2); the bunch's axis is +z.
#include "content/ScenePlacement.h"
#include "formats/ModelFormat.h"
#include "meshes/HiddenTriangles.h"
#include "meshes/Shapes.h"
#include "meshes/Sheet.h"
#include "meshes/TurningView.h"
#include "packs/Artwork.h"
#include "packs/Bunch.h"
#include "painting/Noise.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace artgen {

namespace bouquet {

namespace {

// Where the resting butterfly sits: the top of one daisy's disc, facing
// up and out towards -y at 45 degrees (its carrier is turned (45, 0, 90)).
const Vec3 restingPoint{0, -3.5, 10.75};
const Vec3 restingFacing = Vec3{0, -1, 1}.normalized();
// The flying butterflies pass above this height.
constexpr double topLimit = 11.9;
// Radius of the dome of flower heads in the top view.
constexpr double radius = 8.2;

// A frame whose z is `facing`, turned by `spin` about it, at `origin`.
Affine headFrame(const Vec3& origin, const Vec3& facing, double spinDegrees) {
    return Affine::translation(origin) * Affine::aligningZ(facing) * Affine::rotationZ(spinDegrees);
}

}  // namespace

Bunch::Bunch(int cutLines) : lines(cutLines) {
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
    model.add(tex, Material(solidMat).withHints(renderHint::closed));
}

Detail Bunch::detailAt(const Vec3& where) const {
    // Pixels per model unit: the node scales the bunch up into the scene.
    const double pixelsPerUnit =
        screenPixelsPerUnit(TurningView::nearestDepth(where), lines) * scenePlacement::flowerScale;
    return Detail(pixelsPerUnit, BouquetAtlas::size);
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
    stemPlans.push_back({foot, rise, radius, detailAt(top)});
}

std::vector<Vec3> stemSpine(const StemPlan& stem, double from, int pieces) {
    std::vector<Vec3> spine;
    if (pieces > 0) {
        for (int i = 0; i <= pieces; ++i) {
            const double u = from + (1 - from) * i / pieces;
            spine.push_back(u < 0 ? lerp(stem.rise(0), stem.foot, -u) : stem.rise(u));
        }
        return spine;
    }
    if (from < 0) spine.push_back(lerp(stem.rise(0), stem.foot, std::min(1.0, -from)));
    const double t0 = std::max(0.0, from);
    const CurveFunction part = [&](double t) { return stem.rise(t0 + (1 - t0) * t); };
    const int most = std::max(2, static_cast<int>(std::ceil(7 * (1 - t0))));
    for (const Vec3& p : samples(part, stem.detail.segments(part, most))) spine.push_back(p);
    return spine;
}

void Bunch::addStems(const std::vector<double>& from) {
    auto length = [](const std::vector<Vec3>& points) {
        double sum = 0;
        for (std::size_t k = 1; k < points.size(); ++k) sum += (points[k] - points[k - 1]).length();
        return sum;
    };
    for (std::size_t i = 0; i < stemPlans.size(); ++i) {
        const StemPlan& s = stemPlans[i];
        const double start = i < from.size() ? from[i] : -1;
        if (start >= 1) continue;  // no turn shows any of it
        // A stem that starts higher keeps the texture rows it had there.
        double before = 0;
        if (start > -1) before = length({s.foot, s.rise(0)}) * std::min(1.0, 1 + start);
        if (start > 0) before += length(samples([&](double t) { return s.rise(start * t); }, 16));
        const double along = std::min(1.0, before / std::max(length(stemSpine(s, -1)), 1e-9));
        const std::vector<double> radii =
            start <= -1 ? std::vector<double>{s.radius * 1.1, s.radius} : std::vector<double>{s.radius};
        addCappedTube(closed(), stemSpine(s, start), radii, s.detail.sides(s.radius, 5), atlas.stem.uv(0, along),
                      atlas.stem.uv(1, 1));
    }
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
    addCappedTube(closed(), samples(stalk, detail.segments(stalk, 8)), {0.05, 0.035}, detail.sides(0.05, 4),
                  atlas.stem.uv(0, 0), atlas.stem.uv(1, 1));
    const Vec3 dir = (top - bend).normalized();
    ModelPart local;
    addEllipsoid(local, detail, {0, 0, 0.55}, {0.13, 0.13, 0.6}, 8, 8, atlas.ear.uv(0, 0), atlas.ear.uv(1, 1));
    appendTransformed(closed(), local, Affine::translation(top) * Affine::aligningZ(dir));
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
    auto choose = [&](const std::vector<Share>& types) {
        const double pick = rng.uniform();
        double total = 0;
        for (const Share& t : types) {
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
    const int spiral = 56;
    for (int k = 0; k < spiral; ++k) {
        const double r = radius * std::sqrt((k + 0.5) / spiral) + rng.range(-0.3, 0.3);
        const double a = k * 2.39996323 + rng.range(-0.2, 0.2);
        const Share t = choose(domeFlowers());
        const double size = rng.range(t.minSize, t.maxSize);
        if (fits(polarPoint(r, a, 0), size, 0.64)) place(t.kind, std::max(0.0, r), a, size);
    }
    // A lower storey of flowers shows through the gaps between the top heads.
    for (int k = 0; k < 16; ++k) {
        const double r = rng.range(1.5, radius - 1.0), a = rng.uniform() * 2 * pi;
        const Share t = choose(domeFlowers());
        const double size = rng.range(t.minSize, t.maxSize) * 0.9;
        const std::size_t before = heads.size();
        place(t.kind, r, a, size);
        heads[before].position.z -= rng.range(1.4, 2.2);
    }
    int placed = 0;
    for (int attempt = 0; attempt < 3000 && placed < 12; ++attempt) {
        const double r = radius * std::sqrt(rng.uniform()), a = rng.uniform() * 2 * pi;
        const Share t = choose(gapFillers());
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

// Where each stem need start: the lowest of its pieces that some turn shows
// among everything else of the bunch (less one piece, to be safe), past the
// end for a stem no turn shows. Most of a stem's length lies under the
// leaves and the heads, and a pixel-thin tube costs as much to rasterise
// as a far bigger shape.
std::vector<double> stemStarts(const Bunch& bunch, const Image& picture) {
    Model probe = bunch.current();
    ModelPart& closed = probe.parts[Bunch::closedPart];
    std::vector<std::vector<std::pair<std::size_t, std::size_t>>> pieces;  // per stem, triangle ranges
    for (const StemPlan& s : bunch.stems()) {
        const std::vector<Vec3> spine = stemSpine(s, -1, stemProbePieces);
        std::vector<std::pair<std::size_t, std::size_t>> ranges;
        for (std::size_t k = 0; k + 1 < spine.size(); ++k) {
            const std::size_t first = closed.vertices.size() / 3;
            addTube(closed, {spine[k], spine[k + 1]}, {s.radius}, s.detail.sides(s.radius, 5));
            ranges.push_back({first, closed.vertices.size() / 3});
        }
        pieces.push_back(std::move(ranges));
    }
    const std::vector<bool> shown = shownTriangles(probe, {{"bouquet.png", picture}});
    std::size_t offset = 0;
    for (std::size_t p = 0; p < Bunch::closedPart; ++p) offset += probe.parts[p].vertices.size() / 3;
    std::vector<double> starts;
    for (const auto& ranges : pieces) {
        int lowest = stemProbePieces;
        for (int k = 0; k < stemProbePieces && lowest == stemProbePieces; ++k)
            for (std::size_t t = ranges[static_cast<std::size_t>(k)].first; t < ranges[static_cast<std::size_t>(k)].second; ++t)
                if (shown[offset + t]) {
                    lowest = k;
                    break;
                }
        starts.push_back(lowest == stemProbePieces ? 1.0 : stemProbeStart(std::max(0, lowest - 1)));
    }
    return starts;
}

// The parts in the order they are drawn: on the whole nearest the eye
// first (the heads, then the leaves and the stems under them), and within
// each the nearest triangles first, so that the depth test turns away much
// of what lies behind before it is shaded. The blended dew keeps its place
// and order: it is drawn at the end of the frame, after all of them.
Model drawingOrder(Model built) {
    Model out;
    for (const int i : {0, 1, 3, 2, 5, 4}) {
        out.parts.push_back(std::move(built.parts[static_cast<std::size_t>(i)]));
        if (!out.parts.back().material.transparent) TurningView::sortNearestFirst(out.parts.back());
    }
    return out;
}

}  // namespace bouquet

void addBouquet(PackContents& pack) {
    BouquetAtlas atlas;
    const Image picture = atlas.paint();
    pack.addImage("bouquet.png", picture);
    // The same bunch each time (the same draws of its generator), cut more
    // coarsely for lower pictures. Where each stem starts to show is judged
    // once, among the finest cut's parts: it leaves a piece more than shows,
    // more than a coarser cut's shapes move, and the judging is slow.
    std::vector<double> stemStarts;
    for (const scenePlacement::FlowerCut& cut : scenePlacement::flowerCuts) {
        bouquet::Bunch bunch(cut.lines);
        bunch.build();
        if (&cut == &scenePlacement::flowerCuts[0]) stemStarts = bouquet::stemStarts(bunch, picture);
        bunch.addStems(stemStarts);
        Model model = bunch.take();
        removeHiddenTriangles(model, {{"bouquet.png", picture}});
        model = bouquet::drawingOrder(std::move(model));
        double topZ = -1e9;
        for (const ModelPart& p : model.parts)
            for (const Vertex& v : p.vertices) topZ = std::max(topZ, v.position.z);
        if (topZ > 12.0) {
            char height[32];
            std::snprintf(height, sizeof height, "%.2f", topZ);
            pack.fail(std::string("the flowers reach z = ") + height + ", into the butterflies' flight");
            return;
        }
        if (&cut == &scenePlacement::flowerCuts[0])
            pack.addModel(cut.entry, model);
        else
            pack.addCutModel(cut.entry, model, scenePlacement::flowerCuts[0].entry);
    }
}

}  // namespace artgen
