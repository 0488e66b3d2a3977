// utils.pak: the frames-per-second label and its digits, small overlay
// text that must read on the sky as well as on the meadow: light letters
// with a dark soft outline.
#include "content/OverlayLayout.h"
#include "meshes/Flat.h"
#include "packs/Artwork.h"
#include "painting/Canvas.h"

#include <string>

namespace artgen {

namespace {

Material blended() {
    Material m = Material::unlit();
    m.withTransparency();
    return m;
}

// Light text with a dark halo, painted finer and reduced.
Image paintLabel(const Font& font, const std::string& text, const FlatFrame& f, double size, const Colour& colour) {
    const int ss = 4;
    const FlatFrame F{f.x0, f.y0, f.x1, f.y1, f.width * ss, f.height * ss};
    const double k = F.pxPerUnit();
    Canvas c(F.width, F.height);
    c.fill(colour.withAlpha(0));
    Mask glyphs(F.width, F.height);
    // Centred on the quad's middle across, on y = 0 upright.
    const Vec2 centre = F.px({(f.x0 + f.x1) / 2, 0});
    glyphs.fill(font.text(text, size * k, font.centredOrigin(text, size * k, centre)));
    Mask halo = glyphs;
    halo.blur(0.22 * k);
    halo.scale(2.2f);
    c.paint(halo, Colour(0.02, 0.04, 0.02, 0.75));
    c.paint(glyphs, colour);
    return c.downsampled(ss).toImage();
}

}  // namespace

void addFrameCounter(PackContents& pack, const Fonts& fonts) {
    // Each digit: as wide as the distance between places, 2.8 units high,
    // at most 1.3 wide inked.
    const double half = (overlayLayout::counterTensX - overlayLayout::counterHundredsX) / 2;
    const FlatFrame digit{-half, -1.4, half, 1.4, 32, 64};
    for (int d = 0; d <= 9; ++d) {
        const std::string name = std::to_string(d);
        const Image picture = paintLabel(fonts.sansBold, name, digit, 2.05, Colour::hex(0xfbfff0));
        pack.addImage("fps" + name + ".png", picture);
        Model m;
        digit.addQuadAround(m.add("fps" + name + ".png", blended()), picture);
        pack.addModel(name, m);
    }
    // The label ends a little before the hundreds digit's place (0.5).
    const FlatFrame label{-4.4, -1.1, -0.4, 1.1, 128, 64};
    const Image picture = paintLabel(fonts.sansBold, "fps", label, 1.85, Colour::hex(0xffe9a8));
    pack.addImage("fps.png", picture);
    Model m;
    label.addQuadAround(m.add("fps.png", blended()), picture);
    pack.addModel("fps", m);
}

}  // namespace artgen
