#include "formats/ModelFormat.h"

#include "formats/LittleEndian.h"

#include <algorithm>
#include <cstring>

std::size_t partRecordSize(const unsigned char* p, std::size_t avail) {
    if (avail < 4) return 0;
    const std::int32_t nameLength = readInt32Le(p);
    if (nameLength < 0) return 0;
    const std::size_t L = static_cast<std::size_t>(nameLength);
    if (L > avail || avail - L < 149) return 0;
    const std::int32_t triangles = readInt32Le(p + 144 + L);
    if (triangles < 0) return 0;
    const std::size_t T = static_cast<std::size_t>(triangles);
    const std::size_t rest = avail - 149 - L;
    if (T > rest / 192) return 0;
    return 149 + L + 192 * T;
}

bool readPartRecord(const unsigned char*& cursor, const unsigned char* end, PartRecord* record) {
    if (!cursor || !end || end < cursor) return false;
    const std::size_t size = partRecordSize(cursor, static_cast<std::size_t>(end - cursor));
    if (size == 0) return false;
    const unsigned char* p = cursor;
    const std::size_t L = static_cast<std::size_t>(readInt32Le(p));
    p += 4;
    // The name ends at its terminator, or at L when it has none.
    const void* zero = std::memchr(p, 0, L);
    record->textureName.assign(reinterpret_cast<const char*>(p),
                               zero ? static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - p) : L);
    p += L + 80;
    record->material = p;
    p += 60;
    record->triangleCount = readInt32Le(p);
    p += 5;
    const std::size_t T = static_cast<std::size_t>(record->triangleCount);
    record->positions = p;
    p += 72 * T;
    record->normals = p;
    p += 72 * T;
    record->texCoords = p;
    p += 48 * T;
    cursor = p;
    return true;
}

bool readModelHeader(const unsigned char*& cursor, const unsigned char* end, std::int32_t* partCount) {
    if (!cursor || !end || end <= cursor) return false;
    const unsigned char* p = cursor;
    const unsigned char marker = *p++;
    if (marker == 255) {
        if (end - p < 4) return false;
        p += 4;
    }
    if (end - p < 4) return false;
    *partCount = readInt32Le(p);
    cursor = p + 4;
    return true;
}

std::vector<unsigned char> markCutFrom(const std::vector<unsigned char>& model, std::uint32_t sourceCrc) {
    if (model.empty()) return model;
    std::vector<unsigned char> out{255};
    put32(out, sourceCrc);
    const std::size_t header = model[0] == 255 ? std::min<std::size_t>(5, model.size()) : 1;
    out.insert(out.end(), model.begin() + static_cast<std::ptrdiff_t>(header), model.end());
    return out;
}

bool cutFromCrc(const unsigned char* bytes, std::size_t size, std::uint32_t* sourceCrc) {
    if (!bytes || size < 5 || bytes[0] != 255) return false;
    *sourceCrc = readUint32Le(bytes + 1);
    return true;
}

RenderBlock readRenderBlock(const unsigned char* block) {
    RenderBlock r;
    r.alphaTest = block[renderBlock::alphaTest] != 0;
    r.transparent = block[renderBlock::transparent] != 0;
    r.hints = block[renderBlock::hints];
    for (int i = 0; i < 4; ++i) {
        r.ambient[i] = readFloatLe(block + renderBlock::ambient + 4 * i);
        r.diffuse[i] = readFloatLe(block + renderBlock::diffuse + 4 * i);
        r.specular[i] = readFloatLe(block + renderBlock::specular + 4 * i);
    }
    r.shininess = readFloatLe(block + renderBlock::shininess);
    return r;
}

std::vector<unsigned char> writeModel(const std::vector<PartContents>& parts) {
    std::vector<unsigned char> out;
    out.push_back(0);
    putInt32(out, static_cast<std::int32_t>(parts.size()));
    for (const PartContents& p : parts) {
        putInt32(out, static_cast<std::int32_t>(p.textureName.size() + 1));
        out.insert(out.end(), p.textureName.begin(), p.textureName.end());
        out.push_back(0);
        out.insert(out.end(), 80, 0);
        const RenderBlock& r = p.render;
        out.push_back(r.alphaTest ? 1 : 0);
        out.push_back(r.transparent ? 1 : 0);
        out.push_back(r.hints);
        out.push_back(0);
        for (float f : r.ambient) putFloat(out, f);
        for (float f : r.diffuse) putFloat(out, f);
        for (float f : r.specular) putFloat(out, f);
        putFloat(out, r.shininess);
        putInt32(out, 0);
        const std::size_t T = std::min({p.positions.size() / 9, p.normals.size() / 9, p.texCoords.size() / 6});
        putInt32(out, static_cast<std::int32_t>(T));
        out.push_back(0);
        for (std::size_t i = 0; i < 9 * T; ++i) putDouble(out, p.positions[i]);
        for (std::size_t i = 0; i < 9 * T; ++i) putDouble(out, p.normals[i]);
        for (std::size_t i = 0; i < 6 * T; ++i) putDouble(out, p.texCoords[i]);
    }
    return out;
}

std::vector<PartContents> readModel(const unsigned char* bytes, std::size_t size) {
    std::vector<PartContents> parts;
    const unsigned char* cursor = bytes;
    const unsigned char* end = bytes + size;
    std::int32_t count = 0;
    if (!bytes || !readModelHeader(cursor, end, &count)) return parts;
    PartRecord record;
    for (std::int32_t i = 0; i < count && readPartRecord(cursor, end, &record); ++i) {
        PartContents p;
        p.textureName = record.textureName;
        p.render = readRenderBlock(record.material);
        const std::size_t T = static_cast<std::size_t>(record.triangleCount);
        auto doubles = [](const unsigned char* from, std::size_t n, std::vector<double>& to) {
            to.resize(n);
            for (std::size_t k = 0; k < n; ++k) to[k] = readDoubleLe(from + 8 * k);
        };
        doubles(record.positions, 9 * T, p.positions);
        doubles(record.normals, 9 * T, p.normals);
        doubles(record.texCoords, 6 * T, p.texCoords);
        parts.push_back(std::move(p));
    }
    return parts;
}

bool identical(const PartContents& a, const PartContents& b) {
    const auto sameBits = [](const auto& x, const auto& y) {
        return x.size() == y.size() && (x.empty() || std::memcmp(x.data(), y.data(), x.size() * sizeof x[0]) == 0);
    };
    const RenderBlock &r = a.render, &q = b.render;
    return a.textureName == b.textureName && r.alphaTest == q.alphaTest && r.transparent == q.transparent && r.hints == q.hints &&
           std::memcmp(r.ambient, q.ambient, sizeof r.ambient) == 0 &&
           std::memcmp(r.diffuse, q.diffuse, sizeof r.diffuse) == 0 &&
           std::memcmp(r.specular, q.specular, sizeof r.specular) == 0 &&
           std::memcmp(&r.shininess, &q.shininess, sizeof r.shininess) == 0 && sameBits(a.positions, b.positions) &&
           sameBits(a.normals, b.normals) && sameBits(a.texCoords, b.texCoords);
}
