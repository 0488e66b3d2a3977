#include "painting/Atlas.h"

namespace artgen {

void paintRegion(Canvas& canvas, const AtlasRegion& r, const std::function<Colour(double u, double v)>& f) {
    Canvas& c = canvas;
    for (int j = 0; j < r.h; ++j)
        for (int i = 0; i < r.w; ++i) c.setPixel(r.x + i, r.y + j, f(r.uOf(r.x + i), r.vOf(r.y + j)));
}

}  // namespace artgen
