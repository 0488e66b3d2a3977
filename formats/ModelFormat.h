// The model entry layout: a first byte (255 marks four more bytes to skip),
// a signed 32-bit part count, then the part records back to back. A part
// record: a signed 32-bit name length L, L bytes of texture name (ending at
// a zero byte or at L), 80 unused bytes, the 60-byte render block, a signed
// 32-bit triangle count T, one unused byte, then T triangles of positions
// (72 bytes each: 9 doubles), normals (72 bytes) and texture coordinates
// (48 bytes: 6 doubles). All little-endian; the arrays are used in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Size in bytes of the part record at `p` (at most `avail` bytes there), or
// 0 when it does not fit.
std::size_t partRecordSize(const unsigned char* p, std::size_t avail);

// One part record, pointing into the entry's bytes.
struct PartRecord {
    std::string textureName;
    const unsigned char* material = nullptr;  // the 60-byte render block
    std::int32_t triangleCount = 0;
    const unsigned char* positions = nullptr;
    const unsigned char* normals = nullptr;
    const unsigned char* texCoords = nullptr;
};

// Reads the part record at `cursor`, never at or past `end`; on success
// advances the cursor past it. False, cursor unchanged, when it does not fit.
bool readPartRecord(const unsigned char*& cursor, const unsigned char* end, PartRecord* record);

// Reads the header before the part records; false when the entry is too
// short for it.
bool readModelHeader(const unsigned char*& cursor, const unsigned char* end, std::int32_t* partCount);
