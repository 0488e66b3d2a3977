#include "painting/Font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace artgen {

namespace {

// Outlines are read at this many pixels per em and scaled from there.
constexpr double unitsPerEm = 1024.0;

std::vector<std::uint32_t> decodeUtf8(const std::string& s) {
    std::vector<std::uint32_t> out;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::uint32_t cp = c;
        int extra = 0;
        if (c >= 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else if (c >= 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if (c >= 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        }
        ++i;
        for (int k = 0; k < extra && i < s.size(); ++k, ++i) cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
        out.push_back(cp);
    }
    return out;
}

struct Decomposer {
    Path* path;
    double scale;
    Vec2 origin;
    Vec2 map(const FT_Vector* v) const {
        return {origin.x + v->x / 64.0 * scale, origin.y - v->y / 64.0 * scale};
    }
};

int moveTo(const FT_Vector* to, void* user) {
    auto* d = static_cast<Decomposer*>(user);
    d->path->moveTo(d->map(to));
    return 0;
}
int lineTo(const FT_Vector* to, void* user) {
    auto* d = static_cast<Decomposer*>(user);
    d->path->lineTo(d->map(to));
    return 0;
}
int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* d = static_cast<Decomposer*>(user);
    d->path->quadTo(d->map(control), d->map(to));
    return 0;
}
int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* d = static_cast<Decomposer*>(user);
    d->path->cubicTo(d->map(c1), d->map(c2), d->map(to));
    return 0;
}

}  // namespace

struct Font::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

std::string dejaVuPath(const std::string& file) { return "/usr/share/fonts/truetype/dejavu/" + file; }

Font::Font() : impl(new Impl) {}

Font::~Font() {
    close();
    delete impl;
}

void Font::close() {
    if (impl->face) FT_Done_Face(impl->face);
    if (impl->library) FT_Done_FreeType(impl->library);
    impl->face = nullptr;
    impl->library = nullptr;
}

Result<void> Font::open(const std::string& path) {
    close();
    if (FT_Init_FreeType(&impl->library) != 0 || FT_New_Face(impl->library, path.c_str(), 0, &impl->face) != 0 ||
        FT_Set_Char_Size(impl->face, 0, static_cast<FT_F26Dot6>(unitsPerEm * 64), 72, 72) != 0)
        return failure("cannot load the font " + path);
    return success();
}

Path Font::text(const std::string& utf8, double size, Vec2 origin, double tracking) const {
    Path path;
    const double scale = size / unitsPerEm;
    FT_Outline_Funcs funcs = {moveTo, lineTo, conicTo, cubicTo, 0, 0};
    FT_UInt previous = 0;
    double penX = origin.x;
    for (std::uint32_t cp : decodeUtf8(utf8)) {
        const FT_UInt glyph = FT_Get_Char_Index(impl->face, cp);
        if (previous && glyph && FT_HAS_KERNING(impl->face)) {
            FT_Vector kern;
            if (FT_Get_Kerning(impl->face, previous, glyph, FT_KERNING_UNSCALED, &kern) == 0)
                penX += kern.x * (unitsPerEm / impl->face->units_per_EM) * scale;
        }
        if (FT_Load_Glyph(impl->face, glyph, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) continue;
        Path glyphPath;
        Decomposer d{&glyphPath, scale, {penX, origin.y}};
        FT_Outline_Decompose(&impl->face->glyph->outline, &funcs, &d);
        path.append(glyphPath);
        penX += impl->face->glyph->advance.x / 64.0 * scale + tracking;
        previous = glyph;
    }
    return path;
}

TextMetrics Font::measure(const std::string& utf8, double size, double tracking) const {
    const Path p = text(utf8, size, {0, 0}, tracking);
    TextMetrics m;
    bool first = true;
    for (const auto& c : p.contours)
        for (const Vec2& v : c) {
            if (first) {
                m.inkLeft = m.inkRight = v.x;
                m.inkTop = m.inkBottom = v.y;
                first = false;
            }
            m.inkLeft = std::min(m.inkLeft, v.x);
            m.inkRight = std::max(m.inkRight, v.x);
            m.inkTop = std::min(m.inkTop, v.y);
            m.inkBottom = std::max(m.inkBottom, v.y);
        }
    // The advance: the pen position after the last glyph.
    const double scale = size / unitsPerEm;
    double pen = 0;
    FT_UInt previous = 0;
    for (std::uint32_t cp : decodeUtf8(utf8)) {
        const FT_UInt glyph = FT_Get_Char_Index(impl->face, cp);
        if (previous && glyph && FT_HAS_KERNING(impl->face)) {
            FT_Vector kern;
            if (FT_Get_Kerning(impl->face, previous, glyph, FT_KERNING_UNSCALED, &kern) == 0)
                pen += kern.x * (unitsPerEm / impl->face->units_per_EM) * scale;
        }
        if (FT_Load_Glyph(impl->face, glyph, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) continue;
        pen += impl->face->glyph->advance.x / 64.0 * scale + tracking;
        previous = glyph;
    }
    m.advance = pen;
    return m;
}

Vec2 Font::centredOrigin(const std::string& utf8, double size, Vec2 centre, double tracking) const {
    const TextMetrics m = measure(utf8, size, tracking);
    return {centre.x - (m.inkLeft + m.inkRight) / 2, centre.y - (m.inkTop + m.inkBottom) / 2};
}

}  // namespace artgen
