// A minimal PNG encoder (stored, uncompressed deflate blocks) for tests that
// need image entries without an image library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

inline std::uint32_t crc32Of(const unsigned char* p, std::size_t n, std::uint32_t crc = 0xFFFFFFFFu) {
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc;
}

inline void putBe32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

inline void pngChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data) {
    putBe32(out, static_cast<std::uint32_t>(data.size()));
    std::vector<unsigned char> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    putBe32(out, crc32Of(body.data(), body.size()) ^ 0xFFFFFFFFu);
}

// RGBA pixels, row 0 first. colourType 6 = RGBA, 2 = RGB (alpha dropped).
inline std::vector<unsigned char> encodePng(int width, int height, const std::vector<unsigned char>& rgba,
                                            int colourType = 6) {
    const int channels = colourType == 6 ? 4 : 3;
    std::vector<unsigned char> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c) raw.push_back(rgba[4 * (static_cast<std::size_t>(y) * width + x) + c]);
    }
    std::vector<unsigned char> z = {0x78, 0x01};
    std::size_t pos = 0;
    do {
        const std::size_t n = raw.size() - pos > 65535 ? 65535 : raw.size() - pos;
        z.push_back(pos + n == raw.size() ? 1 : 0);
        z.push_back(static_cast<unsigned char>(n & 0xFF));
        z.push_back(static_cast<unsigned char>(n >> 8));
        z.push_back(static_cast<unsigned char>(~n & 0xFF));
        z.push_back(static_cast<unsigned char>((~n >> 8) & 0xFF));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos), raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
        pos += n;
    } while (pos < raw.size());
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    putBe32(z, (b << 16) | a);

    std::vector<unsigned char> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> ihdr;
    putBe32(ihdr, static_cast<std::uint32_t>(width));
    putBe32(ihdr, static_cast<std::uint32_t>(height));
    ihdr.push_back(8);
    ihdr.push_back(static_cast<unsigned char>(colourType));
    ihdr.push_back(0);
    ihdr.push_back(0);
    ihdr.push_back(0);
    pngChunk(out, "IHDR", ihdr);
    pngChunk(out, "IDAT", z);
    pngChunk(out, "IEND", {});
    return out;
}

// A width x height image of one colour.
inline std::vector<unsigned char> solidPng(int width, int height, unsigned char r, unsigned char g, unsigned char b,
                                           unsigned char a) {
    std::vector<unsigned char> px;
    for (int i = 0; i < width * height; ++i) {
        px.push_back(r);
        px.push_back(g);
        px.push_back(b);
        px.push_back(a);
    }
    return encodePng(width, height, px);
}

}  // namespace testsupport
