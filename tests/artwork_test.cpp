// The installation data: every entry the program loads is in its pack and
// parses with the program's own loader; the textures its parts name exist
// and decode to 32-bit RGBA (24-bit RGB when opaque) with power-of-two
// sides, or are valid procedural names; every model fits where the program
// puts it; and a frame's models stay within the triangle budget.
#include "content/OverlayLayout.h"
#include "content/ScenePlacement.h"
#include "render/PackFile.h"
#include "formats/ModelFormat.h"
#include "formats/ProceduralTextureName.h"
#include "scene/MeshPart.h"
#include "scene/SceneNode.h"
#include "scene/SceneResources.h"
#include "support/TestSupport.h"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::string installDir = QUESSANTA_INSTALL_DIR;

struct Box {
    double min[3] = {1e300, 1e300, 1e300};
    double max[3] = {-1e300, -1e300, -1e300};
    bool empty() const { return min[0] > max[0]; }
    void add(const double p[3]) {
        for (int i = 0; i < 3; ++i) {
            min[i] = std::min(min[i], p[i]);
            max[i] = std::max(max[i], p[i]);
        }
    }
    double width() const { return max[0] - min[0]; }
    double height() const { return max[1] - min[1]; }
};

double readDouble(const unsigned char* p) {
    double d;
    std::memcpy(&d, p, sizeof d);
    return d;
}

