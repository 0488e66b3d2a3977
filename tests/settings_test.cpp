// The settings record and its 20-byte file layout.
#include "formats/Settings.h"
#include "render/Display.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes withMarker(std::int32_t marker, const Bytes& rest) {
    const std::uint32_t m = static_cast<std::uint32_t>(marker);
    Bytes b(4 + rest.size());
    for (int i = 0; i < 4; ++i) b[i] = static_cast<unsigned char>(m >> (8 * i));
    std::copy(rest.begin(), rest.end(), b.begin() + 4);
    return b;
}

// The example file: every field differs from its default except
// reservedValue, so a field read from the wrong offset shows.
const Bytes example = withMarker(1, {1, 0, 0, 0, 0, 3, 0, 0, 0, 1, 1, 1, 1, 0, 0, 1});

Settings readBytes(const Bytes& bytes, bool* valid = nullptr) {
    std::istringstream in(std::string(bytes.begin(), bytes.end()), std::ios::binary);
    Settings s;
    // Start from something other than the defaults, so that "defaults"
    // really means the reader reset every field.
    s.showFps = 7;
    s.showClock = 0;
    s.largeClock = 0;
    s.reservedValue = 99;
    s.resolutionIndex = 5;
    const bool ok = s.readFrom(in);
    if (valid) *valid = ok;
    return s;
}

Bytes serialised(const Settings& s) {
    unsigned char out[Settings::fileSize];
    s.serialise(out);
    return Bytes(out, out + Settings::fileSize);
}

void expectDefaults(const Settings& s) {
    EXPECT_EQ(serialised(s), serialised(Settings()));
    EXPECT_EQ(s.showFps, 0);
    EXPECT_EQ(s.showClock, 1);
    EXPECT_EQ(s.analogClock, 0);
    EXPECT_EQ(s.clock24h, 0);
    EXPECT_EQ(s.largeClock, 1);
    EXPECT_EQ(s.showCalendar, 1);
    EXPECT_EQ(s.russianCalendar, 0);
    EXPECT_EQ(s.exitOnMouseMove, 0);
    EXPECT_EQ(s.reservedValue, 0);
    EXPECT_EQ(s.resolutionIndex, 0);
    EXPECT_EQ(s.screenWidth(), 0);
    EXPECT_EQ(s.screenHeight(), 0);
    EXPECT_EQ(s.screenBitsPerPixel(), 0);
}

TEST(Settings, DefaultsAndReset) {
    expectDefaults(Settings());
    bool valid = false;
    Settings s = readBytes(example, &valid);
    ASSERT_TRUE(valid);
    s.resetToDefaults();
    expectDefaults(s);
}

TEST(Settings, ReadsTheExampleFile) {
    bool valid = false;
    const Settings s = readBytes(example, &valid);
    EXPECT_TRUE(valid);
    EXPECT_TRUE(s.exitOnMouseMove);
    EXPECT_EQ(s.reservedValue, 0);
    EXPECT_EQ(s.resolutionIndex, 3);
    EXPECT_EQ(s.screenWidth(), 1024);
    EXPECT_EQ(s.screenHeight(), 768);
    EXPECT_EQ(s.screenBitsPerPixel(), 32);
    EXPECT_TRUE(s.showFps);
    EXPECT_TRUE(s.showClock);
    EXPECT_TRUE(s.analogClock);
    EXPECT_TRUE(s.clock24h);
    EXPECT_FALSE(s.largeClock);
    EXPECT_FALSE(s.showCalendar);
    EXPECT_TRUE(s.russianCalendar);

    // The constructor the screensaver uses reads the same.
    std::istringstream in(std::string(example.begin(), example.end()), std::ios::binary);
    EXPECT_EQ(serialised(Settings(in)), example);
}

