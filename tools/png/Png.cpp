#include "png/Png.h"

#include <png.h>

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

// The rows, each `width` pixels of the colour type, as PNG bytes.
std::vector<std::uint8_t> encodeRows(int width, int height, int colourType, std::vector<png_bytep>& rows) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return out;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return out;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        out.clear();
        return out;
    }
    png_set_write_fn(png, &out, appendBytes, flushNothing);
    png_set_compression_level(png, 6);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, colourType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

}  // namespace

std::vector<std::uint8_t> encodePng(const Image& image) {
    bool opaque = true;
    for (std::size_t i = 3; i < image.rgba.size() && opaque; i += 4) opaque = image.rgba[i] == 255;
    // Without alpha: each row's red, green and blue bytes.
    std::vector<std::uint8_t> rgb;
    if (opaque) {
        rgb.reserve(image.rgba.size() / 4 * 3);
        for (std::size_t i = 0; i < image.rgba.size(); i += 4)
            rgb.insert(rgb.end(), image.rgba.begin() + static_cast<std::ptrdiff_t>(i),
                       image.rgba.begin() + static_cast<std::ptrdiff_t>(i + 3));
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y)
        rows[static_cast<std::size_t>(y)] =
            opaque ? &rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) * 3]
                   : const_cast<png_bytep>(image.pixel(0, y));
    return encodeRows(image.width, image.height, opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGBA, rows);
}