struct Decoded {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;
    const unsigned char* at(int x, int y) const { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
};

bool powerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

// A model entry parsed by the loader, with its own geometry read back.
struct LoadedModel {
    std::vector<std::unique_ptr<MeshPart>> parts;
    Box box;
    std::int32_t declaredParts = -1;
};

class ArtworkTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Parts load without a pack cache: textures are checked here by name.
        SceneResources::packCache = nullptr;
        SceneResources::textures = nullptr;
    }

    PackFile& pack(const std::string& name) {
        for (auto& p : packs)
            if (p.first == name) return *p.second;
        const std::string path = installDir + name;
        EXPECT_TRUE(testsupport::fileExists(path)) << path;
        if (!testsupport::fileExists(path)) {
            packs.emplace_back(name, std::make_unique<PackFile>());
        } else {
            packs.emplace_back(name, std::make_unique<PackFile>(path));
        }
        return *packs.back().second;
    }

    // Parses the entry with parseModel and checks every texture it names.
    LoadedModel load(const std::string& packName, const std::string& entryName) {
        LoadedModel m;
        PackFile& p = pack(packName);
        const EntryData e = p.entryData(entryName);
        EXPECT_NE(e.data, nullptr) << packName << " lacks \"" << entryName << "\"";
        if (!e.data) return m;
        EXPECT_GE(e.size, 5u);
        if (e.size < 5) return m;
        const std::size_t countAt = e.data[0] == 255 ? 5 : 1;
        std::memcpy(&m.declaredParts, e.data + countAt, 4);
        std::vector<MeshPart*> raw;
        const std::int32_t n = parseModel(e.data, e.size, packName, raw);
        for (MeshPart* part : raw) m.parts.emplace_back(part);
        EXPECT_EQ(n, m.declaredParts) << packName << ":" << entryName << " has parts the loader cannot read";
        for (const auto& part : m.parts) {
            for (std::int32_t v = 0; v < 3 * part->triangleCount; ++v) {
                double xyz[3];
                for (int k = 0; k < 3; ++k) xyz[k] = readDouble(part->positions + (3 * v + k) * 8);
                m.box.add(xyz);
                for (int k = 0; k < 3; ++k) EXPECT_TRUE(std::isfinite(xyz[k]));
            }
            checkTexture(p, packName, entryName, part->textureName);
        }
        return m;
    }

    void checkTexture(PackFile& p, const std::string& packName, const std::string& entryName, const std::string& texture) {
        const std::string where = packName + ":" + entryName + " names \"" + texture + "\"";
        if (texture.size() >= 2 && texture[1] == '#') {
            ProceduralTextureName parsed;
            EXPECT_TRUE(parseProceduralTextureName(texture, parsed)) << where;
            EXPECT_EQ(proceduralSizeRefusal(parsed, 1024, 0), "") << where;
            EXPECT_TRUE(powerOfTwo(parsed.width) && powerOfTwo(parsed.height)) << where;
            return;
        }
        const Decoded img = decode(p, texture);
        EXPECT_GT(img.width, 0) << where << ": missing or not a 32-bit RGBA or 24-bit RGB image";
    }

    // The image as the program's decoder delivers it, as R, G, B, A (alpha
    // 255 for RGB); empty unless it is 32-bit RGBA in byte order R, G, B, A
    // or 24-bit RGB in byte order R, G, B, with power-of-two sides. `alpha`
    // tells which.
    static Decoded decode(const PackFile& p, const std::string& entry, bool* alpha = nullptr) {
        Decoded out;
        const EntryData e = p.entryData(entry);
        if (!e.data) return out;
        SDL_RWops* rw = SDL_RWFromMem(const_cast<unsigned char*>(e.data), static_cast<int>(e.size));
        SDL_Surface* s = rw ? IMG_Load_RW(rw, 0) : nullptr;
        if (rw) SDL_FreeRW(rw);
        if (!s) return out;
        const SDL_PixelFormat* f = s->format;
        const bool rgba = f->BytesPerPixel == 4 && f->Rmask == 0x000000FFu && f->Gmask == 0x0000FF00u &&
                          f->Bmask == 0x00FF0000u && f->Amask == 0xFF000000u && s->pitch == s->w * 4;
        const bool rgb = f->BytesPerPixel == 3 && f->Rmask == 0x000000FFu && f->Gmask == 0x0000FF00u &&
                         f->Bmask == 0x00FF0000u && f->Amask == 0;
        if ((rgba || rgb) && powerOfTwo(s->w) && powerOfTwo(s->h)) {
            out.width = s->w;
            out.height = s->h;
            for (int y = 0; y < s->h; ++y) {
                const unsigned char* row = static_cast<const unsigned char*>(s->pixels) + y * s->pitch;
                for (int x = 0; x < s->w; ++x) {
                    const unsigned char* px = row + x * f->BytesPerPixel;
                    const unsigned char a = rgba ? px[3] : 255;
                    out.rgba.insert(out.rgba.end(), {px[0], px[1], px[2], a});
                }
            }
            if (alpha) *alpha = rgba;
        }
        SDL_FreeSurface(s);
        return out;
    }

    // Where a flat overlay model shows ink: the bounds of its nearly opaque
    // texels, mapped back through the part's rectangle.
    Box inkBox(const std::string& packName, const LoadedModel& m) {
        Box ink;
        for (const auto& part : m.parts) {
            if (part->procedural || part->triangleCount == 0) continue;
            const Decoded img = decode(pack(packName), part->textureName);
            if (img.width == 0) continue;
            double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300, s0 = 0, s1 = 0, t0 = 0, t1 = 0;
            for (std::int32_t v = 0; v < 3 * part->triangleCount; ++v) {
                const double x = readDouble(part->positions + v * 24), y = readDouble(part->positions + v * 24 + 8);
                const double s = readDouble(part->texCoords + v * 16), t = readDouble(part->texCoords + v * 16 + 8);
                if (x < x0) { x0 = x; s0 = s; }
                if (x > x1) { x1 = x; s1 = s; }
                if (y < y0) { y0 = y; t0 = t; }
                if (y > y1) { y1 = y; t1 = t; }
            }
            const int sx0 = static_cast<int>(std::floor(std::min(s0, s1) * img.width));
            const int sx1 = static_cast<int>(std::ceil(std::max(s0, s1) * img.width));
            const int ty0 = static_cast<int>(std::floor(std::min(t0, t1) * img.height));
            const int ty1 = static_cast<int>(std::ceil(std::max(t0, t1) * img.height));
            for (int ty = std::max(0, ty0); ty < std::min(img.height, ty1); ++ty)
                for (int sx = std::max(0, sx0); sx < std::min(img.width, sx1); ++sx) {
                    if (img.at(sx, ty)[3] < 200) continue;
                    const double s = (sx + 0.5) / img.width, t = (ty + 0.5) / img.height;
                    const double p[3] = {x0 + (s - s0) / (s1 - s0) * (x1 - x0), y0 + (t - t0) / (t1 - t0) * (y1 - y0), 0};
                    ink.add(p);
                }
        }
        return ink;
    }

    std::vector<std::pair<std::string, std::unique_ptr<PackFile>>> packs;
};

