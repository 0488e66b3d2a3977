// The procedural texture generators and the name parser, without OpenGL.
#include "render/FireGenerator.h"
#include "render/PlasmaGenerator.h"
#include "formats/ProceduralTextureName.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

struct Pixel {
    int r, g, b, a;
    bool operator==(const Pixel& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};
std::ostream& operator<<(std::ostream& os, const Pixel& p) {
    return os << "(" << p.r << ", " << p.g << ", " << p.b << ", " << p.a << ")";
}

Pixel at(const Bytes& pixels, int width, int x, int y) {
    const unsigned char* p = &pixels[static_cast<std::size_t>((y * width + x) * 4)];
    return {p[0], p[1], p[2], p[3]};
}

Bytes plasma(int w, int h, std::int32_t t, PlasmaColour c) {
    Bytes out(static_cast<std::size_t>(w * h * 4));
    generatePlasma(t, w, h, out.data(), &c);
    return out;
}

TEST(Plasma, KnownPixels) {
    const Bytes p = plasma(64, 64, 0, {10, 20, 30});
    EXPECT_EQ(at(p, 64, 0, 0), (Pixel{18, 127, 38, 255}));  // v = 128, on the grid
    EXPECT_EQ(at(p, 64, 1, 1), (Pixel{46, 56, 66, 0}));     // v = 156
    EXPECT_EQ(at(p, 64, 25, 1), (Pixel{16, 26, 36, 255}));  // v = 126, a band
    // Colour sums wrap modulo 256: v = 156 on a bright base.
    const Bytes wrap = plasma(64, 64, 0, {250, 220, 255});
    EXPECT_EQ(at(wrap, 64, 1, 1), (Pixel{30, 0, 35, 0}));
}

TEST(Plasma, GridLinesIncludeTheLastColumnAndRow) {
    const int w = 64, h = 32;
    const Bytes p = plasma(w, h, 4321, {0, 0, 0});
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Pixel px = at(p, w, x, y);
            const bool grid = x % 16 == 0 || y % 16 == 0 || x == w - 1 || y == h - 1;
            // Away from the grid, red, green and blue carry the same offset,
            // and only offsets 1 to 6 are opaque (7, i.e. v = 127, is not).
            if (grid) {
                EXPECT_EQ(px.g, 127) << x << "," << y;
                EXPECT_EQ(px.a, 255) << x << "," << y;
            } else {
                EXPECT_EQ(px.g, px.r) << x << "," << y;
                const int d = px.r <= 134 ? px.r : px.r - 256;
                EXPECT_EQ(px.a, (d >= 1 && d <= 6) ? 255 : 0) << x << "," << y << " v " << d + 120;
            }
        }
    }
    // Columns 62 and rows 30 are not grid lines.
    int offGrid = 0;
    for (int y = 1; y < 15; ++y) offGrid += at(p, w, 62, y).g != 127;
    for (int x = 1; x < 15; ++x) offGrid += at(p, w, x, 30).g != 127;
    EXPECT_GT(offGrid, 20);
}

TEST(Plasma, FastGeneratorMatchesTheDirectFormulaByteForByte) {
    const std::vector<std::pair<int, int>> sizes = {{1, 1}, {3, 5}, {16, 16}, {64, 32}, {100, 37}, {37, 100}, {256, 256}};
    const std::vector<std::int32_t> times = {0, 1, 999, 123456, 86400000, INT_MAX, -5000, INT_MIN};
    PlasmaColour colour{200, 17, 99};
    for (const auto& [w, h] : sizes) {
        for (std::int32_t t : times) {
            Bytes fast(static_cast<std::size_t>(w * h * 4), 0xAA);
            Bytes direct(fast.size(), 0x55);
            generatePlasma(t, w, h, fast.data(), &colour);
            generatePlasmaDirect(t, w, h, direct.data(), &colour);
            ASSERT_EQ(fast, direct) << w << "x" << h << " at " << t;
            // The sums themselves agree to the last bit.
            std::vector<double> fastSums(static_cast<std::size_t>(w * h)), directSums(fastSums.size());
            plasmaSums(t, w, h, fastSums.data());
            plasmaSumsDirect(t, w, h, directSums.data());
            ASSERT_EQ(std::memcmp(fastSums.data(), directSums.data(), fastSums.size() * sizeof(double)), 0)
                << w << "x" << h << " at " << t;
        }
    }
}

