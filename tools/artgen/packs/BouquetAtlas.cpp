// The flower bunch's texture: petals, discs, leaves, stems and the rest,
// painted at about the size they take on screen, so that the unfiltered
// minification of the running program does not make them sparkle.
#include "packs/BouquetAtlas.h"

#include "geometry/Rng.h"
#include "painting/Noise.h"

#include <algorithm>
#include <cmath>

namespace artgen {

namespace {

AtlasRegion region(int x, int y, int w, int h) {
    AtlasRegion r;
    r.x = x;
    r.y = y;
    r.w = w;
    r.h = h;
    r.atlasW = BouquetAtlas::size;
    r.atlasH = BouquetAtlas::size;
    return r;
}

// A soft 0..1 edge: 1 inside (d < 0), 0 outside, over `width`.
double inside(double d, double width) { return clamp01(0.5 - d / width); }

// Saw teeth: 0 at each tooth's tip, 1 in the notch between teeth.
double teeth(double x) {
    const double f = x - std::floor(x);
    return f < 0.7 ? f / 0.7 : (1 - f) / 0.3;
}

Colour leafColour(double u, double v, std::uint32_t seed) {
    const double across = std::fabs(u - 0.5) * 2;  // 0 midrib, 1 edge
    Colour c = mix(Colour::hex(0x3d7a2a), Colour::hex(0x2a5a1e), smoothstep(0.1, 1.0, across));
    c = mix(c, Colour::hex(0x6a9a3a), 0.25 * (0.5 + 0.5 * fbm(u * 6, v * 20, seed, 3)));
    // Side veins run out from the midrib towards the tip.
    const double vein = std::fabs(std::sin((v * 9 - across * 0.9) * pi));
    c = mix(c, Colour::hex(0x7aa84a), (1 - smoothstep(0.0, 0.25, vein)) * 0.35 * (1 - across) * smoothstep(0.02, 0.12, v));
    // The midrib, pale and fading towards the tip.
    c = mix(c, Colour::hex(0xb5d58a), (1 - smoothstep(0.02, 0.07, across)) * (1 - 0.6 * v));
    // A lighter rim.
    c = mix(c, Colour::hex(0x7fa84a), smoothstep(0.8, 1.0, across) * 0.35);
    return c;
}

}  // namespace

BouquetAtlas::BouquetAtlas() {
    leaf = region(0, 0, 64, 256);
    grass = region(68, 0, 24, 256);
    stem = region(96, 0, 32, 128);
    daisyPetal = region(132, 0, 32, 128);
    poppyPetal = region(168, 0, 128, 128);
    bell = region(300, 0, 64, 64);
    cornFloret = region(368, 0, 64, 64);
    daisyDisc = region(436, 0, 64, 64);
    calyx = region(300, 68, 64, 64);
    poppyTop = region(368, 68, 64, 64);
    yarrow = region(436, 68, 64, 64);
    stamens = region(96, 132, 128, 32);
    buttercup = region(228, 132, 32, 32);
    cornCentre = region(264, 132, 32, 32);
    bud = region(300, 136, 32, 64);
    dew = region(336, 136, 32, 32);
    ear = region(372, 136, 32, 64);
    capsule = region(408, 136, 32, 64);
}

void BouquetAtlas::paintFoliage(Canvas& c) const {
    paintRegion(c, leaf, [](double u, double v) {
        const double across = std::fabs(u - 0.5) * 2;
        // Fine teeth along both edges, none at the stalk.
        const double tooth = teeth(v * 22 + (u > 0.5 ? 0.5 : 0)) * smoothstep(0.08, 0.2, v);
        const double edge = 0.97 - 0.09 * tooth;
        const Colour c = leafColour(u, v, 501).scaled(0.55 + 0.45 * smoothstep(0.0, 0.4, v));
        return c.withAlpha(inside(across - edge, 0.04));
    });

    paintRegion(c, grass, [](double u, double v) {
        const double across = std::fabs(u - 0.5) * 2;
        Colour g = mix(Colour::hex(0x5f9a38), Colour::hex(0x3d6e26), across);
        g = mix(g, Colour::hex(0x9cc45e), (1 - smoothstep(0.0, 0.2, across)) * 0.4);
        g = mix(g, Colour::hex(0xb8c870), smoothstep(0.7, 1.0, v) * 0.5);  // drying tips
        return g.scaled(0.55 + 0.45 * smoothstep(0.0, 0.35, v));
    });

    paintRegion(c, stem, [](double u, double v) {
        const double stripes = 0.5 + 0.5 * std::sin(u * 2 * pi * 6 + fbm(u * 4, v * 8, 502, 2) * 2);
        Colour s = mix(Colour::hex(0x4f8431), Colour::hex(0x6a9c40), stripes * 0.6);
        s = mix(s, Colour::hex(0x3f6e27), 0.3 * (0.5 + 0.5 * fbm(u * 3, v * 12, 503, 3)));
        // Deep in the bunch, where the stems meet, little light arrives.
        return s.scaled(0.4 + 0.6 * smoothstep(0.0, 0.6, v));
    });
}

void BouquetAtlas::paintPetals(Canvas& c) const {
    paintRegion(c, daisyPetal, [](double u, double v) {
        const double across = std::fabs(u - 0.5) * 2;
        Colour p = Colour::hex(0xfdfdf8);
        p = mix(p, Colour::hex(0xe8ecd6), (1 - smoothstep(0.0, 0.2, v)) * 0.8);  // greenish base
        p = mix(p, Colour::hex(0xd9d8d0), smoothstep(0.5, 1.0, across) * 0.25);
        const double veins = 0.5 + 0.5 * std::cos(u * 2 * pi * 3);
        p = mix(p, Colour::hex(0xe2e2dc), veins * 0.35 * smoothstep(0.1, 0.5, v));
        // A rounded end with two shallow notches.
        const double tipLine = 0.93 + 0.05 * std::sqrt(std::max(0.0, 1 - across * across)) -
                               0.035 * (1 - smoothstep(0.0, 0.12, std::fabs(std::fabs(u - 0.5) - 0.17)));
        return p.withAlpha(inside(v - tipLine, 0.02));
    });

    paintRegion(c, poppyPetal, [](double u, double v) {
        // u across the petal, v from the flower's centre (0) to the rim (1).
        const double crinkle = fbm(u * 5, v * 3, 504, 4);
        const double radialVeins = 0.5 + 0.5 * std::sin((u * 34 + crinkle * 2.5) * pi);
        Colour p = mix(Colour::hex(0xd8231a), Colour::hex(0xf04a22), 0.5 + 0.5 * crinkle);
        p = mix(p, Colour::hex(0xb8160f), radialVeins * 0.25 * smoothstep(0.2, 0.8, v));
        p = mix(p, Colour::hex(0xff6a3a), smoothstep(0.75, 1.0, v) * 0.3);
        // The black blotch at the base, rounder than the petal.
        const double blotch = v - (0.2 - 0.09 * std::pow(std::fabs(u - 0.5) * 2, 2.0)) - 0.02 * crinkle;
        p = mix(p, Colour::hex(0x1d1012), inside(blotch, 0.05));
        // Crumpled silk: a wavy rim.
        const double rim = 0.96 - 0.05 * (0.5 + 0.5 * fbm(u * 9, 1.5, 505, 3));
        return p.withAlpha(inside(v - rim, 0.02));
    });

    paintRegion(c, bell, [](double u, double v) {
        // u around the bell (five lobes), v from the stalk (0) to the rim (1).
        const double lobe = std::fabs(std::fmod(u * 5, 1.0) - 0.5) * 2;  // 0 mid lobe, 1 suture
        Colour b = mix(Colour::hex(0x5a4bb8), Colour::hex(0x8e7fe2), smoothstep(0.1, 0.9, v));
        b = mix(b, Colour::hex(0x3e2f90), (1 - smoothstep(0.0, 0.12, lobe)) * 0.5);  // mid-lobe vein
        b = mix(b, Colour::hex(0xb2a8f0), smoothstep(0.85, 1.0, lobe) * 0.3 * v);
        b = mix(b, Colour::hex(0x2f6b2a), 1 - smoothstep(0.0, 0.1, v));  // green at the stalk
        return b;
    });

    paintRegion(c, cornFloret, [](double u, double v) {
        // u around the little funnel, v from its base to its ragged mouth.
        Colour f = mix(Colour::hex(0x4030a0), Colour::hex(0x2f62de), smoothstep(0.05, 0.5, v));
        f = mix(f, Colour::hex(0x6e9cff), smoothstep(0.6, 1.0, v) * 0.6);
        f = mix(f, Colour::hex(0x1d3aa0), (0.5 + 0.5 * std::cos(u * 2 * pi * 10)) * 0.25);
        const double rim = 0.97 - 0.22 * teeth(u * 10);
        return f.withAlpha(inside(v - rim, 0.03));
    });
}

void BouquetAtlas::paintFlowerHearts(Canvas& c) const {
    paintRegion(c, daisyDisc, [](double u, double v) {
        const double x = u - 0.5, y = v - 0.5;
        const double r = std::sqrt(x * x + y * y) * 2;
        // Florets on a golden-angle spiral.
        double nearest = 1;
        const double angle = std::atan2(y, x);
        const double n0 = r * r * 260;
        for (int k = std::max(0, static_cast<int>(n0) - 40); k < static_cast<int>(n0) + 40; ++k) {
            const double rk = std::sqrt(k / 260.0), ak = k * 2.39996323;
            const double dx = rk * std::cos(ak) - r * std::cos(angle), dy = rk * std::sin(ak) - r * std::sin(angle);
            nearest = std::min(nearest, dx * dx + dy * dy);
        }
        const double floret = 1 - smoothstep(0.0, 0.0022, nearest);
        Colour d = mix(Colour::hex(0xd99a0c), Colour::hex(0xf6c61c), floret);
        d = mix(d, Colour::hex(0xa0a020), (1 - smoothstep(0.0, 0.35, r)) * 0.35);  // unopened middle
        d = mix(d, Colour::hex(0xffd940), smoothstep(0.75, 1.0, r) * 0.5);
        return d;
    });

    paintRegion(c, calyx, [](double u, double v) {
        // Overlapping bracts: scales in offset rows.
        const double row = v * 5;
        const double shift = std::fmod(std::floor(row), 2.0) * 0.5;
        const double sx = std::fmod(u * 8 + shift, 1.0) - 0.5;
        const double sy = row - std::floor(row);
        const double scale = sx * sx * 3 + (1 - sy) * 0.8;
        Colour k = mix(Colour::hex(0x5e8a3a), Colour::hex(0x3b6326), smoothstep(0.2, 0.9, scale));
        k = mix(k, Colour::hex(0x6b5a3a), smoothstep(0.85, 1.0, sy) * 0.4);  // brown bract edges
        return k;
    });

    paintRegion(c, poppyTop, [](double u, double v) {
        const double x = u - 0.5, y = v - 0.5;
        const double r = std::sqrt(x * x + y * y) * 2, a = std::atan2(y, x);
        const double ray = std::fabs(std::sin(a * 5));  // ten rays
        Colour t = mix(Colour::hex(0x8fa870), Colour::hex(0x6f8a55), r);
        t = mix(t, Colour::hex(0x3a1f3a), (1 - smoothstep(0.0, 0.25, ray)) * smoothstep(0.1, 0.3, r) * 0.9);
        return t;
    });
}

void BouquetAtlas::paintYarrow(Canvas& c) const {
    // Little florets in round clusters, seen from above; the rest cut
    // away. Painted as dots so each floret stays a clean round spot.
    paintRegion(c, yarrow, [](double, double) { return Colour(0.95, 0.94, 0.88, 0); });
    Rng rng(506);
    const Vec2 centre = yarrow.pixel(0.5, 0.5);
    const double scale = yarrow.pixelsPerU() / 2;
    for (int cluster = 0; cluster < 19; ++cluster) {
        const double ring = cluster == 0 ? 0 : (cluster < 7 ? 0.38 : 0.74);
        const int inRing = cluster == 0 ? 1 : (cluster < 7 ? 6 : 12);
        const int index = cluster == 0 ? 0 : (cluster < 7 ? cluster - 1 : cluster - 7);
        const double a = 2 * pi * index / inRing + (cluster < 7 ? 0 : 0.26);
        const Vec2 cc = centre + Vec2{std::cos(a), std::sin(a)} * (ring * scale);
        for (int f = 0; f < 15; ++f) {
            const double fa = rng.uniform() * 2 * pi, fr = std::sqrt(rng.uniform()) * 0.14 * scale;
            const Vec2 p = cc + Vec2{std::cos(fa), std::sin(fa)} * fr;
            c.dot(p, 0.06 * scale, Colour::hex(0xfbfaf2), 0.8);
            c.dot(p, 0.02 * scale, Colour::hex(0xe6d6a0), 0.8);
        }
    }
}

void BouquetAtlas::paintCentres(Canvas& c) const {
    paintRegion(c, stamens, [](double u, double v) {
        // Dark filaments ending in anthers, a ragged fringe at the top.
        const double ragged = 0.7 + 0.25 * (0.5 + 0.5 * std::sin(u * 2 * pi * 23)) * (0.5 + 0.5 * valueNoise(u * 40, 3, 508));
        Colour s = mix(Colour::hex(0x241a28), Colour::hex(0x3a2a3c), v);
        return s.withAlpha(inside(v - ragged, 0.06));
    });

    paintRegion(c, buttercup, [](double u, double v) {
        Colour b = mix(Colour::hex(0xe8b010), Colour::hex(0xfbd824), smoothstep(0.0, 0.5, v));
        b = mix(b, Colour::hex(0xfff08a), smoothstep(0.3, 0.6, v) * (1 - smoothstep(0.6, 0.9, v)) * 0.35 *
                                                   (1 - std::fabs(u - 0.5) * 2));
        const double across = std::fabs(u - 0.5) * 2;
        const double outline = std::sqrt(std::max(0.0, 1 - std::pow(std::max(0.0, v - 0.6) / 0.4, 2.0)));
        return b.withAlpha(inside(across - outline, 0.06));
    });

    paintRegion(c, cornCentre, [](double u, double v) {
        const double x = u - 0.5, y = v - 0.5;
        const double cells = cellDistance(u * 9, v * 9, 509);
        Colour m = mix(Colour::hex(0x2c1650), Colour::hex(0x6a3ea0), smoothstep(0.1, 0.5, cells));
        return mix(m, Colour::hex(0x3060c0), smoothstep(0.3, 0.5, std::sqrt(x * x + y * y)) * 0.5);
    });
}

void BouquetAtlas::paintBudsAndSeeds(Canvas& c) const {
    paintRegion(c, bud, [](double u, double v) {
        const double hairs = valueNoise(u * 60, v * 24, 510);
        Colour b = mix(Colour::hex(0x54803a), Colour::hex(0x6e9848), 0.5 + 0.5 * fbm(u * 4, v * 4, 511, 3));
        b = mix(b, Colour::hex(0xc8d8a8), smoothstep(0.55, 0.9, hairs) * 0.45);
        // A hint of red where a poppy bud is about to split.
        b = mix(b, Colour::hex(0xb03a20), (1 - smoothstep(0.0, 0.04, std::fabs(u - 0.5))) * smoothstep(0.5, 0.9, v) * 0.6);
        return b;
    });

    paintRegion(c, dew, [](double u, double v) {
        const double x = (u - 0.5) * 2, y = (v - 0.5) * 2;
        const double r = std::sqrt(x * x + y * y);
        // Clear in the middle, a darker refracting rim, one bright glint.
        const double rim = smoothstep(0.55, 0.95, r);
        const double glint = std::exp(-((x + 0.3) * (x + 0.3) + (y + 0.35) * (y + 0.35)) / 0.02);
        Colour d = mix(Colour::hex(0xeaf6ff), Colour::hex(0x5a7a6a), rim * 0.7);
        d = mix(d, Colour::hex(0xffffff), glint);
        return d.withAlpha(clamp01(0.25 + 0.4 * rim + glint * 0.7));
    });

    paintRegion(c, ear, [](double u, double v) {
        const double spikelets = 0.5 + 0.5 * std::sin(v * 2 * pi * 9 + std::sin(u * 2 * pi * 3) * 2);
        Colour e = mix(Colour::hex(0x9aa85a), Colour::hex(0xd6d08a), spikelets);
        return mix(e, Colour::hex(0x8a6a4a), smoothstep(0.6, 1.0, spikelets) * 0.3);
    });

    paintRegion(c, capsule, [](double u, double v) {
        const double ribs = 0.5 + 0.5 * std::cos(u * 2 * pi * 10);
        Colour k = mix(Colour::hex(0x8aa86a), Colour::hex(0x6a8a50), ribs * 0.7);
        return mix(k, Colour::hex(0xa8c088), smoothstep(0.6, 1.0, v) * 0.4);
    });
}

Image BouquetAtlas::paint() const {
    Canvas c(size, size);
    paintFoliage(c);
    paintPetals(c);
    paintFlowerHearts(c);
    paintYarrow(c);
    paintCentres(c);
    paintBudsAndSeeds(c);
    return c.toImage();
}

}  // namespace artgen