TEST_F(ArtworkTest, BackgroundCoversPortraitToThirtyTwoNineWithTheSkyOnTopAndNoSeams) {
    PackFile& mainPack = pack("main.pak");
    const LoadedModel fon = load("main.pak", "fon");
    ASSERT_FALSE(fon.parts.empty());
    // After the node's scale (4, 3) at eye depth 200, 32:9 needs 73.6 x 27.6;
    // narrower screens, portrait ones too, see less of the same height.
    EXPECT_LE(fon.box.min[0], -73.6);
    EXPECT_GE(fon.box.max[0], 73.6);
    EXPECT_LE(fon.box.min[1], -27.6);
    EXPECT_GE(fon.box.max[1], 27.6);
    // The parts are bands from top (model -y is screen up) to bottom, each
    // meeting the next on one line. The first image row is t = 0: t follows
    // y. Wherever the screen shows a band, linear filtering must take only
    // its own rows: half a texel past them it would blend in the far edge
    // (repeat wrap), a line across the sky or the grass.
    const double seen = 200 * std::tan(22.5 * std::acos(-1.0) / 180) / 3;  // half height on screen
    double previousBottom = fon.box.min[1];
    for (std::size_t i = 0; i < fon.parts.size(); ++i) {
        const MeshPart& p = *fon.parts[i];
        const Decoded img = decode(mainPack, p.textureName);
        ASSERT_GT(img.height, 0) << p.textureName;
        double yTop = 1e300, yBottom = -1e300, tAtTop = 0, tAtBottom = 0;
        for (std::int32_t v = 0; v < 3 * p.triangleCount; ++v) {
            const double y = readDouble(p.positions + v * 24 + 8), t = readDouble(p.texCoords + v * 16 + 8);
            if (y < yTop) { yTop = y; tAtTop = t; }
            if (y > yBottom) { yBottom = y; tAtBottom = t; }
        }
        EXPECT_EQ(yTop, previousBottom) << "band " << i;
        previousBottom = yBottom;
        ASSERT_LT(tAtTop, tAtBottom) << "band " << i;
        auto rowAt = [&](double y) {
            return img.height * (tAtTop + (tAtBottom - tAtTop) * (y - yTop) / (yBottom - yTop));
        };
        EXPECT_GE(rowAt(std::max(yTop, -seen)), 0.5 - 1e-9) << "band " << i;
        EXPECT_LE(rowAt(std::min(yBottom, seen)), img.height - 0.5 + 1e-9) << "band " << i;
    }
    EXPECT_EQ(previousBottom, fon.box.max[1]);
    // The sky is bluer than the meadow.
    const Decoded top = decode(mainPack, fon.parts.front()->textureName);
    const Decoded bottom = decode(mainPack, fon.parts.back()->textureName);
    const unsigned char* sky = top.at(top.width / 2, top.height / 10);
    const unsigned char* grass = bottom.at(bottom.width / 2, bottom.height - bottom.height / 10);
    EXPECT_GT(sky[2], sky[1]);
    EXPECT_GT(grass[1], grass[2]);
}

TEST_F(ArtworkTest, FlowersStayUnderTheFlightAndHoldTheRestingButterfly) {
    const LoadedModel flowers = load("main.pak", "flowers");
    ASSERT_FALSE(flowers.box.empty());
    // Half scene units: the flyers pass above z 12 and outside radius 10.5
    // of the bunch's axis; the bunch spreads no wider than that.
    EXPECT_LE(flowers.box.max[2], 12.0);
    EXPECT_LE(std::max(-flowers.box.min[0], flowers.box.max[0]), 12.0);
    EXPECT_LE(std::max(-flowers.box.min[1], flowers.box.max[1]), 12.0);
    // The resting butterfly sits at (0, -3.5, 10.75): a flower head must be
    // right there, and nothing may rise through the butterfly above it.
    double nearest = 1e300;
    bool pierced = false;
    bool shiny = false, alphaTested = false;
    for (const auto& part : flowers.parts) {
        float specular;
        std::memcpy(&specular, part->material + 36, sizeof specular);
        shiny = shiny || specular > 0;
        alphaTested = alphaTested || part->alphaTested();
        for (std::int32_t v = 0; v < 3 * part->triangleCount; ++v) {
            const double x = readDouble(part->positions + v * 24), y = readDouble(part->positions + v * 24 + 8),
                         z = readDouble(part->positions + v * 24 + 16);
            nearest = std::min(nearest, std::hypot(std::hypot(x, y + 3.5), z - 10.75));
            if (std::hypot(x, y + 3.5) < 0.6 && z > 10.75 + 0.5) pierced = true;
        }
    }
    EXPECT_LT(nearest, 0.5);
    EXPECT_FALSE(pierced);
    // Lit petals with a sheen, cut out by the alpha test.
    EXPECT_TRUE(shiny);
    EXPECT_TRUE(alphaTested);
}

