// Image entries through the program's own loading (PackFile::acquireTexture)
// on real OpenGL: PNG, JPEG and BMP within the limits become textures;
// other formats, huge declared sizes and cut files are refused with one line
// naming the pack, the entry and the reason, without the memory a decoder
// would have asked for.
#include "platform/Platform.h"
#include "render/PackFile.h"
#include "support/PngBytes.h"
#include "support/TestSupport.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes rgbaPicture(int w, int h) {
    Bytes out;
    for (int i = 0; i < w * h; ++i)
        out.insert(out.end(), {static_cast<unsigned char>(i * 40), 90, static_cast<unsigned char>(255 - i), 255});
    return out;
}

// A PNG that declares w x h but carries the data of a 1 x 1 picture: every
// chunk intact, so only the size can refuse it.
Bytes pngDeclaring(std::uint32_t w, std::uint32_t h) {
    Bytes png = testsupport::encodePng(1, 1, rgbaPicture(1, 1));
    const unsigned char size[8] = {static_cast<unsigned char>(w >> 24), static_cast<unsigned char>(w >> 16),
                                   static_cast<unsigned char>(w >> 8),  static_cast<unsigned char>(w),
                                   static_cast<unsigned char>(h >> 24), static_cast<unsigned char>(h >> 16),
                                   static_cast<unsigned char>(h >> 8),  static_cast<unsigned char>(h)};
    std::copy(size, size + 8, png.begin() + 16);
    const std::uint32_t crc = testsupport::crc32Of(png.data() + 12, 17) ^ 0xFFFFFFFFu;
    for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
    return png;
}

// A 24-bit bottom-up BMP of w x h grey pixels; `claimedHeight` may lie.
Bytes bmp(int w, int h, int claimedHeight) {
    const int row = (3 * w + 3) / 4 * 4;
    Bytes out(54 + static_cast<std::size_t>(row) * h, 0x80);
    auto le32 = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    std::fill(out.begin(), out.begin() + 54, 0);
    out[0] = 'B';
    out[1] = 'M';
    le32(2, static_cast<std::uint32_t>(out.size()));
    le32(10, 54);
    le32(14, 40);
    le32(18, static_cast<std::uint32_t>(w));
    le32(22, static_cast<std::uint32_t>(claimedHeight));
    out[26] = 1;
    out[28] = 24;
    return out;
}

Bytes jpegFromConvert(const std::string& dir) {
    const std::string path = dir + "/a.jpg";
    const std::string cmd = "convert -size 8x8 gradient:red-blue -strip '" + path + "'";
    if (std::system(cmd.c_str()) != 0) return {};
    return testsupport::readFile(path);
}

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

long peakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

class ImageLoadingTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::openGlContext()) GTEST_SKIP() << "no display for OpenGL";
        dir = testsupport::makeTempDir();
    }
    void TearDown() override {
        if (!dir.empty()) testsupport::removeTree(dir);
    }
    // The pack holding the entries, written and read back as the program does.
    void writePack(const std::vector<std::pair<std::string, Bytes>>& entries) {
        PackFile out;
        for (const auto& e : entries) out.addEntry(e.first, e.second.data(), static_cast<std::uint32_t>(e.second.size()));
        packPath = dir + "/images.pak";
        ASSERT_TRUE(out.save(packPath));
    }
    std::string dir, packPath;
};

TEST_F(ImageLoadingTest, GoodImagesLoadAndHostileOnesAreRefusedInOneLine) {
    const Bytes goodPng = testsupport::encodePng(3, 2, rgbaPicture(3, 2));
    Bytes cutPng(goodPng.begin(), goodPng.end() - 20);
    Bytes badCrc = goodPng;
    badCrc[40] ^= 1;
    const Bytes jpeg = jpegFromConvert(dir);
    ASSERT_FALSE(jpeg.empty()) << "convert could not make a JPEG";
    Bytes hugeJpeg = jpeg;
    for (std::size_t i = 2; i + 9 < hugeJpeg.size(); ++i)
        if (hugeJpeg[i] == 0xFF && hugeJpeg[i + 1] == 0xC0) {
            hugeJpeg[i + 5] = 0x27, hugeJpeg[i + 6] = 0x10;  // 10000 rows
            hugeJpeg[i + 7] = 0x27, hugeJpeg[i + 8] = 0x10;  // 10000 columns
        }
    // A GIF of 65535 x 65535 in a few bytes, and an XPM of 100000 x 100000:
    // the decoders that crash on these must never see them.
    Bytes gif = text("GIF89a");
    gif.insert(gif.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, ',', 0, 0, 0, 0, 0xFF,
                           0xFF, 0xFF, 0xFF, 0, 2, 2, 0x44, 0x01, 0, ';'});
    const Bytes xpm = text("/* XPM */\nstatic char *x[] = {\n\"100000 100000 1 1\",\n\"a c #ff0000\",\n};\n");

    struct Case {
        std::string name;
        Bytes bytes;
        bool loads;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"good.png", goodPng, true, ""},
        {"good.jpg", jpeg, true, ""},
        {"good.bmp", bmp(5, 3, 3), true, ""},
        {"top-down.bmp", bmp(2, 2, -2), true, ""},
        {"huge.gif", gif, false, "not a PNG, JPEG or BMP image"},
        {"huge.xpm", xpm, false, "not a PNG, JPEG or BMP image"},
        {"huge.png", pngDeclaring(16383, 16383), false, "16383x16383 pixels, more than"},
        {"wide.png", pngDeclaring(8193, 1), false, "more than"},
        {"eight.png", Bytes(goodPng.begin(), goodPng.begin() + 8), false, "cut short"},
        {"cut.png", cutPng, false, "cut short"},
        {"crc.png", badCrc, false, "bad CRC"},
        {"huge.jpg", hugeJpeg, false, "10000x10000"},
        {"short.bmp", bmp(4, 4, 400), false, "cut short"},
        {"model", text("\x01\x00\x00\x00\x00 a model"), false, "not a PNG, JPEG or BMP image"},
    };
    std::vector<std::pair<std::string, Bytes>> entries;
    for (const Case& c : cases) entries.emplace_back(c.name, c.bytes);
    writePack(entries);
    PackFile pack(packPath);

    const long rssBefore = peakRssKb();
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        const GLuint texture = pack.acquireTexture(c.name);
        const std::string err = testing::internal::GetCapturedStderr();
        if (c.loads) {
            EXPECT_NE(texture, 0u) << c.name << ": " << err;
            EXPECT_TRUE(err.empty()) << c.name << ": " << err;
        } else {
            EXPECT_EQ(texture, 0u) << c.name;
            const std::string expected = platform::programName() + ": " + packPath + ": " + c.name + ": not used as an image: ";
            EXPECT_EQ(err.rfind(expected, 0), 0u) << c.name << ": " << err;
            EXPECT_NE(err.find(c.reason), std::string::npos) << c.name << ": " << err;
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << c.name << ": " << err;
        }
        pack.releaseTexture(texture);
    }
    // A decoder that believed any of the sizes would have asked for hundreds
    // of megabytes at least.
    EXPECT_LT(peakRssKb() - rssBefore, 64 * 1024);
}

}  // namespace
