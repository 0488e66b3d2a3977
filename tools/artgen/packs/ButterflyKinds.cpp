#include "packs/ButterflyKinds.h"

#include "geometry/Path.h"
#include "geometry/Rng.h"
#include "painting/Noise.h"

#include <cmath>
#include <cstddef>

namespace artgen {

namespace {

Material wingMaterial(double specular, double shininess, Colour tint = Colour(1, 1, 1)) {
    Material m = Material::lit(0.46, 0.60, specular, shininess);
    m.specular[0] = static_cast<float>(specular * tint.r);
    m.specular[1] = static_cast<float>(specular * tint.g);
    m.specular[2] = static_cast<float>(specular * tint.b);
    return m.withAlphaTest();
}

// ButterflyKind 1: an orange milkweed butterfly with black veins and margins
// dotted white.
ButterflyKind orangeVeined() {
    ButterflyKind s;
    s.foreControl = {{2.8, 0.5}, {4.1, 6.0}, {4.9, 12.0}, {4.6, 16.0}, {2.8, 17.4}, {0.0, 15.8}, {-2.3, 12.6},
                     {-3.1, 9.4}, {-1.7, 4.8}, {-0.6, 0.6}};
    s.hindControl = {{0.2, 0.6}, {0.7, 4.2}, {-0.4, 8.6}, {-2.8, 11.2}, {-5.6, 11.0}, {-7.4, 8.6},
                     {-7.6, 5.0}, {-6.2, 2.0}, {-3.6, 0.5}};
    s.paint = [](WingArt& w) {
        const Colour orange = Colour::hex(0xf0861a), deep = Colour::hex(0xd4600e), pale = Colour::hex(0xf8a83a);
        w.fill(w.foreMask, [&](Vec2 p) {
            const double t = clamp01((p - w.foreRoot).length() / 16);
            return mix(mix(deep, orange, smoothstep(0.0, 0.4, t)), pale, 0.25 * (0.5 + 0.5 * fbm(p.x * 0.5, p.y * 0.5, 11, 3)));
        });
        w.fill(w.hindMask, [&](Vec2 p) {
            const double t = clamp01((p - w.hindRoot).length() / 10);
            return mix(deep, orange, smoothstep(0.0, 0.5, t));
        });
        const Colour black = Colour::hex(0x17110e);
        // Veins: the forewing's cell and its fan, the hindwing's fan.
        auto foreVeins = w.fan(w.fore, w.foreRoot, 58, 150, 8, 0.05, 0.3);
        const auto costa = w.fan(w.fore, w.foreRoot, 70, 70, 1, 0.03);
        foreVeins.insert(foreVeins.end(), costa.begin(), costa.end());
        foreVeins.push_back(smoothOpen({w.foreRoot, {1.7, 5.5}, {0.9, 8.6}}, 8));
        foreVeins.push_back(smoothOpen({w.foreRoot, {-0.2, 4.5}, {0.9, 8.6}}, 8));
        w.lines(foreVeins, 0.42, black, w.foreMask);
        auto hindVeins = w.fan(w.hind, w.hindRoot, 75, 185, 8, -0.05, 0.25);
        hindVeins.push_back(smoothOpen({w.hindRoot, {-1.8, 3.6}, {-3.2, 5.0}, {-1.5, 6.5}, {-0.2, 4.5}}, 8));
        w.lines(hindVeins, 0.38, black, w.hindMask);
        w.lines({smoothOpen({{-0.5, 0.5}, {-2.5, 3.5}, {-5.2, 5.5}, {-7.2, 6.3}}, 8)}, 0.5, black, w.hindMask);
        // Black margins and the black forewing tip.
        w.margin(w.fore, w.foreRoot, 1.5, 0.35, black, w.foreMask, 16);
        w.margin(w.hind, w.hindRoot, 1.4, 0.25, black, w.hindMask, 10);
        Mask tip(wingPaint, wingPaint);
        tip.fill(Path::smoothClosed(WingArt::px(std::vector<Vec2>{{5.5, 11.5}, {5.5, 18.0}, {1.0, 17.5}, {-1.2, 14.0}, {1.5, 13.0}}), 8));
        tip.blur(4);
        tip.multiply(w.foreMask);
        w.canvas.paint(tip, black);
        // Two rows of white dots in the margins, a band of pale spots at the tip.
        Rng rng(101);
        for (const auto* wing : {&w.fore, &w.hind}) {
            const Vec2 root = wing == &w.fore ? w.foreRoot : w.hindRoot;
            const Mask& clip = wing == &w.fore ? w.foreMask : w.hindMask;
            const double reach = wing == &w.fore ? 11.0 : 6.0;
            for (std::size_t i = 0; i < wing->size(); i += 5) {
                const Vec2 edge = (*wing)[i];
                if ((edge - root).length() < reach) continue;
                const Vec2 in = (root - edge).normalized();
                w.spot(edge + in * 0.55, 0.22, Colour::hex(0xfaf6ea), clip);
                if (i % 10 == 0) w.spot(edge + in * 1.15, 0.2, Colour::hex(0xfaf6ea), clip);
            }
        }
        for (Vec2 p : {Vec2{2.6, 13.6}, Vec2{1.5, 14.6}, Vec2{3.6, 12.6}, Vec2{0.6, 13.1}, Vec2{2.2, 15.6}})
            w.spot(p, 0.42, Colour::hex(0xfbe9c0), w.foreMask);
        for (Vec2 p : {Vec2{3.4, 15.2}, Vec2{1.0, 16.1}}) w.spot(p, 0.3, Colour::hex(0xf6a040), w.foreMask);
    };
    s.bodyDark = Colour::hex(0x1a1412);
    s.bodyLight = Colour::hex(0xf2efe4);
    s.bodyHair = Colour::hex(0x3a2a22);
    s.antennaClub = Colour::hex(0x1a1412);
    s.wingMaterial = wingMaterial(0.14, 14);
    s.bodyStripes = 0;
    s.thoraxDots = true;
    return s;
}

// ButterflyKind 2: a big blue iridescent one with black margins.
ButterflyKind blueIridescent() {
    ButterflyKind s;
    s.foreControl = {{2.6, 0.5}, {4.3, 6.0}, {5.3, 12.5}, {4.8, 16.6}, {2.4, 17.6}, {-0.6, 15.6}, {-2.6, 11.8},
                     {-3.2, 8.2}, {-1.8, 4.0}, {-0.6, 0.6}};
    s.hindControl = {{0.2, 0.6}, {0.9, 4.6}, {-0.2, 9.2}, {-2.6, 11.9}, {-5.6, 12.0}, {-8.0, 9.8},
                     {-8.6, 6.2}, {-7.2, 2.6}, {-3.8, 0.5}};
    s.paint = [](WingArt& w) {
        const Colour deep = Colour::hex(0x0f3a9a), blue = Colour::hex(0x1f7ce8), bright = Colour::hex(0x5ec8ff);
        auto shimmer = [&](Vec2 p, Vec2 root, double reach) {
            const double t = clamp01((p - root).length() / reach);
            const double sheen = 0.5 + 0.5 * std::sin(p.x * 0.9 + p.y * 0.5 + fbm(p.x * 0.3, p.y * 0.3, 21, 3) * 3);
            Colour c = mix(deep, blue, smoothstep(0.0, 0.45, t));
            return mix(c, bright, sheen * 0.45 * smoothstep(0.15, 0.6, t));
        };
        w.fill(w.foreMask, [&](Vec2 p) { return shimmer(p, w.foreRoot, 16); });
        w.fill(w.hindMask, [&](Vec2 p) { return shimmer(p, w.hindRoot, 11); });
        const Colour black = Colour::hex(0x0b0d18);
        w.lines(w.fan(w.fore, w.foreRoot, 60, 150, 7, 0.04, 0.35), 0.22, Colour::hex(0x0d3380), w.foreMask);
        w.lines(w.fan(w.hind, w.hindRoot, 80, 185, 7, -0.04, 0.3), 0.22, Colour::hex(0x0d3380), w.hindMask);
        // A broad black leading edge and tip, black margins with white dots.
        w.margin(w.fore, w.foreRoot, 2.6, 0.2, black, w.foreMask, 16);
        w.margin(w.hind, w.hindRoot, 1.7, 0.15, black, w.hindMask, 11);
        Mask costa(wingPaint, wingPaint);
        costa.stroke(WingArt::px(std::vector<Vec2>{{3.0, 1.0}, {4.4, 7.0}, {5.0, 12.5}, {4.2, 17.0}}), 1.6 * WingArt::scale());
        costa.blur(6);
        costa.multiply(w.foreMask);
        w.canvas.paint(costa, black);
        for (const auto* wing : {&w.fore, &w.hind}) {
            const Vec2 root = wing == &w.fore ? w.foreRoot : w.hindRoot;
            const Mask& clip = wing == &w.fore ? w.foreMask : w.hindMask;
            const double reach = wing == &w.fore ? 12.0 : 7.0;
            for (std::size_t i = 0; i < wing->size(); i += 6) {
                const Vec2 edge = (*wing)[i];
                if ((edge - root).length() < reach) continue;
                w.spot(edge + (root - edge).normalized() * 0.9, 0.26, Colour::hex(0xe8f0ff), clip);
            }
        }
        w.scallops(w.hind, w.hindRoot, 8.0, 0.35, 6);
    };
    s.bodyDark = Colour::hex(0x1c1a26);
    s.bodyLight = Colour::hex(0x4a5a8a);
    s.bodyHair = Colour::hex(0x2e3650);
    s.antennaClub = Colour::hex(0x2a2a3a);
    s.wingMaterial = wingMaterial(0.75, 40, Colour(0.55, 0.85, 1.0));
    s.bodyStripes = 0;
    s.thoraxDots = false;
    return s;
}

// ButterflyKind 3: a pale yellow swallowtail with black tiger stripes and tails.
ButterflyKind yellowSwallowtail() {
    ButterflyKind s;
    s.foreControl = {{2.8, 0.5}, {4.6, 6.5}, {5.6, 12.8}, {5.2, 17.2}, {3.6, 18.0}, {0.6, 15.8}, {-2.0, 12.4},
                     {-3.0, 9.0}, {-1.8, 4.6}, {-0.6, 0.6}};
    s.hindControl = {{0.2, 0.6},   {0.4, 4.4},   {-0.8, 8.4},  {-2.6, 10.6}, {-4.6, 11.3}, {-6.0, 11.8},
                     {-8.4, 15.4}, {-9.6, 15.6}, {-9.0, 13.8}, {-8.0, 10.6}, {-8.4, 7.6},  {-7.2, 3.4},
                     {-4.0, 0.5}};
    s.paint = [](WingArt& w) {
        const Colour yellow = Colour::hex(0xf7e26a), cream = Colour::hex(0xfbf0a8);
        w.fill(w.foreMask, [&](Vec2 p) { return mix(yellow, cream, 0.3 + 0.3 * fbm(p.x * 0.4, p.y * 0.4, 31, 3)); });
        w.fill(w.hindMask, [&](Vec2 p) { return mix(yellow, cream, 0.3 + 0.3 * fbm(p.x * 0.4, p.y * 0.4, 32, 3)); });
        const Colour black = Colour::hex(0x15120e);
        // Tiger stripes across the forewing from the leading edge.
        const double stripes[][4] = {{3.2, 1.4, -0.6, 0.8},  {4.1, 5.2, -1.8, 3.8},  {4.7, 8.6, -2.6, 7.4},
                                     {5.1, 11.4, -1.4, 10.2}, {5.0, 13.6, 1.4, 12.8}};
        const double widths[] = {1.3, 0.9, 1.1, 0.7, 0.8};
        for (int i = 0; i < 5; ++i) {
            const Vec2 a{stripes[i][0], stripes[i][1]}, b{stripes[i][2], stripes[i][3]};
            w.lines({{a, lerp(a, b, 0.5) + Vec2{0.2, 0.3}, b}}, widths[i] * (i == 2 ? 1.0 : 1.0), black, w.foreMask);
        }
        w.lines({{{0.0, 0.5}, {-1.6, 3.2}, {-3.6, 6.0}}}, 1.2, black, w.hindMask);
        w.lines(w.fan(w.fore, w.foreRoot, 58, 150, 8, 0.04, 0.3), 0.3, black, w.foreMask);
        w.lines(w.fan(w.hind, w.hindRoot, 80, 190, 8, -0.05, 0.3), 0.3, black, w.hindMask);
        w.margin(w.fore, w.foreRoot, 1.9, 0.2, black, w.foreMask, 16);
        w.margin(w.hind, w.hindRoot, 2.6, 0.2, black, w.hindMask, 10);
        // Yellow crescents in the margins, blue dashes and an orange eye on the hindwing.
        for (const auto* wing : {&w.fore, &w.hind}) {
            const Vec2 root = wing == &w.fore ? w.foreRoot : w.hindRoot;
            const Mask& clip = wing == &w.fore ? w.foreMask : w.hindMask;
            const double reach = wing == &w.fore ? 12.0 : 7.5;
            for (std::size_t i = 0; i < wing->size(); i += 7) {
                const Vec2 edge = (*wing)[i];
                if ((edge - root).length() < reach || (wing == &w.hind && edge.y > 11.8)) continue;
                w.spot(edge + (root - edge).normalized() * 0.6, 0.38, yellow, clip);
            }
        }
        for (Vec2 p : {Vec2{-3.2, 9.4}, Vec2{-5.0, 9.6}, Vec2{-6.6, 8.6}, Vec2{-1.6, 8.0}})
            w.spot(p, 0.55, Colour::hex(0x3d6fd8), w.hindMask);
        w.spot({-7.0, 4.2}, 0.95, Colour::hex(0xe8541c), w.hindMask);
        w.spot({-7.1, 4.1}, 0.4, Colour::hex(0x15120e), w.hindMask);
        w.scallops(w.hind, w.hindRoot, 7.5, 0.3, 7);
    };
    s.bodyDark = Colour::hex(0x15120e);
    s.bodyLight = Colour::hex(0xf2dc6a);
    s.bodyHair = Colour::hex(0x3a3020);
    s.antennaClub = Colour::hex(0x15120e);
    s.wingMaterial = wingMaterial(0.14, 14);
    s.bodyStripes = 4;
    s.thoraxDots = false;
    return s;
}

// ButterflyKind 4: a red one with an eyespot on every wing.
ButterflyKind redEyespots() {
    ButterflyKind s;
    s.foreControl = {{2.8, 0.5}, {4.2, 6.2}, {5.0, 12.0}, {5.0, 15.8}, {3.4, 17.2}, {1.2, 15.4}, {0.0, 13.4},
                     {-1.8, 11.6}, {-2.8, 8.8}, {-1.6, 4.4}, {-0.6, 0.6}};
    s.hindControl = {{0.2, 0.6}, {0.6, 4.4}, {-0.6, 8.4}, {-2.4, 10.4}, {-4.4, 10.8}, {-6.0, 10.2},
                     {-6.4, 8.8}, {-7.6, 7.8}, {-7.8, 4.6}, {-6.4, 1.8}, {-3.6, 0.5}};
    s.paint = [](WingArt& w) {
        const Colour red = Colour::hex(0xb8201a), deep = Colour::hex(0x7a1412), warm = Colour::hex(0xd2442a);
        w.fill(w.foreMask, [&](Vec2 p) {
            const double t = clamp01((p - w.foreRoot).length() / 15);
            return mix(mix(deep, red, smoothstep(0.0, 0.35, t)), warm, 0.3 * (0.5 + 0.5 * fbm(p.x * 0.5, p.y * 0.5, 41, 3)));
        });
        w.fill(w.hindMask, [&](Vec2 p) {
            const double t = clamp01((p - w.hindRoot).length() / 10);
            return mix(deep, red, smoothstep(0.0, 0.5, t));
        });
        const Colour umber = Colour::hex(0x3a2a26);
        w.margin(w.fore, w.foreRoot, 1.3, 0.3, umber, w.foreMask, 15);
        w.margin(w.hind, w.hindRoot, 1.6, 0.3, umber, w.hindMask, 10);
        // Dark bars on the leading edge, pale between them.
        for (int i = 0; i < 4; ++i) {
            const Vec2 a{4.1 + 0.2 * i, 4.5 + 2.6 * i};
            w.lines({{a, a + Vec2{-1.4, 0.2}}}, 0.9, Colour::hex(0x2a1a18), w.foreMask);
            if (i < 3) w.lines({{a + Vec2{0.1, 1.3}, a + Vec2{-0.8, 1.4}}}, 0.45, Colour::hex(0xf0d8a8), w.foreMask);
        }
        // The forewing's eye: yellow ring, black and blue-violet centre.
        const Vec2 eye{2.7, 13.6};
        w.spot(eye, 2.6, Colour::hex(0xe8c89a), w.foreMask, 2);
        w.spot(eye, 2.15, Colour::hex(0x3a2230), w.foreMask);
        w.spot(eye + Vec2{0.2, -0.3}, 1.6, Colour::hex(0x6a5ab8), w.foreMask);
        w.spot(eye + Vec2{0.4, -0.5}, 0.9, Colour::hex(0x2a1a30), w.foreMask);
        w.spot(eye + Vec2{-0.4, 0.5}, 0.45, Colour::hex(0xbfc8f0), w.foreMask);
        // The hindwing's black eye with blue sparks in a grey ring.
        const Vec2 eye2{-4.2, 7.4};
        w.spot(eye2, 2.5, Colour::hex(0x6a6060), w.hindMask, 2);
        w.spot(eye2, 2.0, Colour::hex(0x141014), w.hindMask);
        for (Vec2 d : {Vec2{0.6, -0.6}, Vec2{-0.7, 0.4}, Vec2{0.1, 0.8}, Vec2{-0.3, -0.9}})
            w.spot(eye2 + d, 0.38, Colour::hex(0x4a80e0), w.hindMask);
        w.scallops(w.fore, w.foreRoot, 12.0, 0.3, 8);
        w.scallops(w.hind, w.hindRoot, 7.0, 0.35, 6);
    };
    s.bodyDark = Colour::hex(0x241a18);
    s.bodyLight = Colour::hex(0x6a4a3a);
    s.bodyHair = Colour::hex(0x4a3028);
    s.antennaClub = Colour::hex(0xe8e0d0);
    s.wingMaterial = wingMaterial(0.16, 16);
    s.bodyStripes = 0;
    s.thoraxDots = false;
    return s;
}

// ButterflyKind 5: a white one with black tips and two black spots.
ButterflyKind whiteBlackTips() {
    ButterflyKind s;
    s.foreControl = {{2.6, 0.5}, {3.9, 6.0}, {4.5, 12.0}, {3.9, 15.8}, {1.8, 16.6}, {-0.6, 14.6}, {-2.4, 11.2},
                     {-2.8, 8.0}, {-1.6, 4.0}, {-0.6, 0.6}};
    s.hindControl = {{0.2, 0.6}, {0.6, 4.0}, {-0.4, 8.0}, {-2.4, 10.2}, {-5.0, 10.4}, {-6.8, 8.4},
                     {-7.0, 5.0}, {-5.8, 2.0}, {-3.4, 0.5}};
    s.paint = [](WingArt& w) {
        const Colour white = Colour::hex(0xf8f6ee), grey = Colour::hex(0x9a9a90), cream = Colour::hex(0xf0ecd0);
        w.fill(w.foreMask, [&](Vec2 p) {
            const double t = clamp01((p - w.foreRoot).length() / 15);
            return mix(mix(grey, white, smoothstep(0.0, 0.3, t)), cream, 0.2 * (0.5 + 0.5 * fbm(p.x * 0.4, p.y * 0.4, 51, 3)));
        });
        w.fill(w.hindMask, [&](Vec2 p) {
            const double t = clamp01((p - w.hindRoot).length() / 10);
            return mix(mix(grey, white, smoothstep(0.0, 0.35, t)), Colour::hex(0xf4f0d8), 0.3 * t);
        });
        w.lines(w.fan(w.fore, w.foreRoot, 60, 145, 7, 0.04, 0.3), 0.16, Colour::hex(0xd8d8cc), w.foreMask);
        w.lines(w.fan(w.hind, w.hindRoot, 80, 185, 7, -0.04, 0.3), 0.16, Colour::hex(0xd8d8cc), w.hindMask);
        // The black tip, soft-edged and ragged towards the body.
        Mask tip(wingPaint, wingPaint);
        tip.fill(Path::smoothClosed(WingArt::px(std::vector<Vec2>{{5.0, 11.0}, {5.0, 17.5}, {0.5, 17.0}, {-1.0, 13.8}, {0.8, 13.0}, {2.6, 12.4}}), 8));
        tip.blur(5);
        tip.multiply(w.foreMask);
        w.canvas.paint(tip, Colour::hex(0x1f1f22));
        for (std::size_t i = 0; i < w.fore.size(); i += 9) {
            const Vec2 edge = w.fore[i];
            if (edge.y < 13.5) continue;
            w.spot(edge + (w.foreRoot - edge).normalized() * 0.7, 0.22, Colour::hex(0xe8e6dc), w.foreMask);
        }
        w.spot({0.6, 9.6}, 0.85, Colour::hex(0x232326), w.foreMask, 1.5);
        w.spot({-1.3, 7.2}, 0.7, Colour::hex(0x2a2a2e), w.foreMask, 1.5);
        w.spot({-0.6, 9.2}, 0.55, Colour::hex(0x3a3a40), w.hindMask, 2);
    };
    s.bodyDark = Colour::hex(0x2a2a2c);
    s.bodyLight = Colour::hex(0xe6e4dc);
    s.bodyHair = Colour::hex(0xb8b6ac);
    s.antennaClub = Colour::hex(0xe0dccc);
    s.wingMaterial = wingMaterial(0.12, 12);
    s.bodyStripes = 0;
    s.thoraxDots = false;
    return s;
}

}  // namespace

ButterflyKind butterflyKind(int n) {
    switch (n) {
    case 1: return orangeVeined();
    case 2: return blueIridescent();
    case 3: return yellowSwallowtail();
    case 4: return redEyespots();
    default: return whiteBlackTips();
    }
}

}  // namespace artgen
