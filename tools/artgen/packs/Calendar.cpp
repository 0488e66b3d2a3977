// calendar.pak: two paper pages (English, Sunday first; Russian, Monday
// first), the weekday rows, twelve month names that serve both (English
// above Russian), the day numbers, an empty cell and the fire-lit marker
// of today. The paper is opaque and drawn as the calendar is met; every
// other part is transparent, drawn at the end of the frame in the order its
// nodes are met, so that the page's shadow (which goes round the paper, not
// under it), the marker and the numbers stack as they should.
#include "content/OverlayLayout.h"
#include "meshes/Flat.h"
#include "packs/Artwork.h"
#include "painting/Canvas.h"
#include "painting/Noise.h"

#include <cmath>
#include <string>

namespace artgen {

namespace {

Material overlayBlended() {
    Material m = Material::unlit();
    m.withTransparency();
    return m;
}

// ---- The page ----------------------------------------------------------

using overlayLayout::calendarCellPitch;

// The page model is centred where the calendar puts the page: its cells are
// at x = -24 ... 24 and y = 12 ... -28 here, the weekday row at y = 20 and
// the month name at y = 28. The weekday row's names stand at the columns'
// x too.
constexpr double pageCellX(int column) { return overlayLayout::calendarCellX(column) - overlayLayout::calendarPageX; }
constexpr double pageCellY(int row) { return overlayLayout::calendarCellY(row) - overlayLayout::calendarPageY; }
constexpr double pageLeft = -31.5, pageRight = 31.5, pageBottom = -35.5, pageTop = 34.5;
constexpr double headerBottom = 22.8;
constexpr double cornerRadius = 2.2;

struct PageStyle {
    Colour paper, paperEdge, header, headerLight, weekend, rule, border;
    bool mondayFirst;
    bool ornament;
};

Image paintPage(const PageStyle& st) {
    const FlatFrame f{pageLeft, pageBottom, pageRight, pageTop, 512, 512};
    const int ss = 2;
    const FlatFrame F{f.x0, f.y0, f.x1, f.y1, f.width * ss, f.height * ss};
    const double k = F.pxPerUnit();
    Canvas c(F.width, F.height);
    c.shade([&](double x, double y) {
        const Vec2 p = F.unit({x, y});
        // Paper: fibres and a faint mottling, darker towards the edges.
        const double fibre = fbm(p.x * 1.5, p.y * 0.25, 121, 4) * 0.5 + fbm(p.x * 0.3, p.y * 3.0, 122, 3) * 0.5;
        Colour paper = mix(st.paper, st.paperEdge, 0.25 + 0.25 * fibre);
        const double edge = std::min(std::min(p.x - pageLeft, pageRight - p.x), std::min(p.y - pageBottom, pageTop - p.y));
        paper = mix(st.paperEdge, paper, smoothstep(0.0, 3.0, edge));
        if (p.y > headerBottom) {
            const double t = (p.y - headerBottom) / (pageTop - headerBottom);
            Colour h = mix(st.header, st.headerLight, smoothstep(0.0, 1.0, t) * 0.6);
            h = mix(h, st.header.scaled(0.8), 0.15 * (0.5 + 0.5 * fibre));
            return h;
        }
        return paper;
    });
    // Weekend columns: Sunday (first) or Saturday and Sunday (last two).
    Mask weekend(F.width, F.height);
    auto column = [&](double cx) {
        weekend.fill(Path::roundedRect(F.px({cx - 3.8, 0}).x, F.px({0, headerBottom - 0.8}).y, F.px({cx + 3.8, 0}).x,
                                       F.px({0, pageBottom + 1.8}).y, 1.0 * k));
    };
    if (st.mondayFirst) {
        column(pageCellX(5));
        column(pageCellX(6));
    } else {
        column(pageCellX(0));
    }
    c.paint(weekend, st.weekend);
    // Rules between the weeks and under the weekday row.
    Mask rules(F.width, F.height);
    for (int row = 0; row <= 6; ++row) {
        const double y = pageCellY(row) + calendarCellPitch / 2;
        rules.capsule(F.px({-27.5, y}), 0.04 * k, F.px({27.5, y}), 0.04 * k);
    }
    c.paint(rules, st.rule);
    if (st.ornament) {
        // A folk band under the header: gold diamonds between red rules.
        Mask band(F.width, F.height);
        const double y = headerBottom - 0.9;
        for (double x = -29.5; x <= 29.6; x += 2.0) {
            const std::vector<Vec2> diamond = {{x, y + 0.55}, {x + 0.55, y}, {x, y - 0.55}, {x - 0.55, y}};
            band.fill(Path::polygon(F.px(diamond)));
        }
        c.paint(band, Colour::hex(0xc8962a));
        Mask dots(F.width, F.height);
        for (double x = -28.5; x <= 28.6; x += 2.0) dots.circle(F.px({x, y}), 0.22 * k);
        c.paint(dots, st.header);
        Mask lines(F.width, F.height);
        lines.capsule(F.px({-30, y + 0.95}), 0.06 * k, F.px({30, y + 0.95}), 0.06 * k);
        lines.capsule(F.px({-30, y - 0.95}), 0.06 * k, F.px({30, y - 0.95}), 0.06 * k);
        c.paint(lines, st.header);
    }
    // A thin border inside the edge.
    Mask border(F.width, F.height);
    std::vector<Vec2> loop =
        Path::roundedRect(F.px({pageLeft + 1.0, 0}).x, F.px({0, pageTop - 1.0}).y, F.px({pageRight - 1.0, 0}).x,
                          F.px({0, pageBottom + 1.0}).y, (cornerRadius - 0.6) * k)
            .contours[0];
    loop.push_back(loop.front());
    border.stroke(loop, 0.06 * k);
    c.paint(border, st.border);
    return c.downsampled(ss).toImage();
}

// The shadow picture: the page's rectangle is texels 4 ... 124 of 128,
// blurred into the margin.
constexpr double shadowInset = 4.0 / 120.0;

Image paintShadow() {
    Canvas c(128, 128);
    Mask m(128, 128);
    m.fill(Path::roundedRect(4, 4, 124, 124, 4));
    m.blur(3);
    c.paint(m, Colour(0.05, 0.07, 0.04, 0.45));
    return c.toImage();
}

// The shadow's rectangle less the page's rounded outline, textured as the
// whole rectangle: a trapezoid along each side of the page and a fan into
// each corner, whose inner edges are the outline's own, so that shadow and
// page meet without a gap or an overlap.
void addShadowAround(ModelPart& part, double x0, double y0, double x1, double y1, const std::vector<Vec2>& outline) {
    // Texture s from 0 at x0 to 1 at x1; t from 1 at y0 to 0 at y1.
    auto vertex = [&](Vec2 p) { return Vertex{{p.x, p.y, 0}, {0, 0, 1}, {(p.x - x0) / (x1 - x0), (y1 - p.y) / (y1 - y0)}}; };
    // The outline is Path::roundedRect's: four arcs of equal length, from
    // the bottom-right corner anticlockwise, each starting and ending on
    // the page's straight sides.
    const int arc = static_cast<int>(outline.size() / 4), last = arc - 1;
    const Vec2 page[4] = {{pageRight, pageBottom}, {pageRight, pageTop}, {pageLeft, pageTop}, {pageLeft, pageBottom}};
    const Vec2 outer[4] = {{x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
    for (int c = 0; c < 4; ++c) {
        const int prev = (c + 3) % 4;
        // Along the side from corner prev to corner c.
        const Vertex a = vertex(outer[prev]), b = vertex(outer[c]);
        const Vertex i0 = vertex(page[prev]), i1 = vertex(outline[arc * prev + last]), i2 = vertex(outline[arc * c]),
                     i3 = vertex(page[c]);
        part.triangle(a, b, i2);
        part.triangle(b, i3, i2);
        part.triangle(a, i2, i1);
        part.triangle(a, i1, i0);
        // Between the arc and the page's square corner.
        for (int i = 0; i < last; ++i)
            part.triangle(vertex(page[c]), vertex(outline[arc * c + i + 1]), vertex(outline[arc * c + i]));
    }
}

Model pageModel(const std::string& texture) {
    Model m;
    // The soft shadow, a little down and to the right, around the page but
    // not under it, where the page would only cover it.
    ModelPart& shadow = m.add("shadow.png", overlayBlended());
    const double growX = (pageRight - pageLeft) * shadowInset, growY = (pageTop - pageBottom) * shadowInset;
    const std::vector<Vec2> outline = Path::roundedRect(pageLeft, pageBottom, pageRight, pageTop, cornerRadius).contours[0];
    addShadowAround(shadow, pageLeft - growX + 0.7, pageBottom - growY - 0.9, pageRight + growX + 0.7, pageTop + growY - 0.9,
                    outline);
    // The paper hides what lies under it: blending it would only cost.
    const FlatFrame f{pageLeft, pageBottom, pageRight, pageTop, 512, 512};
    f.addOutline(m.add(texture, Material::unlit()), outline);
    return m;
}

// ---- Lettering ---------------------------------------------------------

const Colour ink = Colour::hex(0x2a2620);
const Colour red = Colour::hex(0xc0302a);

// The weekday row: seven names over the columns.
Image paintWeekdays(const Font& font, const std::vector<std::string>& names, const std::vector<bool>& holiday) {
    const FlatFrame f{-28, -3, 28, 3, 512, 64};
    const int ss = 2;
    const FlatFrame F{f.x0, f.y0, f.x1, f.y1, f.width * ss, f.height * ss};
    Canvas c(F.width, F.height);
    c.fill(ink.withAlpha(0));
    const double size = 3.1 * F.pxPerUnit();
    for (int i = 0; i < 7; ++i) {
        Mask m(F.width, F.height);
        const Vec2 at = F.px({pageCellX(i), 0});
        m.fill(font.text(names[i], size, font.centredOrigin(names[i], size, at)));
        c.paint(m, holiday[i] ? red : ink);
    }
    return c.downsampled(ss).toImage();
}

Image paintMonth(const Fonts& fonts, const std::string& english, const std::string& russian) {
    const FlatFrame f{-30, -6, 30, 6, 512, 128};
    const int ss = 2;
    const FlatFrame F{f.x0, f.y0, f.x1, f.y1, f.width * ss, f.height * ss};
    Canvas c(F.width, F.height);
    c.fill(Colour::hex(0xfdf6e0, 0));
    const double k = F.pxPerUnit();
    Mask shadow(F.width, F.height), text(F.width, F.height);
    const double bigSize = 4.7 * k, smallSize = 3.5 * k;
    const double tracking = 0.25 * k;
    const Vec2 top = fonts.serifBold.centredOrigin(english, bigSize, F.px({0, 2.1}), tracking);
    const Vec2 bottom = fonts.serifItalic.centredOrigin(russian, smallSize, F.px({0, -2.9}));
    text.fill(fonts.serifBold.text(english, bigSize, top, tracking));
    text.fill(fonts.serifItalic.text(russian, smallSize, bottom));
    shadow.fill(fonts.serifBold.text(english, bigSize, top + Vec2{0.12 * k, 0.16 * k}, tracking));
    shadow.fill(fonts.serifItalic.text(russian, smallSize, bottom + Vec2{0.1 * k, 0.12 * k}));
    shadow.blur(0.15 * k);
    c.paint(shadow, Colour(0, 0, 0, 0.45));
    c.paint(text, Colour::hex(0xfdf6e0));
    return c.downsampled(ss).toImage();
}

// All day numbers in one picture: 8 x 4 cells of 64 x 64, cell n - 1 for n.
Image paintNumbers(const Font& font) {
    const int cell = 64, ss = 2;
    Canvas c(8 * cell * ss, 4 * cell * ss);
    c.fill(ink.withAlpha(0));
    const double k = cell * ss / calendarCellPitch;  // pixels per unit
    for (int n = 1; n <= 31; ++n) {
        const int cx = (n - 1) % 8, cy = (n - 1) / 8;
        const Vec2 centre{(cx + 0.5) * cell * ss, (cy + 0.5) * cell * ss};
        const std::string text = std::to_string(n);
        const double size = 4.6 * k;
        // Narrow pairs of digits stay inside the cell (at most 7 units).
        const double tracking = -0.1 * k;
        Mask halo(c.width(), c.height()), m(c.width(), c.height());
        const Vec2 origin = font.centredOrigin(text, size, centre, tracking);
        m.fill(font.text(text, size, origin, tracking));
        // A pale halo keeps the number readable over the marker's flames.
        halo.fill(font.text(text, size, origin, tracking));
        halo.blur(0.35 * k);
        halo.scale(0.9f);
        c.paint(halo, Colour::hex(0xfff8e6).withAlpha(0.55));
        c.paint(m, ink);
    }
    return c.downsampled(ss).toImage();
}

Model numberModel(int n) {
    Model m;
    ModelPart& part = m.add("numbers.png", overlayBlended());
    const double h = calendarCellPitch / 2;
    addRect(part, -h, -h, h, h, 0, {0, 1}, {1, 0});
    const int cx = (n - 1) % 8, cy = (n - 1) / 8;
    // Cell (cx, cy) of the 8 x 4 grid, texel centres at the cell's edges.
    remapUv(part, 0, {(cx * 64 + 0.5) / 512.0, (cy * 64 + 0.5) / 256.0},
            {((cx + 1) * 64 - 0.5) / 512.0, ((cy + 1) * 64 - 0.5) / 256.0});
    return m;
}

// ---- Today's marker ----------------------------------------------------

Image paintMarker() {
    const FlatFrame f{-4.5, -4.5, 4.5, 4.5, 128, 128};
    Canvas c(f.width, f.height);
    const double k = f.pxPerUnit();
    Mask glow(f.width, f.height), tile(f.width, f.height);
    glow.fill(Path::roundedRect(f.px({-3.6, 0}).x, f.px({0, 3.6}).y, f.px({3.6, 0}).x, f.px({0, -3.6}).y, 1.4 * k));
    tile.fill(Path::roundedRect(f.px({-3.4, 0}).x, f.px({0, 3.4}).y, f.px({3.4, 0}).x, f.px({0, -3.4}).y, 1.2 * k));
    glow.blur(0.6 * k);
    c.paint(glow, Colour::hex(0xff7a20, 0.8));
    c.paint(tile, [&](double x, double y) {
        const Vec2 p = f.unit({x, y});
        // Embers below, a golden light in the middle.
        const double r = std::hypot(p.x * 0.9, p.y - 0.6);
        Colour g = mix(Colour::hex(0xfff0b8), Colour::hex(0xffb040), smoothstep(0.5, 3.2, r));
        return mix(g, Colour::hex(0xe04a18), smoothstep(0.0, 3.4, -p.y) * 0.55);
    });
    return c.toImage();
}

Model markerModel() {
    Model m;
    const FlatFrame f{-4.5, -4.5, 4.5, 4.5, 128, 128};
    f.addQuad(m.add("marker.png", overlayBlended()));
    // Flames licking up around today's number: the procedural fire, its
    // rows rising from the bottom of the quad (t = 1) towards the top.
    ModelPart& fire = m.add("f#Fire32x32", overlayBlended());
    addRect(fire, -3.9, -4.3, 3.9, 3.4, 0.01, {0, 1}, {1, 0});
    return m;
}

void addPages(PackContents& pack) {
    PageStyle english{Colour::hex(0xfbf6e8), Colour::hex(0xeadfc4), Colour::hex(0x26497a), Colour::hex(0x3f6aa4),
                      Colour::hex(0xf6dcd4, 0.8), Colour::hex(0xd8cbb0), Colour::hex(0x26497a), false, false};
    PageStyle russian{Colour::hex(0xfdf8ee), Colour::hex(0xeddcc4), Colour::hex(0x8c1c1c), Colour::hex(0xb8322a),
                      Colour::hex(0xf6d8d0, 0.8), Colour::hex(0xdcc8ae), Colour::hex(0x8c1c1c), true, true};
    pack.addImage("shadow.png", paintShadow());
    pack.addImage("page.png", paintPage(english));
    pack.addModel("fon", pageModel("page.png"));
    pack.addImage("page_rus.png", paintPage(russian));
    pack.addModel("fon_rus", pageModel("page_rus.png"));
}

}  // namespace

void addCalendar(PackContents& pack, const Fonts& fonts) {
    addPages(pack);

    const FlatFrame rowFrame{-28, -3, 28, 3, 512, 64};
    const Image days = paintWeekdays(fonts.sansBold, {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"},
                                     {true, false, false, false, false, false, false});
    pack.addImage("days.png", days);
    Model day;
    rowFrame.addQuadAround(day.add("days.png", overlayBlended()), days);
    pack.addModel("day", day);
    const Image daysRus = paintWeekdays(fonts.sansBold, {"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"},
                                        {false, false, false, false, false, true, true});
    pack.addImage("days_rus.png", daysRus);
    Model dayRus;
    rowFrame.addQuadAround(dayRus.add("days_rus.png", overlayBlended()), daysRus);
    pack.addModel("day_rus", dayRus);

    const char* english[12] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
    const char* russian[12] = {"Январь", "Февраль", "Март",     "Апрель",  "Май",    "Июнь",
                               "Июль",   "Август",  "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
    const FlatFrame monthFrame{-30, -6, 30, 6, 512, 128};
    for (int i = 0; i < 12; ++i) {
        const std::string image = "month" + std::to_string(i + 1) + ".png";
        const Image title = paintMonth(fonts, english[i], russian[i]);
        pack.addImage(image, title);
        Model m;
        monthFrame.addQuadAround(m.add(image, overlayBlended()), title);
        pack.addModel("m" + std::to_string(i + 1), m);
    }

    pack.addImage("numbers.png", paintNumbers(fonts.condensedBold));
    for (int n = 1; n <= 31; ++n) pack.addModel(std::to_string(n), numberModel(n));
    // An empty cell draws nothing: a model without parts.
    pack.addModel("null", Model());
    pack.addImage("marker.png", paintMarker());
    pack.addModel("sel", markerModel());
}

}  // namespace artgen
