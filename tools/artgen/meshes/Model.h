// Models as the screensaver reads them: parts of triangles with normals and
// texture coordinates, each with a texture name, a material and two flags;
// and their encoding as a pack entry.
#pragma once

#include "geometry/Affine.h"
#include "geometry/Vec.h"

#include <cstdint>
#include <string>
#include <vector>

namespace artgen {

struct Material {
    float ambient[4] = {1, 1, 1, 1};
    float diffuse[4] = {1, 1, 1, 1};
    float specular[4] = {0, 0, 0, 1};
    float shininess = 0;
    bool alphaTest = false;
    bool transparent = false;
    std::uint8_t hints = 0;  // renderHint bits (formats/ModelFormat.h)

    // White everywhere: what an unlit overlay wants (the current colour of
    // an unlit draw stays OpenGL's default white either way).
    static Material unlit() { return Material(); }
    // A lit surface: ambient and diffuse from one level, a grey specular.
    static Material lit(double level, double specular, double shininess);
    // The same with ambient and diffuse apart.
    static Material lit(double ambient, double diffuse, double specular, double shininess);
    Material& withAlphaTest() {
        alphaTest = true;
        return *this;
    }
    Material& withTransparency() {
        transparent = true;
        return *this;
    }
    Material& withHints(std::uint8_t bits) {
        hints |= bits;
        return *this;
    }
};

struct Vertex {
    Vec3 position;
    Vec3 normal;
    Vec2 uv;  // (s, t); t = 0 is the first row of the image
};

struct ModelPart {
    std::string texture;
    Material material;
    std::vector<Vertex> vertices;  // three per triangle

    ModelPart() = default;
    ModelPart(std::string textureName, const Material& m) : texture(std::move(textureName)), material(m) {}

    // Leaves out a triangle without area.
    void triangle(const Vertex& a, const Vertex& b, const Vertex& c);
    // Two triangles a-b-c and a-c-d.
    void quad(const Vertex& a, const Vertex& b, const Vertex& c, const Vertex& d);
    // A grid of (cols + 1) x (rows + 1) vertices from f(u, v), u and v in [0, 1].
    template <typename F>
    void grid(int cols, int rows, F f) {
        for (int j = 0; j < rows; ++j)
            for (int i = 0; i < cols; ++i) {
                const double u0 = static_cast<double>(i) / cols, u1 = static_cast<double>(i + 1) / cols;
                const double v0 = static_cast<double>(j) / rows, v1 = static_cast<double>(j + 1) / rows;
                quad(f(u0, v0), f(u1, v0), f(u1, v1), f(u0, v1));
            }
    }
    void append(const ModelPart& other);
    void transform(const Affine& a);
    int triangleCount() const { return static_cast<int>(vertices.size() / 3); }
};

struct Model {
    std::vector<ModelPart> parts;

    ModelPart& add(const std::string& texture, const Material& m) {
        parts.emplace_back(texture, m);
        return parts.back();
    }
    // The part with that texture and the same flags, made if missing.
    ModelPart& partFor(const std::string& texture, const Material& m);
    void transform(const Affine& a);
    // Bytes of a model entry: marker byte 0, part count, part records.
    std::vector<std::uint8_t> encode() const;
};

}  // namespace artgen
