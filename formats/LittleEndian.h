// Little-endian integers and floats at any byte address: the file formats
// store them unaligned, so they are assembled byte by byte, never read
// through a cast pointer. The put... functions append to a file being built
// in memory.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

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

inline double readDoubleLe(const unsigned char* p) {
    const std::uint64_t u = readUint32Le(p) | (static_cast<std::uint64_t>(readUint32Le(p + 4)) << 32);
    double d;
    std::memcpy(&d, &u, sizeof d);
    return d;
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

inline void put16(std::vector<unsigned char>& out, std::uint16_t v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

inline void put32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

inline void putInt32(std::vector<unsigned char>& out, std::int32_t v) {
    std::uint32_t u;
    std::memcpy(&u, &v, sizeof u);
    put32(out, u);
}

inline void putFloat(std::vector<unsigned char>& out, float f) {
    std::uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    put32(out, u);
}

inline void putDouble(std::vector<unsigned char>& out, double d) {
    std::uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<unsigned char>(u >> (8 * i)));
}
