// Little-endian integers and floats at any byte address: the file formats
// store them unaligned, so they are assembled byte by byte, never read
// through a cast pointer.
#pragma once

#include <cstdint>
#include <cstring>

inline std::uint32_t readUint32Le(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::int32_t readInt32Le(const unsigned char* p) {
    const std::uint32_t u = readUint32Le(p);
    std::int32_t v;
    std::memcpy(&v, &u, sizeof v);
    return v;
}

inline float readFloatLe(const unsigned char* p) {
    const std::uint32_t u = readUint32Le(p);
    float f;
    std::memcpy(&f, &u, sizeof f);
    return f;
}

inline void writeUint32Le(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

inline void writeInt32Le(unsigned char* p, std::int32_t v) {
    std::uint32_t u;
    std::memcpy(&u, &v, sizeof u);
    writeUint32Le(p, u);
}