TEST(Fire, PaletteEntries) {
    FireState fire(8, 8);
    const std::vector<std::pair<int, Pixel>> known = {
        {0, {0, 0, 0, 0}},           {1, {3, 0, 0, 2}},           {32, {127, 25, 18, 70}},
        {63, {251, 50, 35, 137}},    {64, {255, 51, 36, 140}},    {80, {255, 120, 43, 197}},
        {96, {255, 189, 51, 255}},   {128, {255, 237, 51, 255}},  {162, {177, 168, 120, 255}},
        {195, {102, 102, 186, 255}}, {196, {100, 100, 189, 255}}, {225, {176, 164, 121, 255}},
        {254, {252, 228, 53, 255}},
    };
    for (const auto& [i, expected] : known) {
        const unsigned char* e = fire.palette[i];
        EXPECT_EQ((Pixel{e[0], e[1], e[2], e[3]}), expected) << "entry " << i;
    }
    EXPECT_EQ(fire.width, 8);
    EXPECT_EQ(fire.rows, 11);
}

// The sparks one call places, derived from the same seed by the call order
// the fire must follow.
struct Spark {
    int row, column, value;
};
std::vector<Spark> expectedSparks(unsigned seed, int w, int h) {
    std::srand(seed);
    std::vector<Spark> sparks;
    const int n = std::rand() & (w - 1);
    for (int i = 0; i < n; ++i) {
        const int column = std::rand() % w;
        const int row = h + std::rand() % 3;
        const int value = std::rand() & 0xFF;
        sparks.push_back({row, column, value});
    }
    const int column = std::rand() % w;
    const int row = (h >> 1) + std::rand() % (h >> 1);
    const int value = std::rand() & 0xFF;
    sparks.push_back({row, column, value});
    return sparks;
}

TEST(Fire, FirstCallPlacesSparksInRandomCallOrder) {
    const int w = 32, h = 16;
    for (unsigned seed : {1u, 7u, 12345u}) {
        const std::vector<Spark> sparks = expectedSparks(seed, w, h);
        const int afterwards = std::rand();

        FireState fire(w, h);
        Bytes pixels(static_cast<std::size_t>(w * h * 4), 0xEE);
        std::srand(seed);
        generateFire(0, w, h, pixels.data(), &fire);
        // Exactly as many draws as the model made.
        EXPECT_EQ(std::rand(), afterwards) << "seed " << seed;

        // The buffer the sparks fell into is `next` after the swap.
        Bytes sparked(static_cast<std::size_t>(w * (h + 3)), 0);
        for (const Spark& s : sparks) sparked[static_cast<std::size_t>(s.row * w + s.column)] =
            static_cast<unsigned char>(s.value);
        EXPECT_EQ(Bytes(fire.next, fire.next + w * (h + 3)), sparked) << "seed " << seed;

        // On all-zero fields the image is palette entry 0, except where a
        // spark's heat reached the two rows above it.
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                bool nearSpark = false;
                for (const Spark& s : sparks)
                    nearSpark = nearSpark || (s.value > 0 && std::abs(s.column - x) <= 1 && s.row >= y && s.row <= y + 2);
                if (!nearSpark) {
                    EXPECT_EQ(at(pixels, w, x, y), (Pixel{0, 0, 0, 0})) << x << "," << y;
                }
            }
        }
    }
}

TEST(Fire, HeatSpreadsUpwardsCoolsAndKeepsBorderColumnsBlack) {
    const int w = 16, h = 10;
    FireState fire(w, h);
    // A uniform heat of 80 everywhere: an interior cell untouched by sparks
    // averages 80 over its eight neighbours and cools to 79.
    for (int i = 0; i < w * (h + 3); ++i) fire.current[i] = 80;
    const std::vector<Spark> sparks = expectedSparks(99, w, h);
    std::srand(99);
    Bytes pixels(static_cast<std::size_t>(w * h * 4));
    generateFire(0, w, h, pixels.data(), &fire);
    const unsigned char* p79 = fire.palette[79];
    int checked = 0;
    for (int y = 0; y < h; ++y) {
        EXPECT_EQ(at(pixels, w, 0, y), (Pixel{0, 0, 0, 0}));
        EXPECT_EQ(at(pixels, w, w - 1, y), (Pixel{0, 0, 0, 0}));
        for (int x = 1; x < w - 1; ++x) {
            bool touched = false;
            for (const Spark& s : sparks)
                touched = touched || (std::abs(s.column - x) <= 1 && s.row >= y && s.row <= y + 2);
            if (touched) continue;
            EXPECT_EQ(at(pixels, w, x, y), (Pixel{p79[0], p79[1], p79[2], p79[3]})) << x << "," << y;
            ++checked;
        }
    }
    EXPECT_GT(checked, w * h / 3);
    // Many steps later the border columns are still black.
    for (int step = 0; step < 50; ++step) generateFire(0, w, h, pixels.data(), &fire);
    for (int y = 0; y < h; ++y) {
        EXPECT_EQ(at(pixels, w, 0, y), (Pixel{0, 0, 0, 0}));
        EXPECT_EQ(at(pixels, w, w - 1, y), (Pixel{0, 0, 0, 0}));
    }
}

