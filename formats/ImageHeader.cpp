#include "formats/ImageHeader.h"

#include "formats/Crc32.h"
#include "formats/LittleEndian.h"

#include <cstring>

namespace {

std::uint32_t readUint32Be(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}
std::uint32_t readUint16Be(const unsigned char* p) { return (std::uint32_t(p[0]) << 8) | p[1]; }
std::uint32_t readUint16Le(const unsigned char* p) { return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8); }

// The PNG decoder reads past the end of a cut file and then works on
// whatever its buffer held; so every chunk up to IEND must be present and
// intact before it starts.
Result<ImageHeader> inspectPng(const unsigned char* bytes, std::size_t size) {
    ImageHeader found;
    ImageHeader* header = &found;
    std::size_t pos = 8;
    bool sawHeader = false, sawData = false;
    for (std::size_t chunk = 0;; ++chunk) {
        if (size - pos < 12) return failure("PNG cut short (no IEND chunk)");
        const std::uint32_t length = readUint32Be(bytes + pos);
        const unsigned char* type = bytes + pos + 4;
        if (length > 0x7FFFFFFFu || length > size - pos - 12) return failure("PNG cut short inside a chunk");
        const unsigned char* data = type + 4;
        if (crc32(type, length + 4) != readUint32Be(data + length)) return failure("PNG chunk with a bad CRC");
        if (chunk == 0) {
            if (std::memcmp(type, "IHDR", 4) != 0 || length != 13) return failure("PNG without a header chunk");
            header->width = readUint32Be(data);
            header->height = readUint32Be(data + 4);
            sawHeader = true;
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            sawData = true;
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            break;
        }
        pos += 12 + length;
    }
    if (!sawHeader || !sawData) return failure("PNG without image data");
    header->format = ImageFormat::Png;
    return found;
}

// Walks the marker segments to the first frame header (SOFn), which holds
// the size. The JPEG decoder itself copes with data cut short.
Result<ImageHeader> inspectJpeg(const unsigned char* bytes, std::size_t size) {
    ImageHeader found;
    ImageHeader* header = &found;
    std::size_t pos = 2;
    for (;;) {
        while (pos < size && bytes[pos] == 0xFF && pos + 1 < size && bytes[pos + 1] == 0xFF) ++pos;  // fill
        if (size - pos < 4 || bytes[pos] != 0xFF) return failure("JPEG without a frame header");
        const unsigned char marker = bytes[pos + 1];
        const std::uint32_t length = readUint16Be(bytes + pos + 2);
        if (length < 2 || length > size - pos - 2) return failure("JPEG cut short inside a segment");
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 8) return failure("JPEG frame header too short");
            header->height = readUint16Be(bytes + pos + 5);
            header->width = readUint16Be(bytes + pos + 7);
            header->format = ImageFormat::Jpeg;
            return found;
        }
        if (marker == 0xDA || marker == 0xD9) return failure("JPEG without a frame header");
        pos += 2 + length;
    }
}

Result<ImageHeader> inspectBmp(const unsigned char* bytes, std::size_t size) {
    ImageHeader found;
    ImageHeader* header = &found;
    if (size < 26) return failure("BMP cut short in its header");
    const std::uint32_t pixelOffset = readUint32Le(bytes + 10);
    const std::uint32_t infoSize = readUint32Le(bytes + 14);
    std::uint32_t bitCount = 0, compression = 0, coloursUsed = 0;
    std::int64_t width = 0, height = 0;
    if (infoSize == 12) {
        width = readUint16Le(bytes + 18);
        height = readUint16Le(bytes + 20);
        bitCount = readUint16Le(bytes + 24);
    } else if (infoSize >= 40 && infoSize <= 124) {
        if (size < 14 + std::size_t(infoSize)) return failure("BMP cut short in its header");
        width = static_cast<std::int32_t>(readUint32Le(bytes + 18));
        height = static_cast<std::int32_t>(readUint32Le(bytes + 22));
        bitCount = readUint16Le(bytes + 28);
        compression = readUint32Le(bytes + 30);
        coloursUsed = readUint32Le(bytes + 46);
    } else {
        return failure("BMP with an unknown header");
    }
    if (height < 0) height = -height;  // stored top row first
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return failure("BMP with " + std::to_string(bitCount) + " bits per pixel");
    // 0 plain, 3 bit fields; run-length coded pictures are not taken.
    if (compression != 0 && compression != 3) return failure("compressed BMP");
    if (bitCount <= 8 && coloursUsed > (1u << bitCount)) return failure("BMP with more colours than it can index");
    if (width <= 0 || height <= 0) return failure("BMP with no pixels");
    header->width = static_cast<std::uint32_t>(width);
    header->height = static_cast<std::uint32_t>(height);
    // Rows are padded to 4 bytes; divided rather than multiplied, so no
    // claimed size can overflow the check.
    const std::uint64_t rowBytes = ((std::uint64_t(header->width) * bitCount + 31) / 32) * 4;
    if (pixelOffset < 14 + std::uint64_t(infoSize) || pixelOffset > size ||
        header->height > (size - pixelOffset) / rowBytes)
        return failure("BMP cut short in its pixels");
    header->format = ImageFormat::Bmp;
    return found;
}

}  // namespace

Result<ImageHeader> inspectImage(const unsigned char* bytes, std::size_t size, std::uint32_t maxSide) {
    static const unsigned char pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!bytes || size == 0) return failure("empty, not an image");
    Result<ImageHeader> inspected = failure("not a PNG, JPEG or BMP image");
    if (size >= 8 && std::memcmp(bytes, pngSignature, 8) == 0)
        inspected = inspectPng(bytes, size);
    else if (size >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
        inspected = inspectJpeg(bytes, size);
    else if (size >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        inspected = inspectBmp(bytes, size);
    if (!inspected) return inspected;
    const ImageHeader& found = *inspected;
    if (found.width == 0 || found.height == 0) return failure("image with no pixels");
    if (found.width > maxSide || found.height > maxSide)
        return failure("image of " + std::to_string(found.width) + "x" + std::to_string(found.height) +
                       " pixels, more than " + std::to_string(maxSide) + " on a side");
    return inspected;
}
