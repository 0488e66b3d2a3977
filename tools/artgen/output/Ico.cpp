#include "output/Ico.h"

#include "formats/LittleEndian.h"
#include "png/Png.h"

namespace artgen {

namespace {

// BITMAPINFOHEADER (of twice the height: colour, then mask), bottom-up rows
// of B, G, R, A, then the 1-bit mask, set where the picture is transparent.
std::vector<std::uint8_t> encodeDib(const Image& image) {
    const std::uint32_t maskRow = ((static_cast<std::uint32_t>(image.width) + 31) / 32) * 4;
    const std::uint32_t size = static_cast<std::uint32_t>(image.width * image.height * 4) + maskRow * image.height;
    std::vector<std::uint8_t> out;
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(image.width));
    put32(out, static_cast<std::uint32_t>(2 * image.height));
    put16(out, 1);
    put16(out, 32);
    put32(out, 0);  // no compression
    put32(out, size);
    for (int i = 0; i < 4; ++i) put32(out, 0);
    for (int y = image.height - 1; y >= 0; --y)
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = image.pixel(x, y);
            out.insert(out.end(), {p[2], p[1], p[0], p[3]});
        }
    for (int y = image.height - 1; y >= 0; --y) {
        const std::size_t row = out.size();
        out.resize(row + maskRow, 0);
        for (int x = 0; x < image.width; ++x)
            if (image.pixel(x, y)[3] == 0) out[row + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    return out;
}

}  // namespace

std::vector<std::uint8_t> encodeIco(const std::vector<Image>& pictures) {
    std::vector<std::vector<std::uint8_t>> data;
    for (const Image& p : pictures) data.push_back(p.width >= 256 ? encodePng(p) : encodeDib(p));
    std::vector<std::uint8_t> out;
    put16(out, 0);
    put16(out, 1);  // an icon, not a cursor
    put16(out, static_cast<std::uint16_t>(pictures.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(pictures.size());
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        // 0 stands for 256.
        out.push_back(static_cast<std::uint8_t>(pictures[i].width & 0xFF));
        out.push_back(static_cast<std::uint8_t>(pictures[i].height & 0xFF));
        out.push_back(0);  // no palette
        out.push_back(0);
        put16(out, 1);   // planes
        put16(out, 32);  // bits per pixel
        put32(out, static_cast<std::uint32_t>(data[i].size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(data[i].size());
    }
    for (const auto& d : data) out.insert(out.end(), d.begin(), d.end());
    return out;
}

}  // namespace artgen
