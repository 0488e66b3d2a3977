// Builds model entries byte by byte, for tests that need small models.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace testsupport {

struct PartBlueprint {
    std::string textureName;   // stored with a terminator inside L bytes
    std::int32_t nameLength = -1;  // -1: name size + 1
    bool alphaTest = false;
    bool transparent = false;
    unsigned char hints = 0;  // renderHint bits
    float ambient[4] = {1, 1, 1, 1};
    float diffuse[4] = {1, 1, 1, 1};
    float specular[4] = {0, 0, 0, 1};
    float shininess = 0;
    // Triangles: 9 position doubles each; normals (0,0,1), texcoords 0.
    std::vector<double> positions;
};

inline void putInt(std::vector<unsigned char>& out, std::int32_t v) {
    std::uint32_t u;
    std::memcpy(&u, &v, 4);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(u >> (8 * i)));
}

inline void putFloat(std::vector<unsigned char>& out, float f) {
    std::int32_t v;
    std::memcpy(&v, &f, 4);
    putInt(out, v);
}

inline void putDouble(std::vector<unsigned char>& out, double d) {
    unsigned char b[8];
    std::memcpy(b, &d, 8);
    out.insert(out.end(), b, b + 8);
}

inline std::vector<unsigned char> partRecord(const PartBlueprint& p) {
    std::vector<unsigned char> out;
    const std::int32_t L = p.nameLength >= 0 ? p.nameLength : static_cast<std::int32_t>(p.textureName.size() + 1);
    putInt(out, L);
    for (std::int32_t i = 0; i < L; ++i)
        out.push_back(i < static_cast<std::int32_t>(p.textureName.size()) ? static_cast<unsigned char>(p.textureName[i]) : 0);
    out.insert(out.end(), 80, 0xEE);  // reserved block, never read
    out.push_back(p.alphaTest ? 1 : 0);
    out.push_back(p.transparent ? 1 : 0);
    out.push_back(p.hints);
    out.push_back(0);
    for (float f : p.ambient) putFloat(out, f);
    for (float f : p.diffuse) putFloat(out, f);
    for (float f : p.specular) putFloat(out, f);
    putFloat(out, p.shininess);
    putInt(out, 0);
    const std::int32_t T = static_cast<std::int32_t>(p.positions.size() / 9);
    putInt(out, T);
    out.push_back(0xAB);  // reserved byte
    for (std::int32_t i = 0; i < 9 * T; ++i) putDouble(out, p.positions[static_cast<size_t>(i)]);
    for (std::int32_t i = 0; i < 3 * T; ++i) {
        putDouble(out, 0);
        putDouble(out, 0);
        putDouble(out, 1);
    }
    for (std::int32_t i = 0; i < 6 * T; ++i) putDouble(out, 0.5);
    return out;
}

// A model entry: marker byte (and a skipped field after 255), count, parts.
inline std::vector<unsigned char> modelEntry(const std::vector<PartBlueprint>& parts, unsigned char marker = 0) {
    std::vector<unsigned char> out;
    out.push_back(marker);
    if (marker == 255) putInt(out, 0x12345678);
    putInt(out, static_cast<std::int32_t>(parts.size()));
    for (const PartBlueprint& p : parts) {
        std::vector<unsigned char> rec = partRecord(p);
        out.insert(out.end(), rec.begin(), rec.end());
    }
    return out;
}

// A square of side 2*h centred on (cx, cy) at depth z, as two triangles
// wound counter-clockwise seen from +z.
inline std::vector<double> square(double cx, double cy, double z, double h) {
    return {cx - h, cy - h, z, cx + h, cy - h, z, cx + h, cy + h, z,
            cx - h, cy - h, z, cx + h, cy + h, z, cx - h, cy + h, z};
}

}  // namespace testsupport
