// The overlay assembly from the settings flags, on real displays of two
// shapes: which overlays exist, in what order, where, and what they draw.
#include "app/OverlayAssembly.h"
#include "formats/Settings.h"
#include "content/Calendar.h"
#include "content/Clock.h"
#include "content/FrameCounter.h"
#include "render/Display.h"
#include "scene/MotionFunctions.h"
#include "support/FakeClock.h"
#include "support/OverlayFixture.h"

#include <GL/glu.h>

#include <cmath>
#include <cstring>
#include <memory>

using testsupport::OverlayFixture;

namespace {

using Names = std::vector<std::string>;

class OverlayAssembly : public OverlayFixture {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs an X display (DISPLAY)";
        OverlayFixture::SetUp();
        lastHourTens = lastHourUnits = lastMinuteTens = lastMinuteUnits = lastSecond = lastAmPm = -1;
        lastCalendarDay = -1;
        lastCalendarMonth = -1;
        frameCount = 0;
    }
    void TearDown() override {
        OverlayFixture::TearDown();
        display.reset();
    }

    Display& open(int width, int height) {
        display.reset();
        display = std::make_unique<Display>(width, height, 32);
        return *display;
    }

    SceneNode& assemble(const Settings& settings) {
        SceneNode* root = new SceneNode;
        roots.push_back(root);
        nodes = buildOverlays(settings, *display, *root);
        return *root;
    }

    OverlayNodes nodes{};  // of the last assembly

    static const Motion& onlyMotion(const SceneNode& node) {
        EXPECT_EQ(node.track.motions.size(), 1u);
        return node.track.motions.at(0);
    }

    static void expectPosition(const SceneNode& node, double x, double y, double z) {
        EXPECT_DOUBLE_EQ(node.transform.position.x, x);
        EXPECT_DOUBLE_EQ(node.transform.position.y, y);
        EXPECT_DOUBLE_EQ(node.transform.position.z, z);
    }

    static void expectOneShot(const Motion& m, MotionFunction function, std::int32_t selector) {
        EXPECT_EQ(m.function, function);
        EXPECT_EQ(m.selector, selector);
        EXPECT_FALSE(m.endless);
        EXPECT_EQ(m.duration, -1);
        EXPECT_EQ(m.id, 1);
        EXPECT_TRUE(m.active);
    }

    std::unique_ptr<Display> display;
};

TEST_F(OverlayAssembly, DefaultsGiveEnglishCalendarNoCounterAndLargeTwelveHourClock) {
    const Display& d = open(640, 480);
    SceneNode& root = assemble(Settings());
    ASSERT_EQ(root.children.size(), 2u);
    const SceneNode& calendar = *root.children[0];
    expectPosition(calendar, -d.edgeX(-211), d.edgeY(183), -140);
    expectOneShot(onlyMotion(calendar), buildCalendar, 1);
    const SceneNode& clock = *root.children[1];
    expectPosition(clock, -d.edgeX(-70), d.edgeY(-70), 30);
    expectOneShot(onlyMotion(clock), buildDigitalClock, 0);
    // The root: at the origin, depth testing off around each overlay.
    expectPosition(root, 0, 0, 0);
    ASSERT_EQ(root.callbacks.size(), 1u);
    EXPECT_EQ(root.callbacks[0].function, noDepthTest);
    EXPECT_EQ(root.callbacks[0].argument, 0);

    ASSERT_TRUE(testsupport::setLocalTime("2024-02-29 19:05:01"));
    frame(16, root);
    frame(32, root);
    const Names names = drawnNames();
    ASSERT_EQ(names.size(), 46u + 6u);  // background and the 45 models of the page; plate and five digits
    EXPECT_EQ(names[0], "fon");
    EXPECT_EQ(names[1], "day");
    EXPECT_EQ(Names(names.end() - 6, names.end()), (Names{"podlozka_am", "pm", "7", "dot", "0", "5"}));
    for (const auto& part : drawn) EXPECT_FALSE(part.depthTest) << part.entry << " drawn with depth testing";
}

TEST_F(OverlayAssembly, EverythingOnInOrderCalendarCounterClock) {
    const Display& d = open(640, 480);
    Settings s;
    s.showFps = 1;
    s.russianCalendar = 1;
    s.clock24h = 1;
    s.largeClock = 0;
    SceneNode& root = assemble(s);
    ASSERT_EQ(root.children.size(), 3u);
    EXPECT_EQ(nodes, (OverlayNodes{root.children[0], root.children[1], root.children[2]}));
    expectOneShot(onlyMotion(*root.children[0]), buildCalendar, 0);
    const SceneNode& counter = *root.children[1];
    expectPosition(counter, d.edgeX(-100) + 5, -2.5 - d.edgeY(-100), 0);
    EXPECT_EQ(modelEntryName(counter), "fps");
    const Motion& update = onlyMotion(counter);
    EXPECT_EQ(update.function, updateFrameCounter);
    EXPECT_EQ(update.argument, 0);
    EXPECT_TRUE(update.endless);
    const SceneNode& clock = *root.children[2];
    expectPosition(clock, -d.edgeX(-170), d.edgeY(-170), -70);
    expectOneShot(onlyMotion(clock), buildDigitalClock, 1);

    // What the run statistics read back from this tree.
    ASSERT_TRUE(testsupport::setLocalTime("2024-02-29 19:05:01"));
    frame(16, root);
    frame(32, root);
    EXPECT_EQ(describeOverlays(nodes, root, s), "clock=1|9|dot|0|5 calendar=m2,29,first=3 fps=0");
}