TEST(ProceduralName, ValidNames) {
    ProceduralTextureName n;
    ASSERT_TRUE(parseProceduralTextureName("p#Plasma64x32,10,20,30", n));
    EXPECT_EQ(n.type, ProceduralTextureName::Type::Plasma);
    EXPECT_EQ(n.width, 64);
    EXPECT_EQ(n.height, 32);
    EXPECT_EQ(n.red, 10);
    EXPECT_EQ(n.green, 20);
    EXPECT_EQ(n.blue, 30);

    // Any first character and any separators; white space before numbers;
    // colours keep their low 8 bits.
    ASSERT_TRUE(parseProceduralTextureName("@#Plasma8* 4; 300;-1;256", n));
    EXPECT_EQ(n.width, 8);
    EXPECT_EQ(n.height, 4);
    EXPECT_EQ(n.red, 44);
    EXPECT_EQ(n.green, 255);
    EXPECT_EQ(n.blue, 0);

    ASSERT_TRUE(parseProceduralTextureName("f#Fire64x128 and anything after", n));
    EXPECT_EQ(n.type, ProceduralTextureName::Type::Fire);
    EXPECT_EQ(n.width, 64);
    EXPECT_EQ(n.height, 128);
}

TEST(ProceduralName, InvalidNames) {
    ProceduralTextureName n;
    for (const char* bad : {"", "p", "p#", "p#Plasma", "p#Fire", "p#Smoke64x64", "p#plasma64x64,1,2,3",
                            "p#Plasma 64x64,1,2,3", "p#Fire64", "p#Fire64x", "p#Fire64xx", "p#Plasma4x4",
                            "p#Plasma4x4,1,2", "p#Plasma4x4,1,2,", "f#Fire99999999999x8", "#Fire8x8"}) {
        EXPECT_FALSE(parseProceduralTextureName(bad, n)) << bad;
    }
}

TEST(ProceduralName, SizeLimits) {
    // name, what OpenGL allows, bytes of procedural pixels alive, usable
    const struct {
        const char* name;
        std::int32_t glMax;
        std::int64_t inUse;
        bool usable;
    } rows[] = {
        {"p#Plasma1x1,0,0,0", 1024, 0, true},
        {"f#Fire2x2", 1024, 0, true},
        {"f#Fire1024x1024", 1024, 0, true},
        {"f#Fire1025x8", 1024, 0, false},
        {"f#Fire1x8", 1024, 0, false},
        {"f#Fire8x1", 1024, 0, false},
        {"p#Plasma0x8,0,0,0", 1024, 0, false},
        {"p#Plasma8x-8,0,0,0", 1024, 0, false},
        // The image limit holds whatever OpenGL allows.
        {"p#Plasma8192x16,1,2,3", 16384, 0, true},
        {"p#Plasma8193x16,1,2,3", 16384, 0, false},
        {"f#Fire16x16384", 16384, 0, false},
        {"p#Plasma16384,16384,1,2,3", 16384, 0, false},
        {"p#Plasma40000x40000,0,0,0", 65536, 0, false},
        // The budget: 128 MiB of pixels alive at once, this one included.
        {"p#Plasma8192x4096,1,2,3", 16384, 0, true},
        {"p#Plasma8192x4096,1,2,3", 16384, 4, false},
        {"f#Fire8192x8192", 16384, 0, false},
        {"f#Fire1024x1024", 16384, (std::int64_t(128) << 20) - 4 * 1024 * 1024, true},
        {"f#Fire1024x1024", 16384, (std::int64_t(128) << 20) - 4 * 1024 * 1024 + 1, false},
    };
    for (const auto& row : rows) {
        ProceduralTextureName n;
        ASSERT_TRUE(parseProceduralTextureName(row.name, n)) << row.name;
        const std::string refusal = proceduralSizeRefusal(n, row.glMax, row.inUse);
        EXPECT_EQ(refusal.empty(), row.usable) << row.name << " in use " << row.inUse << ": " << refusal;
    }
}

}  // namespace
