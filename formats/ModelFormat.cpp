#include "formats/ModelFormat.h"

#include "formats/LittleEndian.h"

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