TEST_F(ArtworkTest, EachFlowerCutIsTheSameBunchInFewerTriangles) {
    const LoadedModel finest = load("main.pak", scenePlacement::flowerCuts[0].entry);
    const Result<std::uint32_t> finestCrc = pack("main.pak").entryCrc32(scenePlacement::flowerCuts[0].entry);
    ASSERT_TRUE(finestCrc);
    auto triangles = [](const LoadedModel& m) {
        std::int32_t n = 0;
        for (const auto& part : m.parts) n += part->triangleCount;
        return n;
    };
    std::int32_t finer = triangles(finest);
    for (int c = 1; c < scenePlacement::flowerCutCount; ++c) {
        const std::string entry = scenePlacement::flowerCuts[c].entry;
        const LoadedModel cut = load("main.pak", entry);
        // Marked as cut from the finest as packed, or the program never draws it.
        const EntryData bytes = pack("main.pak").entryData(entry);
        std::uint32_t madeFrom = 0;
        EXPECT_TRUE(cutFromCrc(bytes.data, bytes.size, &madeFrom)) << entry;
        EXPECT_EQ(madeFrom, *finestCrc) << entry;
        ASSERT_EQ(cut.parts.size(), finest.parts.size()) << entry;
        for (std::size_t i = 0; i < cut.parts.size(); ++i) {
            EXPECT_EQ(cut.parts[i]->textureName, finest.parts[i]->textureName) << entry << " part " << i;
            EXPECT_EQ(std::memcmp(cut.parts[i]->material, finest.parts[i]->material, renderBlock::size), 0)
                << entry << " part " << i;
        }
        EXPECT_LT(triangles(cut), finer) << entry;
        finer = triangles(cut);
        // The bunch's outermost points are corners of every cut: another
        // bunch (its generator's draws out of step) would move them.
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(cut.box.min[k], finest.box.min[k], 0.01) << entry << " axis " << k;
            EXPECT_NEAR(cut.box.max[k], finest.box.max[k], 0.01) << entry << " axis " << k;
        }
    }
}

TEST_F(ArtworkTest, ButterfliesLieAlongXWithWingsAlongY) {
    for (int n = 1; n <= 5; ++n) {
        const std::string name = "butterfly" + std::to_string(n) + ".pak";
        SCOPED_TRACE(name);
        const LoadedModel body = load(name, "brushko");
        const LoadedModel wing = load(name, "krilo");
        ASSERT_FALSE(body.box.empty());
        ASSERT_FALSE(wing.box.empty());
        // The body: longest along x, head (antennae) forward.
        EXPECT_GT(body.box.width(), 2 * body.box.height());
        EXPECT_GT(body.box.max[0], 5.0);
        EXPECT_LT(body.box.max[2] - body.box.min[2], 8.0);
        // The wing: hinged on the x axis, spreading along +y about 17 units,
        // flat in the x-y plane, alpha-tested.
        EXPECT_GE(wing.box.min[1], -0.5);
        EXPECT_GE(wing.box.max[1], 14.0);
        EXPECT_LE(wing.box.max[1], 20.0);
        EXPECT_LE(wing.box.max[2] - wing.box.min[2], 0.6);
        EXPECT_LE(std::max(-wing.box.min[0], wing.box.max[0]), 11.0);
        for (const auto& part : wing.parts) EXPECT_TRUE(part->alphaTested());
    }
}

