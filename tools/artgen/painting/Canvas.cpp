#include "painting/Canvas.h"

#include <algorithm>
#include <cmath>

namespace artgen {

Canvas::Canvas(int width, int height) : w(width), h(height), px(static_cast<std::size_t>(width) * height, Px{0, 0, 0, 0}) {}

void Canvas::fill(const Colour& c) {
    for (Px& p : px) p = Px{c.r * c.a, c.g * c.a, c.b * c.a, c.a};
}

void Canvas::shade(const std::function<Colour(double, double)>& f) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Colour c = f(x + 0.5, y + 0.5);
            px[static_cast<std::size_t>(y) * w + x] = Px{c.r * c.a, c.g * c.a, c.b * c.a, c.a};
        }
}

void Canvas::blend(std::size_t i, const Colour& c, float coverage) {
    const float a = std::clamp(c.a * coverage, 0.0f, 1.0f);
    if (a <= 0) return;
    Px& d = px[i];
    const float k = 1 - a;
    d.r = c.r * a + d.r * k;
    d.g = c.g * a + d.g * k;
    d.b = c.b * a + d.b * k;
    d.a = a + d.a * k;
}

template <typename F>
void Canvas::forMask(const Mask& mask, F f) {
    const int x0 = std::max(0, mask.originX()), y0 = std::max(0, mask.originY());
    const int x1 = std::min(w, mask.originX() + mask.width()), y1 = std::min(h, mask.originY() + mask.height());
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const float m = mask.at(x - mask.originX(), y - mask.originY());
            if (m > 0) f(x, y, m);
        }
}

void Canvas::paint(const Mask& mask, const Colour& c) {
    forMask(mask, [&](int x, int y, float m) { blend(static_cast<std::size_t>(y) * w + x, c, m); });
}

void Canvas::paint(const Mask& mask, const std::function<Colour(double, double)>& f) {
    forMask(mask, [&](int x, int y, float m) { blend(static_cast<std::size_t>(y) * w + x, f(x + 0.5, y + 0.5), m); });
}

void Canvas::over(const std::function<Colour(double, double)>& f) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) blend(static_cast<std::size_t>(y) * w + x, f(x + 0.5, y + 0.5), 1.0f);
}

void Canvas::darken(const Mask& mask, double k) {
    forMask(mask, [&](int x, int y, float m) {
        Px& d = px[static_cast<std::size_t>(y) * w + x];
        const float f = static_cast<float>(1 - m * (1 - k));
        d.r *= f;
        d.g *= f;
        d.b *= f;
    });
}

void Canvas::clip(const Mask& mask) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Px& d = px[static_cast<std::size_t>(y) * w + x];
            const int mx = x - mask.originX(), my = y - mask.originY();
            const float m = (mx >= 0 && my >= 0 && mx < mask.width() && my < mask.height()) ? mask.at(mx, my) : 0.0f;
            d.r *= m;
            d.g *= m;
            d.b *= m;
            d.a *= m;
        }
}

void Canvas::setPixel(int x, int y, const Colour& c) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    const float a = std::clamp(c.a, 0.0f, 1.0f);
    px[static_cast<std::size_t>(y) * w + x] = Px{c.r * a, c.g * a, c.b * a, a};
}

Colour Canvas::get(int x, int y) const {
    const Px& p = px[static_cast<std::size_t>(y) * w + x];
    if (p.a <= 0) return Colour(0, 0, 0, 0);
    return Colour(p.r / p.a, p.g / p.a, p.b / p.a, p.a);
}

Colour Canvas::sample(double x, double y) const {
    x -= 0.5;
    y -= 0.5;
    const double fx = std::floor(x), fy = std::floor(y);
    const int x0 = std::clamp(static_cast<int>(fx), 0, w - 1), x1 = std::clamp(static_cast<int>(fx) + 1, 0, w - 1);
    const int y0 = std::clamp(static_cast<int>(fy), 0, h - 1), y1 = std::clamp(static_cast<int>(fy) + 1, 0, h - 1);
    const float u = static_cast<float>(x - fx), t = static_cast<float>(y - fy);
    auto at = [&](int xx, int yy) { return px[static_cast<std::size_t>(yy) * w + xx]; };
    const Px a = at(x0, y0), b = at(x1, y0), c = at(x0, y1), d = at(x1, y1);
    Px r;
    r.r = (a.r * (1 - u) + b.r * u) * (1 - t) + (c.r * (1 - u) + d.r * u) * t;
    r.g = (a.g * (1 - u) + b.g * u) * (1 - t) + (c.g * (1 - u) + d.g * u) * t;
    r.b = (a.b * (1 - u) + b.b * u) * (1 - t) + (c.b * (1 - u) + d.b * u) * t;
    r.a = (a.a * (1 - u) + b.a * u) * (1 - t) + (c.a * (1 - u) + d.a * u) * t;
    if (r.a <= 0) return Colour(0, 0, 0, 0);
    return Colour(r.r / r.a, r.g / r.a, r.b / r.a, r.a);
}