TEST_F(OverlayAssembly, NoClockWithoutShowClockWhateverTheOtherClockFlags) {
    open(640, 480);
    for (int flags = 0; flags < 8; ++flags) {
        Settings s;
        s.showClock = 0;
        s.showCalendar = 0;
        s.analogClock = flags & 1;
        s.clock24h = (flags >> 1) & 1;
        s.largeClock = (flags >> 2) & 1;
        SceneNode& root = assemble(s);
        EXPECT_TRUE(root.children.empty()) << "flags " << flags;
    }
}

TEST_F(OverlayAssembly, TwentyFourHourFlagDoesNotChangeTheAnalogueClock) {
    open(640, 480);
    ASSERT_TRUE(testsupport::setLocalTime("2024-02-29 13:30:15"));
    std::vector<Names> shown;
    for (int h24 = 0; h24 < 2; ++h24) {
        Settings s;
        s.showCalendar = 0;
        s.analogClock = 1;
        s.clock24h = h24;
        SceneNode& root = assemble(s);
        ASSERT_EQ(root.children.size(), 1u);
        EXPECT_EQ(nodes, (OverlayNodes{nullptr, nullptr, root.children[0]}));
        const Motion& build = onlyMotion(*root.children[0]);
        expectOneShot(build, buildAnalogueClock, 0);
        EXPECT_EQ(build.argument, 0);
        frame(16, root);
        frame(32, root);
        shown.push_back(drawnNames());
        EXPECT_EQ(describeOverlays(nodes, root, s), "clock=hands:-90,-180,-405");
    }
    EXPECT_EQ(shown[0], (Names{"ciferblat", "sec", "min", "chas"}));
    EXPECT_EQ(shown[1], shown[0]);
}

TEST_F(OverlayAssembly, AllFlagsClearLeaveThePlacedRootWithItsCallbackOnly) {
    open(640, 480);
    Settings s;
    s.showClock = 0;
    s.showCalendar = 0;
    SceneNode* root = new SceneNode;
    roots.push_back(root);
    root->setPosition(1, 2, 3);
    buildOverlays(s, *display, *root);
    expectPosition(*root, 0, 0, 0);
    EXPECT_TRUE(root->children.empty());
    ASSERT_EQ(root->callbacks.size(), 1u);
    EXPECT_EQ(root->callbacks[0].function, noDepthTest);
}

// Pixels from the left, top, right and bottom screen edges to where a
// point of the root's space lands (camera at z = +100).
struct EdgeDistances {
    double left, top, right, bottom;
};

EdgeDistances distances(const Vec3& p) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, -100);
    GLdouble modelView[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble x, y, z;
    EXPECT_EQ(gluProject(p.x, p.y, p.z, modelView, projection, viewport, &x, &y, &z), GL_TRUE);
    return {x - viewport[0], viewport[1] + viewport[3] - y, viewport[0] + viewport[2] - x, y - viewport[1]};
}

TEST_F(OverlayAssembly, CounterAndClockKeepTheirDistanceFromTheEdgesOnWideAndNarrowScreens) {
    Settings large;
    large.showFps = 1;
    large.showCalendar = 0;
    Settings small = large;
    small.largeClock = 0;
    std::vector<EdgeDistances> counter, largeClock, smallClock;
    for (const int width : {640, 854}) {  // 4:3 and 16:9, the same height
        open(width, 480);
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        ASSERT_EQ(viewport[2], width);
        SceneNode& a = assemble(large);
        counter.push_back(distances(a.children.at(0)->transform.position));
        largeClock.push_back(distances(a.children.at(1)->transform.position));
        smallClock.push_back(distances(assemble(small).children.at(1)->transform.position));
    }
    // 5 and 2.5 units at depth 100 with a 45-degree view of 480 pixels.
    const double pixelsPerUnit = 480 / (2 * 100 * std::tan(22.5 * M_PI / 180));
    EXPECT_NEAR(counter[0].left, 5 * pixelsPerUnit, 0.01);
    EXPECT_NEAR(counter[0].top, 2.5 * pixelsPerUnit, 0.01);
    EXPECT_NEAR(largeClock[0].right, 0, 0.01);
    EXPECT_NEAR(largeClock[0].bottom, 0, 0.01);
    EXPECT_NEAR(smallClock[0].right, 0, 0.01);
    EXPECT_NEAR(smallClock[0].bottom, 0, 0.01);
    EXPECT_NEAR(counter[1].left, counter[0].left, 0.01);
    EXPECT_NEAR(counter[1].top, counter[0].top, 0.01);
    EXPECT_NEAR(largeClock[1].right, largeClock[0].right, 0.01);
    EXPECT_NEAR(largeClock[1].bottom, largeClock[0].bottom, 0.01);
    EXPECT_NEAR(smallClock[1].right, smallClock[0].right, 0.01);
    EXPECT_NEAR(smallClock[1].bottom, smallClock[0].bottom, 0.01);
}

}  // namespace