TEST_F(ArtworkTest, FiveDifferentButterflies) {
    // Each species has its own wing picture: the mean colours differ.
    std::vector<std::array<double, 3>> means;
    for (int n = 1; n <= 5; ++n) {
        const std::string name = "butterfly" + std::to_string(n) + ".pak";
        const LoadedModel wing = load(name, "krilo");
        ASSERT_FALSE(wing.parts.empty());
        const Decoded img = decode(pack(name), wing.parts[0]->textureName);
        ASSERT_GT(img.width, 0);
        std::array<double, 3> sum{0, 0, 0};
        double count = 0;
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x)
                if (img.at(x, y)[3] > 200) {
                    for (int c = 0; c < 3; ++c) sum[c] += img.at(x, y)[c];
                    ++count;
                }
        ASSERT_GT(count, 0);
        for (double& c : sum) c /= count;
        means.push_back(sum);
    }
    for (std::size_t i = 0; i < means.size(); ++i)
        for (std::size_t j = i + 1; j < means.size(); ++j) {
            const double d = std::fabs(means[i][0] - means[j][0]) + std::fabs(means[i][1] - means[j][1]) +
                             std::fabs(means[i][2] - means[j][2]);
            EXPECT_GT(d, 30) << "species " << i + 1 << " and " << j + 1 << " look alike";
        }
}

TEST_F(ArtworkTest, AnalogueClockFitsItsCorner) {
    // The dial is centred on the node, 9.3 and 9 units in from the corner.
    for (const char* entry : {"ciferblat", "sec", "min", "chas"}) {
        SCOPED_TRACE(entry);
        const LoadedModel m = load("clock.pak", entry);
        ASSERT_FALSE(m.box.empty());
        for (int i = 0; i < 2; ++i) {
            EXPECT_GE(m.box.min[i], -8.5);
            EXPECT_LE(m.box.max[i], 8.5);
        }
    }
    // The hands pivot at the origin and point to +y at angle 0.
    for (const char* hand : {"sec", "min", "chas"}) {
        SCOPED_TRACE(hand);
        const LoadedModel m = load("clock.pak", hand);
        EXPECT_GT(m.box.max[1], 2 * -m.box.min[1]);
        EXPECT_LT(m.box.min[1], 0);
        EXPECT_LT(m.box.width(), 1.5);
    }
    EXPECT_GT(load("clock.pak", "min").box.max[1], load("clock.pak", "chas").box.max[1]);
}

TEST_F(ArtworkTest, DigitalClockGlyphsFitTheirSlots) {
    using namespace overlayLayout;
    // A digit shows at most about 3.6 wide, less than its slot; it stands on
    // the origin, above the screen's edge.
    for (int d = 0; d <= 9; ++d) {
        SCOPED_TRACE(d);
        const LoadedModel m = load("clock.pak", std::to_string(d));
        EXPECT_LE(m.box.width(), 3.98);
        EXPECT_GE(m.box.min[1], -clockDigitalY);
        const Box ink = inkBox("clock.pak", m);
        ASSERT_FALSE(ink.empty());
        EXPECT_LE(ink.width(), 3.6);
        EXPECT_NEAR(ink.min[1], 0.0, 0.5);
        EXPECT_GE(ink.max[1], 4.8);
        EXPECT_LE(ink.max[1], 6.5);
    }
    const Box dot = inkBox("clock.pak", load("clock.pak", "dot"));
    EXPECT_LE(dot.width(), 1.6);
    for (const char* sign : {"am", "pm"}) {
        SCOPED_TRACE(sign);
        const LoadedModel m = load("clock.pak", sign);
        // Clear of the screen's edge when the 12-hour clock stands furthest left.
        EXPECT_LE(m.box.max[0], -clockDigitalX + clock12hShift - clockAmPmX);
        EXPECT_GE(m.box.min[1], -clockDigitalY);
        EXPECT_FALSE(inkBox("clock.pak", m).empty());
    }
}