Canvas Canvas::downsampled(int factor) const {
    Canvas out(w / factor, h / factor);
    const float k = 1.0f / static_cast<float>(factor * factor);
    for (int y = 0; y < out.h; ++y)
        for (int x = 0; x < out.w; ++x) {
            Px sum{0, 0, 0, 0};
            for (int j = 0; j < factor; ++j)
                for (int i = 0; i < factor; ++i) {
                    const Px& p = px[static_cast<std::size_t>(y * factor + j) * w + x * factor + i];
                    sum.r += p.r;
                    sum.g += p.g;
                    sum.b += p.b;
                    sum.a += p.a;
                }
            out.px[static_cast<std::size_t>(y) * out.w + x] = Px{sum.r * k, sum.g * k, sum.b * k, sum.a * k};
        }
    return out;
}

Canvas Canvas::rows(int first, int count) const {
    Canvas out(w, count);
    const auto from = px.begin() + static_cast<std::ptrdiff_t>(first) * w;
    std::copy(from, from + static_cast<std::ptrdiff_t>(count) * w, out.px.begin());
    return out;
}

Image Canvas::toImage() const {
    Image img(w, h);
    // Straight colour where there is any alpha; the rest is filled in below.
    std::vector<float> colour(static_cast<std::size_t>(w) * h * 3, 0.0f);
    std::vector<char> known(static_cast<std::size_t>(w) * h, 0);
    for (std::size_t i = 0; i < px.size(); ++i) {
        const Px& p = px[i];
        if (p.a > 0.5f / 255.0f) {
            colour[i * 3] = p.r / p.a;
            colour[i * 3 + 1] = p.g / p.a;
            colour[i * 3 + 2] = p.b / p.a;
            known[i] = 1;
        }
    }
    // Grow the known colours outwards a few pixels at a time.
    for (int pass = 0; pass < 16; ++pass) {
        std::vector<char> grown = known;
        bool changed = false;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * w + x;
                if (known[i]) continue;
                float sum[3] = {0, 0, 0};
                int n = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int xx = x + dx, yy = y + dy;
                        if (xx < 0 || yy < 0 || xx >= w || yy >= h) continue;
                        const std::size_t j = static_cast<std::size_t>(yy) * w + xx;
                        if (!known[j]) continue;
                        for (int c = 0; c < 3; ++c) sum[c] += colour[j * 3 + c];
                        ++n;
                    }
                if (n == 0) continue;
                for (int c = 0; c < 3; ++c) colour[i * 3 + c] = sum[c] / n;
                grown[i] = 1;
                changed = true;
            }
        known.swap(grown);
        if (!changed) break;
    }
    auto to8 = [](float v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
    for (std::size_t i = 0; i < px.size(); ++i) {
        std::uint8_t* d = &img.rgba[i * 4];
        d[0] = to8(colour[i * 3]);
        d[1] = to8(colour[i * 3 + 1]);
        d[2] = to8(colour[i * 3 + 2]);
        d[3] = to8(px[i].a);
    }
    return img;
}

}  // namespace artgen

namespace artgen {

void Canvas::stroke(const std::vector<Vec2>& points, const std::vector<double>& radii, const Colour& c) {
    if (points.empty()) return;
    double x0 = 1e30, y0 = 1e30, x1 = -1e30, y1 = -1e30, r = 0;
    for (const Vec2& p : points) {
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
    for (double v : radii) r = std::max(r, v);
    Mask m = Mask::around(x0 - r - 1, y0 - r - 1, x1 + r + 1, y1 + r + 1, w, h);
    m.stroke(points, radii);
    paint(m, c);
}

void Canvas::dot(Vec2 centre, double radius, const Colour& c, double softness) {
    const double e = radius + softness + 1;
    Mask m = Mask::around(centre.x - e, centre.y - e, centre.x + e, centre.y + e, w, h);
    m.softCircle(centre, radius, softness);
    paint(m, c);
}

void Canvas::fillPath(const Path& path, const Colour& c) {
    double x0 = 1e30, y0 = 1e30, x1 = -1e30, y1 = -1e30;
    for (const auto& contour : path.contours)
        for (const Vec2& p : contour) {
            x0 = std::min(x0, p.x);
            y0 = std::min(y0, p.y);
            x1 = std::max(x1, p.x);
            y1 = std::max(y1, p.y);
        }
    if (x0 > x1) return;
    Mask m = Mask::around(x0, y0, x1, y1, w, h);
    m.fill(path);
    paint(m, c);
}

}  // namespace artgen
