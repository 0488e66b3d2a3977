// The model entry layout: a first byte (255 marks four more bytes to skip;
// the artwork's coarser cuts keep their source's CRC-32 there, see below),
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
#include <vector>

// Where the render block keeps each field: two flag bytes, the hints byte,
// the ambient, diffuse and specular colours (4 floats each) and the
// shininess (a float).
namespace renderBlock {
constexpr std::size_t alphaTest = 0, transparent = 1, hints = 2, ambient = 4, diffuse = 20, specular = 36,
                      shininess = 52;
constexpr std::size_t size = 60;
}  // namespace renderBlock

// What the artwork knows of a part that lets it be drawn for less, as bits
// of the hints byte (the first of two bytes older packs leave 0).
namespace renderHint {
// A closed surface wound counter-clockwise seen from outside: its back
// faces never show, so they may be culled.
constexpr std::uint8_t closed = 1;
// Drawn first, behind everything: it needs neither the depth test nor
// depth writes.
constexpr std::uint8_t backdrop = 2;
}  // namespace renderHint

// A render block's fields; a flag is set when its byte is not zero.
struct RenderBlock {
    bool alphaTest = false;
    bool transparent = false;
    std::uint8_t hints = 0;  // renderHint bits
    float ambient[4] = {1, 1, 1, 1};
    float diffuse[4] = {1, 1, 1, 1};
    float specular[4] = {0, 0, 0, 1};
    float shininess = 0;
};
RenderBlock readRenderBlock(const unsigned char* block);

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

// A part to write: its texture name (without zero bytes), its render block
// and, per triangle, 9 position, 9 normal and 6 texture-coordinate doubles.
struct PartContents {
    std::string textureName;
    RenderBlock render;
    std::vector<double> positions, normals, texCoords;
};

// The bytes of a model entry: marker byte 0, the part count, the records
// with every unused byte zero and each name's terminator counted in L.
// Parts with arrays of unequal triangle counts take the smallest.
std::vector<unsigned char> writeModel(const std::vector<PartContents>& parts);

// A model cut from another entry (coarser, of the same shapes) is marked
// 255, and the four bytes after the marker hold the CRC-32 of that entry's
// bytes: it stands for that entry only while the entry is unchanged.
std::vector<unsigned char> markCutFrom(const std::vector<unsigned char>& model, std::uint32_t sourceCrc);
// The CRC-32 a model marked as cut from another keeps; false for any other
// model (marker 0) and for bytes too short to hold it.
bool cutFromCrc(const unsigned char* bytes, std::size_t size, std::uint32_t* sourceCrc);

// Every part record of a model entry that fits, copied out of the bytes;
// reading stops at the first part that does not fit, as drawing does.
std::vector<PartContents> readModel(const unsigned char* bytes, std::size_t size);

// True when the parts hold the same bits field for field (a NaN equals
// itself): what a round trip through the bytes must keep.
bool identical(const PartContents& a, const PartContents& b);