TEST_F(ArtworkTest, DigitalClockPlatesSpanTheSlots) {
    using namespace overlayLayout;
    const LoadedModel plate = load("clock.pak", "podlozka");
    EXPECT_LE(plate.box.min[0], clockHourTensX - 1.8);
    EXPECT_GE(plate.box.max[0], clockMinuteUnitsX + 1.8);
    EXPECT_LE(plate.box.max[0], -clockDigitalX);  // the right screen edge
    EXPECT_GE(plate.box.min[1], -clockDigitalY);  // the bottom screen edge
    EXPECT_GE(plate.box.max[1], 6.0);
    const LoadedModel wide = load("clock.pak", "podlozka_am");
    EXPECT_LE(wide.box.min[0], clockHourTensX - 1.8);
    EXPECT_GE(wide.box.max[0], clockAmPmX + 1.5);
    EXPECT_LE(wide.box.max[0], -clockDigitalX + clock12hShift);
    EXPECT_GE(wide.box.min[1], -clockDigitalY);
}

TEST_F(ArtworkTest, CalendarPiecesFitTheGrid) {
    for (const char* page : {"fon", "fon_rus"}) {
        SCOPED_TRACE(page);
        const LoadedModel m = load("calendar.pak", page);
        // Centred at (-16, -12): about 64 x 72, covering the cells
        // (x -44 ... 12, y -44 ... 4) and the month name.
        EXPECT_LE(m.box.width(), 68.0);
        EXPECT_LE(m.box.height(), 76.0);
        EXPECT_LE(m.box.min[0], -28.0);
        EXPECT_GE(m.box.max[0], 28.0);
        EXPECT_LE(m.box.min[1], -32.0);
        EXPECT_GE(m.box.max[1], 32.0);
    }
    for (const char* row : {"day", "day_rus"}) {
        SCOPED_TRACE(row);
        const Box ink = inkBox("calendar.pak", load("calendar.pak", row));
        ASSERT_FALSE(ink.empty());
        // Names centred over the first and last columns.
        using namespace overlayLayout;
        EXPECT_NEAR(ink.min[0], calendarCellX(0) - calendarPageX - 1.5, 1.5);
        EXPECT_NEAR(ink.max[0], calendarCellX(6) - calendarPageX + 1.5, 1.5);
        EXPECT_LE(ink.height(), 6.0);
    }
    for (int month = 1; month <= 12; ++month) {
        SCOPED_TRACE(month);
        const Box ink = inkBox("calendar.pak", load("calendar.pak", "m" + std::to_string(month)));
        ASSERT_FALSE(ink.empty());
        // Clear of the picture's edges, so no letter is cut.
        EXPECT_LE(std::max(-ink.min[0], ink.max[0]), 29.0);
        EXPECT_LE(std::max(-ink.min[1], ink.max[1]), 5.8);
    }
    for (int day = 1; day <= 31; ++day) {
        SCOPED_TRACE(day);
        const LoadedModel m = load("calendar.pak", std::to_string(day));
        EXPECT_LE(m.box.width(), overlayLayout::calendarCellPitch);
        const Box ink = inkBox("calendar.pak", m);
        ASSERT_FALSE(ink.empty());
        EXPECT_LE(ink.width(), overlayLayout::calendarCellPitch - 1);
        EXPECT_NEAR((ink.min[0] + ink.max[0]) / 2, 0.0, 0.6);
        EXPECT_NEAR((ink.min[1] + ink.max[1]) / 2, 0.0, 0.8);
    }
    const LoadedModel marker = load("calendar.pak", "sel");
    EXPECT_LE(std::max(-marker.box.min[0], marker.box.max[0]), 4.6);
    EXPECT_LE(std::max(-marker.box.min[1], marker.box.max[1]), 4.6);
    bool fire = false;
    for (const auto& part : marker.parts) fire = fire || part->procedural;
    EXPECT_TRUE(fire);
    // An empty cell draws nothing.
    const LoadedModel empty = load("calendar.pak", "null");
    std::int32_t triangles = 0;
    for (const auto& part : empty.parts) triangles += part->triangleCount;
    EXPECT_EQ(triangles, 0);
}

TEST_F(ArtworkTest, FrameCounterLabelAndDigitsFitTheirPlaces) {
    const LoadedModel label = load("utils.pak", "fps");
    EXPECT_GE(label.box.min[0], -4.5);
    EXPECT_LE(label.box.max[0], 0.0);
    for (int d = 0; d <= 9; ++d) {
        SCOPED_TRACE(d);
        const LoadedModel m = load("utils.pak", std::to_string(d));
        // No wider than the distance between places.
        EXPECT_LE(m.box.width(), overlayLayout::counterTensX - overlayLayout::counterHundredsX + 1e-9);
        EXPECT_LE(m.box.width(), overlayLayout::counterUnitsX - overlayLayout::counterTensX + 1e-9);
        const Box ink = inkBox("utils.pak", m);
        ASSERT_FALSE(ink.empty());
        EXPECT_LE(ink.width(), 1.3);
        EXPECT_NEAR((ink.min[1] + ink.max[1]) / 2, 0.0, 0.3);
    }
}