TEST(Settings, IntegersAreLittleEndianAndUnaligned) {
    // reservedValue at offset 5 and resolutionIndex at 9, each spanning
    // four distinct bytes.
    const Settings s = readBytes(withMarker(1, {0, 0x78, 0x56, 0x34, 0x12, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(s.reservedValue, 0x12345678);
    EXPECT_EQ(s.resolutionIndex, 9);
    EXPECT_EQ(s.screenWidth(), 1600);
    EXPECT_EQ(s.screenHeight(), 1200);
    const Settings negative = readBytes(withMarker(1, {0, 0xfe, 0xff, 0xff, 0xff, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(negative.reservedValue, -2);
    EXPECT_EQ(negative.screenWidth(), 640);
}

TEST(Settings, OnlyMarkerOneIsAccepted) {
    for (std::int32_t marker : {0, 2, -1, 0x01000000, 0x101, INT_MIN}) {
        SCOPED_TRACE(marker);
        bool valid = true;
        Bytes bytes = example;
        bytes[0] = static_cast<unsigned char>(marker);
        bytes[1] = static_cast<unsigned char>(static_cast<std::uint32_t>(marker) >> 8);
        bytes[2] = static_cast<unsigned char>(static_cast<std::uint32_t>(marker) >> 16);
        bytes[3] = static_cast<unsigned char>(static_cast<std::uint32_t>(marker) >> 24);
        expectDefaults(readBytes(bytes, &valid));
        EXPECT_FALSE(valid);
    }
}

TEST(Settings, AnyNonZeroFlagByteCountsAsSet) {
    // Each flag alone at 255: it reads as set and no other flag moves.
    const int flagOffsets[] = {4, 13, 14, 15, 16, 17, 18, 19};
    for (int offset : flagOffsets) {
        SCOPED_TRACE(offset);
        Bytes bytes = withMarker(1, Bytes(16, 0));
        bytes[offset] = 255;
        const Settings s = readBytes(bytes);
        const std::uint8_t values[] = {s.exitOnMouseMove, s.showFps,    s.showClock,    s.analogClock,
                                       s.clock24h,        s.largeClock, s.showCalendar, s.russianCalendar};
        for (int i = 0; i < 8; ++i) EXPECT_EQ(values[i] != 0, flagOffsets[i] == offset) << "flag " << i;
    }
}

TEST(Settings, ShortFilesGiveAllTheDefaults) {
    for (std::size_t length = 0; length < example.size(); ++length) {
        SCOPED_TRACE(length);
        bool valid = true;
        expectDefaults(readBytes(Bytes(example.begin(), example.begin() + static_cast<long>(length)), &valid));
        EXPECT_FALSE(valid);
    }
    // Bytes after the 20 are not looked at.
    Bytes longer = example;
    longer.push_back(0xff);
    bool valid = false;
    EXPECT_EQ(serialised(readBytes(longer, &valid)), example);
    EXPECT_TRUE(valid);
}

TEST(Settings, ResolutionTableAndOutOfRangeIndex) {
    const std::int32_t expected[10][3] = {{0, 0, 0},       {640, 480, 32},   {800, 600, 32},   {1024, 768, 32},
                                          {1152, 864, 32}, {1280, 800, 32},  {1280, 960, 32},  {1280, 1024, 32},
                                          {1400, 1050, 32}, {1600, 1200, 32}};
    Settings s;
    for (std::int32_t i = 0; i < 10; ++i) {
        s.resolutionIndex = i;
        EXPECT_EQ(s.screenWidth(), expected[i][0]) << i;
        EXPECT_EQ(s.screenHeight(), expected[i][1]) << i;
        EXPECT_EQ(s.screenBitsPerPixel(), expected[i][2]) << i;
    }
    for (std::int32_t index : {10, -1, 11, INT_MAX, INT_MIN}) {
        SCOPED_TRACE(index);
        Bytes bytes = example;
        const std::uint32_t u = static_cast<std::uint32_t>(index);
        for (int k = 0; k < 4; ++k) bytes[9 + k] = static_cast<unsigned char>(u >> (8 * k));
        const Settings read = readBytes(bytes);
        EXPECT_EQ(read.resolutionIndex, index);  // kept as read
        EXPECT_EQ(read.screenWidth(), 0);
        EXPECT_EQ(read.screenHeight(), 0);
        EXPECT_EQ(read.screenBitsPerPixel(), 0);
        EXPECT_TRUE(read.russianCalendar);  // the rest of the file is still used
    }
}

TEST(Settings, SerialiseRoundTrips) {
    EXPECT_EQ(serialised(readBytes(example)), example);
    Settings s;
    s.showFps = 1;
    s.showClock = 0;
    s.reservedValue = -123456789;
    s.resolutionIndex = 7;
    s.russianCalendar = 1;
    const Bytes bytes = serialised(s);
    ASSERT_EQ(bytes.size(), 20u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 4), Bytes({1, 0, 0, 0}));
    bool valid = false;
    EXPECT_EQ(serialised(readBytes(bytes, &valid)), bytes);
    EXPECT_TRUE(valid);
}

// What the settings program writes, the screensaver's reader reads back.
TEST(Settings, ConfigProgramRoundTripsThroughTheReader) {
    const std::string dir = testsupport::makeTempDir();
    const std::string run = "QUESSANTA_COMMON_APPDATA='" + dir + "' '" + QUESSANTA_INSTALL_DIR + "config' ";
    auto readBack = [&dir](Settings* s) {
        std::ifstream in(dir + "/Zandrim_Quessanta_cfg", std::ios::binary);
        return in.is_open() && s->readFrom(in);
    };
    Settings s;
    ASSERT_EQ(std::system((run + "--fps=on --clock=24h --clock-size=small --calendar=russian "
                                 "--exit-on-mouse=on --resolution=1280x1024 >/dev/null")
                              .c_str()),
              0);
    ASSERT_TRUE(readBack(&s));
    EXPECT_EQ(serialised(s), withMarker(1, {1, 0, 0, 0, 0, 7, 0, 0, 0, 1, 1, 0, 1, 0, 1, 1}));
    EXPECT_EQ(s.screenWidth(), 1280);
    EXPECT_EQ(s.screenHeight(), 1024);

    ASSERT_EQ(std::system((run + "--clock=analog --calendar=off --fps=off >/dev/null").c_str()), 0);
    ASSERT_TRUE(readBack(&s));
    EXPECT_TRUE(s.showClock && s.analogClock && s.clock24h);  // the 24-hour choice is kept
    EXPECT_FALSE(s.showCalendar);
    EXPECT_TRUE(s.russianCalendar);  // kept for when the calendar comes back
    EXPECT_FALSE(s.showFps);
    EXPECT_EQ(s.resolutionIndex, 7);

    ASSERT_EQ(std::system((run + "--reset >/dev/null").c_str()), 0);
    ASSERT_TRUE(readBack(&s));
    expectDefaults(s);
    testsupport::removeTree(dir);
}

// The resolution row chosen in the file becomes the video mode. Under Xvfb
// the screen keeps its size and SDL centres a window of the mode's size in
// a full-screen one, so the video surface tells the mode.
TEST(SettingsDisplay, FileSelecting640x480OpensThatMode) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no X display";
    const std::string dir = testsupport::makeTempDir();
    const std::string path = dir + "/Zandrim_Quessanta_cfg";
    Bytes bytes = withMarker(1, Bytes(16, 0));
    bytes[9] = 1;  // row 1: 640 x 480 x 32
    testsupport::writeFile(path, bytes);
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in.is_open());
    Settings settings(in);
    testsupport::removeTree(dir);

    Display* d = new Display(settings.screenWidth(), settings.screenHeight(), settings.screenBitsPerPixel());
    ASSERT_NE(screenSurface, nullptr);
    EXPECT_EQ(screenSurface->w, 640);
    EXPECT_EQ(screenSurface->h, 480);
    EXPECT_EQ(d->width, 640);
    EXPECT_EQ(d->height, 480);
    EXPECT_EQ(d->bitsPerPixel, 32);
    delete d;
}

}  // namespace
