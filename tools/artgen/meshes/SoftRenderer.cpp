#include "meshes/SoftRenderer.h"

#include <algorithm>
#include <cmath>

namespace artgen {

namespace {

// Bilinear sample with repeat wrapping, as OpenGL's default wrap mode.
void sample(const Image& img, double u, double v, double out[4]) {
    const double x = u * img.width - 0.5, y = v * img.height - 0.5;
    const double fx = std::floor(x), fy = std::floor(y);
    const double tx = x - fx, ty = y - fy;
    auto wrap = [](long i, int n) { return static_cast<int>(((i % n) + n) % n); };
    const int x0 = wrap(static_cast<long>(fx), img.width), x1 = wrap(static_cast<long>(fx) + 1, img.width);
    const int y0 = wrap(static_cast<long>(fy), img.height), y1 = wrap(static_cast<long>(fy) + 1, img.height);
    const std::uint8_t* p00 = img.pixel(x0, y0);
    const std::uint8_t* p10 = img.pixel(x1, y0);
    const std::uint8_t* p01 = img.pixel(x0, y1);
    const std::uint8_t* p11 = img.pixel(x1, y1);
    for (int c = 0; c < 4; ++c) {
        const double a = p00[c] + (p10[c] - p00[c]) * tx, b = p01[c] + (p11[c] - p01[c]) * tx;
        out[c] = (a + (b - a) * ty) / 255.0;
    }
}

}  // namespace

SoftRenderer::SoftRenderer(int width, int height)
    : w(width), h(height), f(1.0 / std::tan(radians(22.5))), aspect(static_cast<double>(width) / height),
      colour(static_cast<std::size_t>(width) * height * 3, 0.0f), depth(static_cast<std::size_t>(width) * height, 1.0f) {}

bool SoftRenderer::shade(const Vertex& v, const Material& m, const Affine& mv, bool lit, ShadedVertex& out) const {
    const Vec3 p = mv.point(v.position);
    const double cw = -p.z;
    if (cw < zNear) return false;
    const double cx = f / aspect * p.x, cy = f * p.y;
    const double cz = (zFar + zNear) / (zNear - zFar) * p.z + 2 * zFar * zNear / (zNear - zFar);
    out.x = (cx / cw * 0.5 + 0.5) * w;
    out.y = (0.5 - cy / cw * 0.5) * h;
    out.z = cz / cw * 0.5 + 0.5;
    out.invW = 1.0 / cw;
    out.u = v.uv.x;
    out.v = v.uv.y;
    if (!lit) {
        out.r = out.g = out.b = out.a = 1;
        out.sr = out.sg = out.sb = 0;
        return true;
    }
    const Vec3 n = mv.normal(v.normal);
    const Vec3 toLight = light - p;
    const double d = toLight.length();
    const Vec3 l = toLight / d;
    const double attenuation = 1.0 / (0.0002 * d * d);
    const double diffuse = std::max(0.0, dot(n, l));
    const Vec3 half = (l + Vec3{0, 0, 1}).normalized();
    const double highlight = diffuse > 0 ? std::pow(std::max(0.0, dot(n, half)), m.shininess) : 0.0;
    double* rgb[3] = {&out.r, &out.g, &out.b};
    double* srgb[3] = {&out.sr, &out.sg, &out.sb};
    for (int c = 0; c < 3; ++c) {
        *rgb[c] = std::min(1.0, 0.2 * m.ambient[c] + attenuation * (0.3 * m.ambient[c] + 0.5 * diffuse * m.diffuse[c]));
        *srgb[c] = std::min(1.0, attenuation * 0.5 * highlight * m.specular[c]);
    }
    out.a = m.diffuse[3];
    return true;
}

void SoftRenderer::draw(const Model& model, const std::map<std::string, Image>& images, const Affine& modelView, bool lit) {
    for (const ModelPart& part : model.parts) {
        const auto found = images.find(part.texture);
        const Image* texture = found == images.end() ? nullptr : &found->second;
        Pending later{{}, texture, part.material.alphaTest};
        for (std::size_t i = 0; i + 2 < part.vertices.size(); i += 3) {
            ShadedVertex s[3];
            bool visible = true;
            for (int k = 0; k < 3; ++k) visible = visible && shade(part.vertices[i + k], part.material, modelView, lit, s[k]);
            if (!visible) continue;
            if (part.material.transparent) {
                later.vertices.insert(later.vertices.end(), s, s + 3);
            } else {
                raster(s[0], s[1], s[2], texture, part.material.alphaTest, false);
            }
        }
        if (!later.vertices.empty()) pending.push_back(std::move(later));
    }
}

void SoftRenderer::flush() {
    for (const Pending& p : pending)
        for (std::size_t i = 0; i + 2 < p.vertices.size(); i += 3)
            raster(p.vertices[i], p.vertices[i + 1], p.vertices[i + 2], p.texture, p.alphaTest, true);
    pending.clear();
}

void SoftRenderer::raster(const ShadedVertex& a, const ShadedVertex& b, const ShadedVertex& c, const Image* texture,
                          bool alphaTest, bool blend) {
    const double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (std::fabs(area) < 1e-12) return;
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min({a.x, b.x, c.x}))));
    const int x1 = std::min(w - 1, static_cast<int>(std::ceil(std::max({a.x, b.x, c.x}))));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min({a.y, b.y, c.y}))));
    const int y1 = std::min(h - 1, static_cast<int>(std::ceil(std::max({a.y, b.y, c.y}))));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            double l0 = ((b.x - px) * (c.y - py) - (b.y - py) * (c.x - px)) / area;
            double l1 = ((c.x - px) * (a.y - py) - (c.y - py) * (a.x - px)) / area;
            double l2 = 1 - l0 - l1;
            if (l0 < 0 || l1 < 0 || l2 < 0) continue;
            const double z = l0 * a.z + l1 * b.z + l2 * c.z;
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            if (z > depth[i] || z < 0) continue;
            // Perspective-correct weights.
            const double q = l0 * a.invW + l1 * b.invW + l2 * c.invW;
            const double k0 = l0 * a.invW / q, k1 = l1 * b.invW / q, k2 = l2 * c.invW / q;
            auto at = [&](double ShadedVertex::*m) { return k0 * (a.*m) + k1 * (b.*m) + k2 * (c.*m); };
            double tex[4] = {1, 1, 1, 1};
            if (texture) sample(*texture, at(&ShadedVertex::u), at(&ShadedVertex::v), tex);
            const double alpha = tex[3] * at(&ShadedVertex::a);
            if (alphaTest && alpha <= 0.9) continue;
            const double rgb[3] = {std::min(1.0, tex[0] * at(&ShadedVertex::r) + at(&ShadedVertex::sr)),
                                   std::min(1.0, tex[1] * at(&ShadedVertex::g) + at(&ShadedVertex::sg)),
                                   std::min(1.0, tex[2] * at(&ShadedVertex::b) + at(&ShadedVertex::sb))};
            float* dst = &colour[i * 3];
            if (blend) {
                for (int ch = 0; ch < 3; ++ch) dst[ch] = static_cast<float>(rgb[ch] * alpha + dst[ch] * (1 - alpha));
            } else {
                for (int ch = 0; ch < 3; ++ch) dst[ch] = static_cast<float>(rgb[ch]);
                depth[i] = static_cast<float>(z);
            }
        }
}

Image SoftRenderer::picture(int factor) const {
    Image img(w / factor, h / factor);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            double sum[3] = {0, 0, 0};
            for (int j = 0; j < factor; ++j)
                for (int i = 0; i < factor; ++i)
                    for (int ch = 0; ch < 3; ++ch)
                        sum[ch] += colour[(static_cast<std::size_t>(y * factor + j) * w + x * factor + i) * 3 + ch];
            std::uint8_t* p = img.pixel(x, y);
            for (int ch = 0; ch < 3; ++ch)
                p[ch] = static_cast<std::uint8_t>(std::lround(std::clamp(sum[ch] / (factor * factor), 0.0, 1.0) * 255));
            p[3] = 255;
        }
    return img;
}

}  // namespace artgen