double areaXY(const MeshPart& p) {
    double sum = 0;
    for (std::int32_t t = 0; t < p.triangleCount; ++t) {
        double x[3], y[3];
        for (int k = 0; k < 3; ++k) {
            x[k] = readDouble(p.positions + (3 * t + k) * 24);
            y[k] = readDouble(p.positions + (3 * t + k) * 24 + 8);
        }
        sum += std::fabs((x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0])) / 2;
    }
    return sum;
}

TEST_F(ArtworkTest, BlendedOverlayPiecesDrawTheirInkAndLittleElse) {
    // The calendar's shadow goes round the page, not under it: the two tile
    // the shadow's rectangle, without a gap or an overlap.
    for (const char* page : {"fon", "fon_rus"}) {
        SCOPED_TRACE(page);
        const LoadedModel m = load("calendar.pak", page);
        ASSERT_EQ(m.parts.size(), 2u);
        Box shadow;
        for (std::int32_t v = 0; v < 3 * m.parts[0]->triangleCount; ++v) {
            const double p[3] = {readDouble(m.parts[0]->positions + v * 24), readDouble(m.parts[0]->positions + v * 24 + 8), 0};
            shadow.add(p);
        }
        EXPECT_NEAR(areaXY(*m.parts[0]) + areaXY(*m.parts[1]), shadow.width() * shadow.height(), 1e-6);
    }
    // Titles and glyphs cut to their ink keep every texel with any alpha,
    // with at most the one texel around it that linear filtering reads.
    std::vector<std::pair<std::string, std::string>> pieces = {{"calendar.pak", "day"}, {"calendar.pak", "day_rus"},
                                                               {"utils.pak", "fps"},    {"clock.pak", "dot"},
                                                               {"clock.pak", "am"},     {"clock.pak", "pm"}};
    for (int n = 1; n <= 12; ++n) pieces.push_back({"calendar.pak", "m" + std::to_string(n)});
    for (int d = 0; d <= 9; ++d) {
        pieces.push_back({"clock.pak", std::to_string(d)});
        pieces.push_back({"utils.pak", std::to_string(d)});
    }
    for (const auto& piece : pieces) {
        SCOPED_TRACE(piece.first + ":" + piece.second);
        const LoadedModel m = load(piece.first, piece.second);
        ASSERT_EQ(m.parts.size(), 1u);
        const MeshPart& part = *m.parts[0];
        const Decoded img = decode(pack(piece.first), part.textureName);
        ASSERT_GT(img.width, 0);
        double s0 = 1e300, s1 = -1e300, t0 = 1e300, t1 = -1e300;
        for (std::int32_t v = 0; v < 3 * part.triangleCount; ++v) {
            const double s = readDouble(part.texCoords + v * 16), t = readDouble(part.texCoords + v * 16 + 8);
            s0 = std::min(s0, s), s1 = std::max(s1, s), t0 = std::min(t0, t), t1 = std::max(t1, t);
        }
        int left = img.width, right = 0, top = img.height, bottom = 0;
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x)
                if (img.at(x, y)[3] != 0) {
                    left = std::min(left, x), right = std::max(right, x + 1);
                    top = std::min(top, y), bottom = std::max(bottom, y + 1);
                }
        ASSERT_LT(left, right);
        const double w = img.width, h = img.height, e = 1e-9;
        EXPECT_LE(s0 * w, left + e);
        EXPECT_GE(s1 * w, right - e);
        EXPECT_LE(t0 * h, top + e);
        EXPECT_GE(t1 * h, bottom - e);
        EXPECT_GE(s0 * w, left - 1 - e);
        EXPECT_LE(s1 * w, right + 1 + e);
        EXPECT_GE(t0 * h, top - 1 - e);
        EXPECT_LE(t1 * h, bottom + 1 + e);
    }
}

