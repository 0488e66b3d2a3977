// Colours with straight (not premultiplied) alpha, components in [0, 1].
#pragma once

#include <cstdint>

namespace artgen {

struct Colour {
    float r = 0, g = 0, b = 0, a = 1;
    Colour() = default;
    Colour(double r, double g, double b, double a = 1)
        : r(static_cast<float>(r)), g(static_cast<float>(g)), b(static_cast<float>(b)), a(static_cast<float>(a)) {}
    // From 0xRRGGBB.
    static Colour hex(std::uint32_t rgb, double a = 1) {
        return Colour(((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0, a);
    }
    Colour withAlpha(double alpha) const { return Colour(r, g, b, alpha); }
    Colour scaled(double k) const { return Colour(r * k, g * k, b * k, a); }
};

inline Colour mix(const Colour& x, const Colour& y, double t) {
    return Colour(x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t);
}

}  // namespace artgen
