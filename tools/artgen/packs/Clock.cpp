// clock.pak: the analogue dial and its three hands, and the digital
// display: backlit plates, seven-segment digits, the blinking dot and the
// AM/PM signs. All are overlay models: unlit, so the pictures give the
// colours; transparent parts are drawn at the end of the frame, after
// everything else and in the order they were met.
#include "content/OverlayLayout.h"
#include "meshes/Flat.h"
#include "packs/Artwork.h"
#include "painting/Canvas.h"
#include "painting/Noise.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace artgen {

namespace {

// ---- Analogue ----------------------------------------------------------

constexpr double dialRadius = 8.4;
constexpr double faceRadius = 7.45;  // inside the bezel
// The dial's centre stands this far in from the screen's corner.
static_assert(dialRadius < -overlayLayout::clockAnalogueX && dialRadius < overlayLayout::clockAnalogueY,
              "the dial must stay on the screen");

Image paintDial(const Fonts& fonts) {
    const FlatFrame f{-8.5, -8.5, 8.5, 8.5, 256, 256};
    const int ss = 2;  // painted at twice the size, then reduced
    const FlatFrame F{f.x0, f.y0, f.x1, f.y1, f.width * ss, f.height * ss};
    Canvas c(F.width, F.height);
    const double k = F.pxPerUnit();
    c.shade([&](double x, double y) {
        const Vec2 p = F.unit({x, y});
        const double r = p.length(), a = std::atan2(p.y, p.x);
        if (r > faceRadius) {
            // Polished bezel: light from the upper left, a bevel on each side.
            const double across = (r - faceRadius) / (dialRadius - faceRadius);
            const double bevel = std::sin(pi * clamp01(across));
            const double shine = 0.5 + 0.5 * std::cos(a - 2.3);
            Colour m = mix(Colour::hex(0x70757e), Colour::hex(0xf2f4f8), clamp01(0.25 + 0.6 * shine * bevel + 0.15 * bevel));
            m = mix(m, Colour::hex(0x3a3d44), smoothstep(0.85, 1.0, across) * 0.8);
            m = mix(m, Colour::hex(0x4a4d55), (1 - smoothstep(0.0, 0.12, across)) * 0.7);
            return m;
        }
        // Ivory face, a little darker at the rim, guilloche rings in the middle.
        Colour face = mix(Colour::hex(0xfdfbf4), Colour::hex(0xebe4d2), smoothstep(2.0, faceRadius, r));
        const double rings = 0.5 + 0.5 * std::cos(r * 2 * pi * 3.2);
        face = mix(face, Colour::hex(0xe6dfcc), rings * 0.25 * (1 - smoothstep(2.2, 2.8, r)));
        face = mix(face, Colour::hex(0xd8cfba), smoothstep(faceRadius - 0.25, faceRadius, r) * 0.7);
        return face;
    });
    const Colour ink = Colour::hex(0x1f232b);
    // Minute track and ticks.
    Mask track(F.width, F.height);
    std::vector<Vec2> inner, outer;
    for (int i = 0; i <= 240; ++i) {
        const double a = 2 * pi * i / 240;
        inner.push_back(F.px({6.55 * std::cos(a), 6.55 * std::sin(a)}));
        outer.push_back(F.px({7.05 * std::cos(a), 7.05 * std::sin(a)}));
    }
    track.stroke(inner, 0.025 * k);
    track.stroke(outer, 0.025 * k);
    for (int m = 0; m < 60; ++m) {
        const double a = pi / 2 - 2 * pi * m / 60;
        const Vec2 d{std::cos(a), std::sin(a)};
        if (m % 5 == 0) {
            track.capsule(F.px(d * 6.05), 0.13 * k, F.px(d * 7.05), 0.13 * k);
        } else {
            track.capsule(F.px(d * 6.55), 0.045 * k, F.px(d * 7.05), 0.045 * k);
        }
    }
    c.paint(track, ink);
    // Numerals, upright, at the hours.
    Mask digits(F.width, F.height);
    for (int h = 1; h <= 12; ++h) {
        const double a = pi / 2 - 2 * pi * h / 12;
        const Vec2 at = F.px(Vec2{std::cos(a), std::sin(a)} * 5.0);
        const std::string text = std::to_string(h);
        const double size = 1.5 * k;
        digits.fill(fonts.serif.text(text, size, fonts.serif.centredOrigin(text, size, at)));
    }
    c.paint(digits, ink);
    // The maker's name, small, above the centre.
    Mask name(F.width, F.height);
    const double nameSize = 0.62 * k;
    name.fill(fonts.serifItalic.text("Quessanta", nameSize, fonts.serifItalic.centredOrigin("Quessanta", nameSize, F.px({0, 2.7}))));
    c.paint(name, Colour::hex(0x6a5a40));
    return c.downsampled(ss).toImage();
}

Image paintGlass() {
    Canvas c(64, 64);
    c.shade([](double x, double y) {
        const double u = x / 32 - 1, v = 1 - y / 32;  // -1 .. 1, v up
        // A soft crescent of reflected sky at the top left.
        const double d1 = std::hypot(u + 0.25, v - 0.35), d2 = std::hypot(u + 0.05, v - 0.05);
        const double crescent = smoothstep(0.95, 0.55, d1) * smoothstep(0.55, 0.95, d2);
        return Colour(1, 1, 1, 0.03 + 0.22 * crescent);
    });
    return c.toImage();
}

std::vector<Vec2> circlePoints(Vec2 c, double r, int n) {
    std::vector<Vec2> pts;
    for (int i = 0; i < n; ++i) pts.push_back(c + Vec2{std::cos(2 * pi * i / n), std::sin(2 * pi * i / n)} * r);
    return pts;
}

// Hands picture: steel for hour and minute (lighter on one facet), red for
// the second hand.
Image paintHands() {
    Canvas c(64, 64);
    c.shade([](double x, double y) {
        if (y < 32) {
            const double u = x / 64;
            Colour steel = u < 0.5 ? mix(Colour::hex(0x2a2f3a), Colour::hex(0x4a5262), u * 2)
                                   : mix(Colour::hex(0x141820), Colour::hex(0x262c38), (u - 0.5) * 2);
            return steel;
        }
        return mix(Colour::hex(0xd42a2a), Colour::hex(0xa81620), x / 64);
    });
    return c.toImage();
}

Model handModel(const std::vector<Vec2>& outline, bool red, bool transparent, double hubRadius) {
    Model m;
    Material mat = Material::unlit();
    if (transparent) mat.withTransparency();
    ModelPart& part = m.add("hands.png", mat);
    double w = 0, y0 = 1e9, y1 = -1e9;
    for (const Vec2& p : outline) {
        w = std::max(w, std::fabs(p.x));
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    const double t0 = red ? 0.55 : 0.05, t1 = red ? 0.95 : 0.45;
    auto uv = [=](Vec2 p) { return Vec2{0.5 + 0.5 * p.x / std::max(w, 1e-6) * 0.96, mix(t0, t1, (p.y - y0) / (y1 - y0))}; };
    addPolygon(part, outline, 0, 1, uv);
    if (hubRadius > 0) addPolygon(part, circlePoints({0, 0}, hubRadius, 32), 0.01, 1, uv);
    return m;
}

void addAnalogue(PackContents& pack, const Fonts& fonts) {
    pack.addImage("dial.png", paintDial(fonts));
    pack.addImage("glass.png", paintGlass());
    pack.addImage("hands.png", paintHands());

    Model dial;
    const FlatFrame f{-8.5, -8.5, 8.5, 8.5, 256, 256};
    ModelPart& face = dial.add("dial.png", Material::unlit());
    f.addOutline(face, circlePoints({0, 0}, dialRadius, 144));
    // The glass: drawn at the end of the frame, over the hour and minute
    // hands (which are opaque and drawn at once).
    Material glass = Material::unlit();
    glass.withTransparency();
    ModelPart& pane = dial.add("glass.png", glass);
    addPolygon(pane, circlePoints({0, 0}, faceRadius, 96), 0.02, 1,
               [](Vec2 p) { return Vec2{0.5 + p.x / (2 * faceRadius), 0.5 - p.y / (2 * faceRadius)}; });
    pack.addModel("ciferblat", dial);

    const std::vector<Vec2> hour = Path::smoothClosed({{0, -1.25}, {0.36, -0.95}, {0.4, 0}, {0.56, 1.7}, {0.36, 3.7}, {0, 4.85},
                                                       {-0.36, 3.7}, {-0.56, 1.7}, {-0.4, 0}, {-0.36, -0.95}}, 6)
                                       .contours[0];
    const std::vector<Vec2> minute = Path::smoothClosed({{0, -1.5}, {0.28, -1.2}, {0.32, 0}, {0.36, 2.8}, {0.22, 6.1}, {0, 7.15},
                                                         {-0.22, 6.1}, {-0.36, 2.8}, {-0.32, 0}, {-0.28, -1.2}}, 6)
                                         .contours[0];
    pack.addModel("chas", handModel(hour, false, false, 0.55));
    pack.addModel("min", handModel(minute, false, false, 0));
    // The second hand: a needle with a counterweight, last of all so that it
    // stays on top.
    Model sec = handModel({{0.06, -2.3}, {0.06, 7.45}, {-0.06, 7.45}, {-0.06, -2.3}}, true, true, 0.3);
    addPolygon(sec.parts[0], circlePoints({0, -1.55}, 0.36, 24), 0.005, 1, [](Vec2 p) { return Vec2{0.5 + p.x, 0.75}; });
    pack.addModel("sec", sec);
}

// ---- Digital -------------------------------------------------------------

// Seven segments a..g of a digit standing on y = 0 and centred on x = 0.
constexpr double digitW = 2.7, digitH = 5.4, segT = 0.6, slant = 0.12;  // slant: x per unit of y
constexpr double digitBase = 0.05;
// The italic lean, about the digit's middle so that it stays centred.
double leanX(double y) { return (y - digitBase - digitH / 2) * slant; }

const int segmentsOf[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};  // bits a..g

std::vector<std::vector<Vec2>> segmentOutlines(double yBase) {
    const double x0 = -digitW / 2, x1 = digitW / 2, y0 = yBase, y1 = yBase + digitH, ym = (y0 + y1) / 2;
    const double h = segT / 2, gap = 0.07;
    auto horizontal = [&](double y) {
        const double a = x0 + h + gap, b = x1 - h - gap;
        return std::vector<Vec2>{{a, y}, {a + h, y + h}, {b - h, y + h}, {b, y}, {b - h, y - h}, {a + h, y - h}};
    };
    auto vertical = [&](double x, double ya, double yb) {
        const double a = ya + h + gap, b = yb - h - gap;
        return std::vector<Vec2>{{x, a}, {x + h, a + h}, {x + h, b - h}, {x, b}, {x - h, b - h}, {x - h, a + h}};
    };
    std::vector<std::vector<Vec2>> s = {
        horizontal(y1 - h),            // a: top
        vertical(x1 - h, ym, y1 - 0),  // b: upper right
        vertical(x1 - h, y0, ym),      // c: lower right
        horizontal(y0 + h),            // d: bottom
        vertical(x0 + h, y0, ym),      // e: lower left
        vertical(x0 + h, ym, y1),      // f: upper left
        horizontal(ym),                // g: middle
    };
    for (auto& seg : s)
        for (Vec2& p : seg) p.x += leanX(p.y);
    return s;
}

const Colour segmentCore = Colour::hex(0xeafcff);
const Colour segmentGlow = Colour::hex(0x38c4ff);

// A glowing shape: a wide soft halo, then the bright core.
void paintGlowing(Canvas& c, const Mask& shape, double pxPerUnit) {
    Mask halo = shape;
    halo.blur(0.45 * pxPerUnit);
    halo.scale(0.85f);
    c.paint(halo, segmentGlow);
    Mask inner = shape;
    inner.blur(0.08 * pxPerUnit);
    c.paint(inner, mix(segmentGlow, segmentCore, 0.55));
    c.paint(shape, segmentCore.withAlpha(0.9));
}

// One glyph picture: 64 x 128 for x -1.95 .. 1.95 and y -0.6 .. 7.4.
const FlatFrame glyphFrame{-1.95, -0.6, 1.95, 7.4, 64, 128};

Image paintDigit(int d) {
    const int ss = 4;
    const FlatFrame F{glyphFrame.x0, glyphFrame.y0, glyphFrame.x1, glyphFrame.y1, glyphFrame.width * ss, glyphFrame.height * ss};
    Canvas c(F.width, F.height);
    Mask m(F.width, F.height);
    const auto segs = segmentOutlines(digitBase);
    for (int i = 0; i < 7; ++i)
        if (segmentsOf[d] & (1 << i)) m.fill(Path::polygon(F.px(segs[i])));
    paintGlowing(c, m, F.pxPerUnit());
    return c.downsampled(ss).toImage();
}

Image paintDot() {
    const int ss = 4;
    const FlatFrame F{glyphFrame.x0, glyphFrame.y0, glyphFrame.x1, glyphFrame.y1, glyphFrame.width * ss, glyphFrame.height * ss};
    Canvas c(F.width, F.height);
    Mask m(F.width, F.height);
    for (double y : {1.55, 3.85}) {
        const Vec2 centre{leanX(y), y};
        m.fill(Path::roundedRect(F.px(centre).x - 0.36 * F.pxPerUnit(), F.px(centre).y - 0.36 * F.pxPerUnit(),
                                 F.px(centre).x + 0.36 * F.pxPerUnit(), F.px(centre).y + 0.36 * F.pxPerUnit(),
                                 0.12 * F.pxPerUnit()));
    }
    paintGlowing(c, m, F.pxPerUnit());
    return c.downsampled(ss).toImage();
}

// The AM/PM sign: 128 x 64 for x -2.4 .. 2.4 and y -0.6 .. 1.8 of its slot.
const FlatFrame signFrame{-2.4, -0.6, 2.4, 1.8, 128, 64};

Image paintSign(const Fonts& fonts, const std::string& text) {
    const int ss = 4;
    const FlatFrame F{signFrame.x0, signFrame.y0, signFrame.x1, signFrame.y1, signFrame.width * ss, signFrame.height * ss};
    Canvas c(F.width, F.height);
    Mask m(F.width, F.height);
    const double size = 1.75 * F.pxPerUnit();
    // Letters stand on the slot's baseline, like the digits.
    const TextMetrics tm = fonts.sansBold.measure(text, size, 0.12 * F.pxPerUnit());
    const Vec2 base = F.px({0, 0.08});
    m.fill(fonts.sansBold.text(text, size, {base.x - (tm.inkLeft + tm.inkRight) / 2, base.y}, 0.12 * F.pxPerUnit()));
    paintGlowing(c, m, F.pxPerUnit());
    return c.downsampled(ss).toImage();
}

Model glyphModel(const std::string& texture, const Image& picture, const FlatFrame& f) {
    Model m;
    Material mat = Material::unlit();
    f.addQuadAround(m.add(texture, mat.withTransparency()), picture);
    return m;
}

// The plate behind the digits, from x0 to x1 and y -0.75 to 6.65, with the
// unlit segments showing faintly at every digit slot.
constexpr double plateBottom = -0.75, plateTop = 6.65;

Image paintPlate(const FlatFrame& f, bool withSign) {
    const int ss = 2;
    const FlatFrame F{f.x0, f.y0, f.x1, f.y1, f.width * ss, f.height * ss};
    const double k = F.pxPerUnit();
    Canvas c(F.width, F.height);
    const double frame = 0.34, radius = 1.1;
    c.shade([&](double x, double y) {
        const Vec2 p = F.unit({x, y});
        const double top = (p.y - plateBottom) / (plateTop - plateBottom);
        // Smoked glass, lit from behind: a deep blue that lifts towards the top.
        Colour g = mix(Colour::hex(0x050b14), Colour::hex(0x10243a), smoothstep(0.0, 1.0, top));
        g = mix(g, Colour::hex(0x0b2a44), 0.25 * (0.5 + 0.5 * fbm(p.x * 0.3, p.y * 0.6, 91, 3)));
        // A diagonal sheen across the upper half.
        const double sheen = smoothstep(0.55, 0.75, top - 0.03 * (p.x - f.x0)) * (1 - smoothstep(0.8, 1.0, top));
        g = mix(g, Colour::hex(0x2a4a66), sheen * 0.35);
        return g;
    });
    // Ghosts of the unlit segments.
    Mask ghosts(F.width, F.height);
    for (double x : overlayLayout::clockDigitXs) {
        if (x == overlayLayout::clockSeparatorX) {
            for (double y : {1.55, 3.85})
                ghosts.circle(F.px({x + leanX(y), y}), 0.34 * k);
            continue;
        }
        for (const auto& seg : segmentOutlines(digitBase)) {
            std::vector<Vec2> moved;
            for (const Vec2& p : seg) moved.push_back(F.px(p + Vec2{x, 0}));
            ghosts.fill(Path::polygon(moved));
        }
    }
    c.paint(ghosts, Colour::hex(0x16324a).withAlpha(0.8));
    if (withSign) {
        Mask divider(F.width, F.height);
        divider.capsule(F.px({9.05, 0.3}), 0.035 * k, F.px({9.05, 5.6}), 0.035 * k);
        c.paint(divider, Colour::hex(0x2a4a66));
    }
    // The metal frame with its bevel.
    const double x0 = F.px({f.x0, 0}).x, x1 = F.px({f.x1, 0}).x;
    const double y0 = F.px({0, plateTop}).y, y1 = F.px({0, plateBottom}).y;
    Mask rim(F.width, F.height);
    rim.fill(Path::roundedRect(x0, y0, x1, y1, radius * k));
    Mask glass(F.width, F.height);
    glass.fill(Path::roundedRect(x0 + frame * k, y0 + frame * k, x1 - frame * k, y1 - frame * k, (radius - frame) * k));
    rim.subtract(glass);
    c.paint(rim, [&](double x, double y) {
        const Vec2 p = F.unit({x, y});
        const double light = clamp01(0.5 + 0.35 * (p.y - 3) / 3.7 - 0.02 * p.x);
        return mix(Colour::hex(0x3a3f48), Colour::hex(0xc8ccd4), light);
    });
    Mask edge(F.width, F.height);
    std::vector<Vec2> loop = Path::roundedRect(x0 + frame * k, y0 + frame * k, x1 - frame * k, y1 - frame * k, (radius - frame) * k).contours[0];
    loop.push_back(loop.front());
    edge.stroke(loop, 0.05 * k);
    c.paint(edge, Colour::hex(0x05070a));
    return c.downsampled(ss).toImage();
}

Model plateModel(const std::string& texture, const FlatFrame& f) {
    Model m;
    ModelPart& plate = m.add(texture, Material::unlit());
    f.addOutline(plate, Path::roundedRect(f.x0, plateBottom, f.x1, plateTop, 1.1).contours[0]);
    // The backlight's slow shimmer: the contour lines of a plasma drifting
    // over the glass, drawn blended at the end of the frame, under the digits.
    // The base colour keeps clear of 0 and 255 so that the colours of the
    // plasma's transparent texels, which filtering mixes into the lines'
    // edges, do not wrap round into another hue.
    Material shimmer = Material::unlit();
    shimmer.withTransparency();
    ModelPart& light = m.add("p#Plasma32x32,40,60,90", shimmer);
    const double inset = 0.5;
    // Only the inside of one 16-texel grid cell, so that the grid never shows.
    const Vec2 st0{1.5 / 32, 14.5 / 32}, st1{14.5 / 32, 1.5 / 32};
    addRect(light, f.x0 + inset, plateBottom + inset, f.x1 - inset, plateTop - inset, 0.01, st0, st1);
    return m;
}

void addDigital(PackContents& pack, const Fonts& fonts) {
    auto glyph = [&](const std::string& name, const std::string& texture, const Image& picture, const FlatFrame& f) {
        pack.addImage(texture, picture);
        pack.addModel(name, glyphModel(texture, picture, f));
    };
    for (int d = 0; d <= 9; ++d) glyph(std::to_string(d), "digit" + std::to_string(d) + ".png", paintDigit(d), glyphFrame);
    glyph("dot", "dot.png", paintDot(), glyphFrame);
    glyph("am", "am.png", paintSign(fonts, "AM"), signFrame);
    glyph("pm", "pm.png", paintSign(fonts, "PM"), signFrame);

    // The 24-hour plate spans the five slots; the 12-hour one also the sign.
    const FlatFrame plate24{-9.0, plateBottom, 9.0, plateTop, 512, 256};
    const FlatFrame plate12{-9.0, plateBottom, 14.4, plateTop, 512, 256};
    pack.addImage("plate24.png", paintPlate(plate24, false));
    pack.addModel("podlozka", plateModel("plate24.png", plate24));
    pack.addImage("plate12.png", paintPlate(plate12, true));
    pack.addModel("podlozka_am", plateModel("plate12.png", plate12));
}

}  // namespace

void addClock(PackContents& pack, const Fonts& fonts) {
    addAnalogue(pack, fonts);
    addDigital(pack, fonts);
}

}  // namespace artgen
