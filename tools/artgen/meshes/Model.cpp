#include "meshes/Model.h"

#include "formats/ModelFormat.h"

#include <cstring>

namespace artgen {

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
               a.alphaTest == b.alphaTest && a.transparent == b.transparent && a.hints == b.hints;
    };
    for (ModelPart& p : parts)
        if (p.texture == texture && same(p.material, m)) return p;
    return add(texture, m);
}

void Model::transform(const Affine& a) {
    for (ModelPart& p : parts) p.transform(a);
}

std::vector<std::uint8_t> Model::encode() const {
    std::vector<PartContents> contents;
    contents.reserve(parts.size());
    for (const ModelPart& p : parts) {
        PartContents c;
        c.textureName = p.texture;
        RenderBlock& r = c.render;
        r.alphaTest = p.material.alphaTest;
        r.transparent = p.material.transparent;
        r.hints = p.material.hints;
        std::memcpy(r.ambient, p.material.ambient, sizeof r.ambient);
        std::memcpy(r.diffuse, p.material.diffuse, sizeof r.diffuse);
        std::memcpy(r.specular, p.material.specular, sizeof r.specular);
        r.shininess = p.material.shininess;
        for (const Vertex& v : p.vertices) {
            c.positions.insert(c.positions.end(), {v.position.x, v.position.y, v.position.z});
            c.normals.insert(c.normals.end(), {v.normal.x, v.normal.y, v.normal.z});
            c.texCoords.insert(c.texCoords.end(), {v.uv.x, v.uv.y});
        }
        contents.push_back(std::move(c));
    }
    return writeModel(contents);
}

}  // namespace artgen
