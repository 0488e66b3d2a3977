#include "packs/WingArt.h"

#include "geometry/Path.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace artgen {

std::vector<Vec2> WingArt::px(const std::vector<Vec2>& pts) {
    std::vector<Vec2> out;
    for (const Vec2& p : pts) out.push_back(px(p));
    return out;
}

void WingArt::setOutlines(const std::vector<Vec2>& foreControl, const std::vector<Vec2>& hindControl) {
    fore = Path::smoothClosed(foreControl, 10).contours[0];
    hind = Path::smoothClosed(hindControl, 10).contours[0];
    foreMask.fill(Path::polygon(px(fore)));
    hindMask.fill(Path::polygon(px(hind)));
    // The forewing lies over the hindwing: paint the hindwing only where
    // it shows.
    hindMask.subtract(foreMask);
}

void WingArt::fill(const Mask& m, const std::function<Colour(Vec2)>& f) {
    canvas.paint(m, [&](double x, double y) { return f(unit({x, y})); });
}

void WingArt::lines(const std::vector<std::vector<Vec2>>& polylines, double width, const Colour& c, const Mask& clip) {
    Mask m(wingPaint, wingPaint);
    for (const auto& l : polylines) m.stroke(px(l), width * scale() * 0.5);
    m.multiply(clip);
    canvas.paint(m, c);
}

void WingArt::spot(Vec2 centre, double radius, const Colour& c, const Mask& clip, double softness) {
    Mask m(wingPaint, wingPaint);
    m.softCircle(px(centre), radius * scale(), softness * scale() * 0.15 + 1);
    m.multiply(clip);
    canvas.paint(m, c);
}

void WingArt::margin(const std::vector<Vec2>& outline, Vec2 root, double width, double innerFactor, const Colour& c,
                     const Mask& clip, double reach) {
    Mask m(wingPaint, wingPaint);
    for (int y = 0; y < wingPaint; ++y)
        for (int x = 0; x < wingPaint; ++x) {
            if (clip.at(x, y) <= 0) continue;
            const Vec2 p = unit({x + 0.5, y + 0.5});
            double best = 1e9;
            Vec2 nearest;
            for (std::size_t i = 0; i < outline.size(); ++i) {
                const Vec2 a = outline[i], b = outline[(i + 1) % outline.size()];
                const Vec2 ab = b - a;
                const double t = std::clamp(dot(p - a, ab) / std::max(1e-9, dot(ab, ab)), 0.0, 1.0);
                const Vec2 q = a + ab * t;
                const double d = (p - q).length();
                if (d < best) {
                    best = d;
                    nearest = q;
                }
            }
            const double farness = smoothstep(reach * 0.45, reach, (nearest - root).length());
            const double w = width * (innerFactor + (1 - innerFactor) * farness);
            m.at(x, y) = static_cast<float>(clamp01((w - best) * scale() * 0.8 + 0.5));
        }
    m.multiply(clip);
    canvas.paint(m, c);
}

Vec2 WingArt::hit(const std::vector<Vec2>& outline, Vec2 from, double angleDegrees) {
    const Vec2 d{std::cos(radians(angleDegrees)), std::sin(radians(angleDegrees))};
    double best = 0;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const Vec2 a = outline[i], b = outline[(i + 1) % outline.size()];
        const Vec2 e = b - a;
        const double den = d.x * e.y - d.y * e.x;
        if (std::fabs(den) < 1e-12) continue;
        const Vec2 w = a - from;
        const double t = (w.x * e.y - w.y * e.x) / den, s = (w.x * d.y - w.y * d.x) / den;
        if (t > 0 && s >= 0 && s <= 1) best = std::max(best, t);
    }
    return from + d * best;
}

std::vector<std::vector<Vec2>> WingArt::fan(const std::vector<Vec2>& outline, Vec2 root, double a0, double a1, int count,
                                       double bow, double start) const {
    std::vector<std::vector<Vec2>> out;
    for (int i = 0; i < count; ++i) {
        const double a = a0 + (a1 - a0) * (count == 1 ? 0.5 : static_cast<double>(i) / (count - 1));
        const Vec2 end = hit(outline, root, a);
        const Vec2 begin = lerp(root, end, start);
        const Vec2 mid = lerp(begin, end, 0.5) + (end - begin).perp().normalized() * (bow * (end - begin).length());
        out.push_back(smoothOpen({begin, mid, end}, 8));
    }
    return out;
}

void WingArt::scallops(const std::vector<Vec2>& outline, Vec2 root, double minReach, double radius, int every) {
    for (std::size_t i = 0; i < outline.size(); i += static_cast<std::size_t>(every))
        if ((outline[i] - root).length() > minReach) bites.circle(px(outline[i]), radius * scale());
}

Image WingArt::finish() const {
    const Image painted = canvas.toImage();
    Mask keep(wingPaint, wingPaint);
    for (const auto* o : {&fore, &hind}) {
        std::vector<Vec2> loop = px(*o);
        keep.fill(Path::polygon(loop));
        loop.push_back(loop.front());
        keep.stroke(loop, 6.0);
    }
    Canvas out(wingPaint, wingPaint);
    for (int y = 0; y < wingPaint; ++y)
        for (int x = 0; x < wingPaint; ++x) {
            const std::uint8_t* p = painted.pixel(x, y);
            const double alpha = keep.at(x, y) * (1.0 - bites.at(x, y));
            out.setPixel(x, y, Colour(p[0] / 255.0, p[1] / 255.0, p[2] / 255.0, alpha));
        }
    return out.downsampled(wingPaint / wingTexture).toImage();
}

}  // namespace artgen
