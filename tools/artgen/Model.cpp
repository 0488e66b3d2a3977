#include "Model.h"

#include <cstring>

namespace artgen {

namespace {

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void putInt(std::vector<std::uint8_t>& out, std::int32_t v) {
    std::uint32_t u;
    std::memcpy(&u, &v, 4);
    put32(out, u);
}
void putFloat(std::vector<std::uint8_t>& out, float f) {
    std::uint32_t u;
    std::memcpy(&u, &f, 4);
    put32(out, u);
}
void putDouble(std::vector<std::uint8_t>& out, double d) {
    std::uint64_t u;
    std::memcpy(&u, &d, 8);
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

}  // namespace

Material Material::lit(double level, double specular, double shine) { return lit(level, level, specular, shine); }

Material Material::lit(double ambient, double diffuse, double specular, double shine) {
    Material m;
    for (int i = 0; i < 3; ++i) {
        m.ambient[i] = static_cast<float>(ambient);
        m.diffuse[i] = static_cast<float>(diffuse);
        m.specular[i] = static_cast<float>(specular);
    }
    m.shininess = static_cast<float>(shine);
    return m;
}

void ModelPart::triangle(const Vertex& a, const Vertex& b, const Vertex& c) {
    // One without area (a grid's row at a pole or a tip) would draw nothing.
    if (cross(b.position - a.position, c.position - a.position).length() <= 1e-12) return;
    vertices.push_back(a);
    vertices.push_back(b);
    vertices.push_back(c);
}

void ModelPart::quad(const Vertex& a, const Vertex& b, const Vertex& c, const Vertex& d) {
    triangle(a, b, c);
    triangle(a, c, d);
}

void ModelPart::append(const ModelPart& other) {
    vertices.insert(vertices.end(), other.vertices.begin(), other.vertices.end());
}

void ModelPart::transform(const Affine& a) {
    for (Vertex& v : vertices) {
        v.position = a.point(v.position);
        v.normal = a.normal(v.normal);
    }
}

ModelPart& Model::partFor(const std::string& texture, const Material& m) {
    auto same = [](const Material& a, const Material& b) {
        return std::memcmp(a.ambient, b.ambient, sizeof a.ambient) == 0 &&
               std::memcmp(a.diffuse, b.diffuse, sizeof a.diffuse) == 0 &&
               std::memcmp(a.specular, b.specular, sizeof a.specular) == 0 && a.shininess == b.shininess &&
               a.alphaTest == b.alphaTest && a.transparent == b.transparent;
    };
    for (ModelPart& p : parts)
        if (p.texture == texture && same(p.material, m)) return p;
    return add(texture, m);
}

void Model::transform(const Affine& a) {
    for (ModelPart& p : parts) p.transform(a);
}

std::vector<std::uint8_t> Model::encode() const {
    std::vector<std::uint8_t> out;
    out.push_back(0);
    putInt(out, static_cast<std::int32_t>(parts.size()));
    for (const ModelPart& p : parts) {
        // The name with its terminator inside the counted length.
        putInt(out, static_cast<std::int32_t>(p.texture.size() + 1));
        out.insert(out.end(), p.texture.begin(), p.texture.end());
        out.push_back(0);
        out.insert(out.end(), 80, 0);
        out.push_back(p.material.alphaTest ? 1 : 0);
        out.push_back(p.material.transparent ? 1 : 0);
        out.push_back(0);
        out.push_back(0);
        for (float f : p.material.ambient) putFloat(out, f);
        for (float f : p.material.diffuse) putFloat(out, f);
        for (float f : p.material.specular) putFloat(out, f);
        putFloat(out, p.material.shininess);
        putInt(out, 0);
        putInt(out, p.triangleCount());
        out.push_back(0);
        for (const Vertex& v : p.vertices) {
            putDouble(out, v.position.x);
            putDouble(out, v.position.y);
            putDouble(out, v.position.z);
        }
        for (const Vertex& v : p.vertices) {
            putDouble(out, v.normal.x);
            putDouble(out, v.normal.y);
            putDouble(out, v.normal.z);
        }
        for (const Vertex& v : p.vertices) {
            putDouble(out, v.uv.x);
            putDouble(out, v.uv.y);
        }
    }
    return out;
}

}  // namespace artgen
