// The image header check on arbitrary bytes: it must never read outside
// them, and what it accepts must be a PNG, JPEG or BMP of a size within the
// limit, which is what the decoders behind it rely on.
#include "formats/ImageHeader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly the input's size, so any read beyond it is caught.
    unsigned char* bytes = static_cast<unsigned char*>(std::malloc(size ? size : 1));
    if (size) std::memcpy(bytes, data, size);
    const std::uint32_t limit = size > 0 ? 1 + data[0] * 32u : maxImageSide;
    const Result<ImageHeader> inspected = inspectImage(bytes, size, limit);
    if (inspected) {
        const ImageHeader& header = *inspected;
        if (header.width == 0 || header.height == 0 || header.width > limit || header.height > limit) std::abort();
        const bool png = size >= 8 && bytes[0] == 0x89 && std::memcmp(bytes + 1, "PNG", 3) == 0;
        const bool jpeg = size >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8;
        const bool bmp = size >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
        if ((header.format == ImageFormat::Png && !png) || (header.format == ImageFormat::Jpeg && !jpeg) ||
            (header.format == ImageFormat::Bmp && !bmp))
            std::abort();
    } else if (inspected.message().empty()) {
        std::abort();
    }
    std::free(bytes);
    return 0;
}