TEST_F(ArtworkTest, EveryImageEntryHasPowerOfTwoSidesAndAlphaOnlyIfItIsNotOpaque) {
    for (const char* name : {"main.pak", "utils.pak", "butterfly1.pak", "butterfly2.pak", "butterfly3.pak",
                             "butterfly4.pak", "butterfly5.pak", "clock.pak", "calendar.pak"}) {
        PackFile& p = pack(name);
        EXPECT_GT(p.entryCount(), 0u) << name;
        for (std::size_t i = 0; i < p.entryCount(); ++i) {
            const std::string& entry = p.entryName(i);
            if (entry.size() < 4 || entry.compare(entry.size() - 4, 4, ".png") != 0) continue;
            bool alpha = false;
            const Decoded img = decode(p, entry, &alpha);
            EXPECT_GT(img.width, 0) << name << ":" << entry;
            // An opaque picture (the meadow) is stored without alpha.
            bool translucent = false;
            for (std::size_t k = 3; k < img.rgba.size() && !translucent; k += 4) translucent = img.rgba[k] != 255;
            EXPECT_EQ(alpha, translucent) << name << ":" << entry;
        }
    }
}

TEST_F(ArtworkTest, AFrameDrawsAtMostTwentyTwoThousandTriangles) {
    auto triangles = [&](const std::string& packName, const std::string& entry) {
        std::int32_t n = 0;
        for (const auto& part : load(packName, entry).parts) n += part->triangleCount;
        return n;
    };
    // The flowers, the meadow and four butterflies of the heaviest species,
    // each with two wings.
    std::int32_t butterfly = 0;
    for (int n = 1; n <= 5; ++n) {
        const std::string name = "butterfly" + std::to_string(n) + ".pak";
        butterfly = std::max(butterfly, triangles(name, "brushko") + 2 * triangles(name, "krilo"));
    }
    const std::int32_t scene = triangles("main.pak", "flowers") + triangles("main.pak", "fon") + 4 * butterfly;
    // Every overlay model once: more than any frame shows of them.
    std::int32_t overlays = 0;
    for (const char* name : {"clock.pak", "calendar.pak", "utils.pak"}) {
        PackFile& p = pack(name);
        for (std::size_t i = 0; i < p.entryCount(); ++i) {
            const std::string& entry = p.entryName(i);
            if (entry.size() < 4 || entry.compare(entry.size() - 4, 4, ".png") != 0) overlays += triangles(name, entry);
        }
    }
    EXPECT_LE(scene + overlays, 22000) << "scene " << scene << ", overlays " << overlays;
}

TEST_F(ArtworkTest, PreviewIsA24BitBitmapOfTheScene) {
    const std::vector<unsigned char> bmp = testsupport::readFile(installDir + "preview.ppk");
    ASSERT_GE(bmp.size(), 54u);
    auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(bmp[at]) | (static_cast<std::uint32_t>(bmp[at + 1]) << 8) |
               (static_cast<std::uint32_t>(bmp[at + 2]) << 16) | (static_cast<std::uint32_t>(bmp[at + 3]) << 24);
    };
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(u32(18), 152u);
    EXPECT_EQ(u32(22), 112u);
    EXPECT_EQ(bmp[28], 24);
    EXPECT_EQ(u32(2), bmp.size());
    // SDL reads it as the preview does.
    SDL_RWops* rw = SDL_RWFromMem(const_cast<unsigned char*>(bmp.data()), static_cast<int>(bmp.size()));
    SDL_Surface* s = SDL_LoadBMP_RW(rw, 1);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->w, 152);
    EXPECT_EQ(s->h, 112);
    EXPECT_EQ(s->format->BitsPerPixel, 24);
    // Not a blank picture: the top (sky) is bluer than the bottom (meadow).
    const unsigned char* px = static_cast<const unsigned char*>(s->pixels);
    // The surface's rows run top to bottom, pixels as B, G, R.
    const unsigned char* top = px + 5 * s->pitch + 76 * 3;
    const unsigned char* bottom = px + (s->h - 5) * s->pitch + 76 * 3;
    EXPECT_GT(top[0], top[2]);
    EXPECT_GT(bottom[1], bottom[0]);
    SDL_FreeSurface(s);
}

}  // namespace
