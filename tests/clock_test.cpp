// The clock overlay at fixed wall-clock times: what each form of the digital
// display draws, how its digits change, and the analogue hands' angles.
#include "content/Clock.h"
#include "support/FakeClock.h"
#include "support/OverlayFixture.h"

#include <cmath>

using testsupport::OverlayFixture;
using testsupport::setLocalTime;

namespace {

using Names = std::vector<std::string>;

class ClockTest : public OverlayFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::windowContext());
        OverlayFixture::SetUp();
        lastHourTens = lastHourUnits = lastMinuteTens = lastMinuteUnits = lastSecond = lastAmPm = -1;
    }

    // A digital clock (selector 1: 24-hour, 0: 12-hour), built on its first frame.
    SceneNode* digitalClock(std::int32_t form) { return carrier(buildDigitalClock, form); }

    // A fresh clock of the given form drawn once at the given time.
    Names firstFrameAt(const char* when, std::int32_t form) {
        lastHourTens = lastHourUnits = lastMinuteTens = lastMinuteUnits = lastSecond = lastAmPm = -1;
        EXPECT_TRUE(setLocalTime(when));
        SceneNode* clock = digitalClock(form);
        frame(16, *clock);
        return drawnNames();
    }

    void at(const char* when, SceneNode& root, std::uint32_t ticks = 16) {
        ASSERT_TRUE(setLocalTime(when));
        frame(ticks, root);
    }
};

// Angle in degrees, in [0, 360), of the rotation about z in a captured
// modelview matrix.
double zAngle(const double* m) {
    const double a = std::atan2(m[1], m[0]) * 180.0 / M_PI;
    return a < -1e-6 ? a + 360 : a;
}

TEST_F(ClockTest, TwentyFourHourDisplayShowsBothHourDigitsExceptALeadingZero) {
    EXPECT_EQ(firstFrameAt("2024-02-29 00:05:00", 1), (Names{"podlozka", "0", "0", "0", "5"}));
    EXPECT_EQ(firstFrameAt("2024-02-29 07:05:00", 1), (Names{"podlozka", "7", "0", "5"}));
    EXPECT_EQ(firstFrameAt("2024-02-29 17:05:00", 1), (Names{"podlozka", "1", "7", "0", "5"}));
    EXPECT_EQ(firstFrameAt("2024-02-29 23:59:00", 1), (Names{"podlozka", "2", "3", "5", "9"}));
}

TEST_F(ClockTest, TwelveHourDisplayShowsTwelveAtNoonAndMidnightAndTheRightSign) {
    EXPECT_EQ(firstFrameAt("2024-02-29 00:05:00", 0), (Names{"podlozka_am", "am", "1", "2", "0", "5"}));
    EXPECT_EQ(firstFrameAt("2024-02-29 07:05:00", 0), (Names{"podlozka_am", "am", "7", "0", "5"}));
    EXPECT_EQ(firstFrameAt("2024-02-29 10:05:00", 0), (Names{"podlozka_am", "am", "1", "0", "0", "5"}));
    EXPECT_EQ(firstFrameAt("2024-02-29 11:59:00", 0), (Names{"podlozka_am", "am", "1", "1", "5", "9"}));
    EXPECT_EQ(firstFrameAt("2024-02-29 12:05:00", 0), (Names{"podlozka_am", "pm", "1", "2", "0", "5"}));
    EXPECT_EQ(firstFrameAt("2024-02-29 13:00:00", 0), (Names{"podlozka_am", "pm", "1", "0", "0"}));
    EXPECT_EQ(firstFrameAt("2024-02-29 19:05:00", 0), (Names{"podlozka_am", "pm", "7", "0", "5"}));
    EXPECT_EQ(firstFrameAt("2024-02-29 22:47:00", 0), (Names{"podlozka_am", "pm", "1", "0", "4", "7"}));
    EXPECT_EQ(firstFrameAt("2024-02-29 23:10:00", 0), (Names{"podlozka_am", "pm", "1", "1", "1", "0"}));
}

TEST_F(ClockTest, DisplayLayoutSlotsAndDepthTesting) {
    ASSERT_TRUE(setLocalTime("2024-02-29 17:05:01"));
    SceneNode* clock24 = digitalClock(1);
    frame(16, *clock24);
    // The builder moves the clock node during its first draw, after that
    // node's own transform was applied: the offset shows from the next frame.
    frame(32, *clock24);
    // Plate, then the slots: hour tens, hour units, separator, minute tens, units.
    ASSERT_EQ(drawnNames(), (Names{"podlozka", "1", "7", "dot", "0", "5"}));
    const double x24[] = {-10, -10 - 6.483, -10 - 2.498, -10, -10 + 2.523, -10 + 6.466};
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_NEAR(drawn[i].modelView[12], x24[i], 1e-4) << drawn[i].entry;
        EXPECT_NEAR(drawn[i].modelView[13], 1, 1e-4) << drawn[i].entry;
        EXPECT_FALSE(drawn[i].depthTest) << drawn[i].entry << " drawn with depth testing";
    }
    EXPECT_EQ(clock24->children.size(), 6u);  // plate and five slots

    lastHourTens = lastHourUnits = lastMinuteTens = lastMinuteUnits = lastSecond = lastAmPm = -1;
    SceneNode* clock12 = digitalClock(0);
    frame(16, *clock12);
    frame(32, *clock12);
    ASSERT_EQ(drawnNames(), (Names{"podlozka_am", "pm", "5", "dot", "0", "5"}));
    // The wider plate moves the whole display 5.186 further left.
    const double x12[] = {-15.186, -15.186 + 11.432, -15.186 - 2.498, -15.186, -15.186 + 2.523, -15.186 + 6.466};
    for (std::size_t i = 0; i < drawn.size(); ++i) EXPECT_NEAR(drawn[i].modelView[12], x12[i], 1e-4) << drawn[i].entry;
    EXPECT_EQ(clock12->children.size(), 7u);  // plate and six slots
    // The blank hour tens place is a digit node without a model.
    const SceneNode* tens = clock12->children[2];
    ASSERT_EQ(tens->children.size(), 1u);
    EXPECT_FALSE(tens->children[0]->hasModel);
}

TEST_F(ClockTest, SeparatorShowsInOddSecondsOnly) {
    SceneNode* clock = digitalClock(1);
    const char* times[] = {"2024-02-29 07:05:01", "2024-02-29 07:05:02", "2024-02-29 07:05:02",
                           "2024-02-29 07:05:03", "2024-02-29 07:05:04", "2024-02-29 07:05:04"};
    // In a change frame the old digit is drawn once more, before the new one.
    const Names expected[] = {{"podlozka", "7", "dot", "0", "5"}, {"podlozka", "7", "dot", "0", "5"},
                              {"podlozka", "7", "0", "5"},        {"podlozka", "7", "dot", "0", "5"},
                              {"podlozka", "7", "dot", "0", "5"}, {"podlozka", "7", "0", "5"}};
    for (int i = 0; i < 6; ++i) {
        at(times[i], *clock, 16 * (i + 1));
        EXPECT_EQ(drawnNames(), expected[i]) << "frame at " << times[i];
    }
}

TEST_F(ClockTest, HoursAndMinutesChangeInTheSameFrameOldDigitFirst) {
    SceneNode* clock = digitalClock(1);
    at("2024-02-29 07:59:58", *clock, 16);
    EXPECT_EQ(drawnNames(), (Names{"podlozka", "7", "5", "9"}));
    const std::int64_t settled = liveSceneNodes;

    at("2024-02-29 08:00:00", *clock, 32);
    EXPECT_EQ(drawnNames(), (Names{"podlozka", "7", "8", "5", "0", "9", "0"}));
    for (std::size_t slot = 1; slot < clock->children.size(); ++slot) {
        const SceneNode* s = clock->children[slot];
        if (slot == 3) continue;  // the separator's even second stays
        ASSERT_EQ(s->children.size(), 2u) << "slot " << slot;
        EXPECT_TRUE(s->children[0]->removing);
        EXPECT_FALSE(s->children[1]->removing);
    }

    at("2024-02-29 08:00:00", *clock, 48);
    EXPECT_EQ(drawnNames(), (Names{"podlozka", "8", "0", "0"}));
    at("2024-02-29 08:00:00", *clock, 64);
    // The old digits are gone: one digit per slot again.
    for (std::size_t slot = 1; slot < clock->children.size(); ++slot)
        EXPECT_EQ(clock->children[slot]->children.size(), 1u) << "slot " << slot;
    EXPECT_EQ(liveSceneNodes, settled);
}

TEST_F(ClockTest, TwelveHourSignTurnsAtNoon) {
    SceneNode* clock = digitalClock(0);
    at("2024-02-29 11:59:58", *clock, 16);
    EXPECT_EQ(drawnNames(), (Names{"podlozka_am", "am", "1", "1", "5", "9"}));
    at("2024-02-29 12:00:00", *clock, 32);
    EXPECT_EQ(drawnNames(), (Names{"podlozka_am", "am", "pm", "1", "1", "1", "2", "5", "0", "9", "0"}));
    at("2024-02-29 12:00:00", *clock, 48);
    EXPECT_EQ(drawnNames(), (Names{"podlozka_am", "pm", "1", "2", "0", "0"}));
}

TEST_F(ClockTest, ADayOfSecondsLeavesNodesAndPackReferencesFlat) {
    SceneNode* clock = digitalClock(0);
    at("2024-02-29 23:00:00", *clock, 16);
    at("2024-02-29 23:00:00", *clock, 32);
    const std::int64_t nodes = liveSceneNodes;
    const std::int32_t references = cache->refCount("clock.pak");
    std::int64_t most = 0;
    std::time_t start = testsupport::fakeClockNow;
    std::uint32_t ticks = 48;
    for (std::time_t t = start; t <= start + 25 * 3600; t += 9, ticks += 16) {
        testsupport::fakeClockNow = t;
        frame(ticks, *clock);
        most = std::max(most, liveSceneNodes);
    }
    for (int i = 0; i < 3; ++i) frame(ticks += 16, *clock);
    // 2024-03-02 00:00:00
    EXPECT_EQ(drawnNames(), (Names{"podlozka_am", "am", "1", "2", "0", "0"}));
    EXPECT_EQ(liveSceneNodes, nodes);
    EXPECT_LE(most, nodes + 6);  // at most one outgoing digit per slot
    EXPECT_EQ(cache->refCount("clock.pak"), references);
}

TEST_F(ClockTest, AnalogueHandsFollowTheWallClock) {
    SceneNode* clock = carrier(buildAnalogueClock, 0);
    at("2024-02-29 13:30:15", *clock, 16);
    at("2024-02-29 13:30:15", *clock, 32);
    ASSERT_EQ(drawnNames(), (Names{"ciferblat", "sec", "min", "chas"}));
    for (const auto& d : drawn) {
        EXPECT_NEAR(d.modelView[12], -9.3, 1e-4) << d.entry;
        EXPECT_NEAR(d.modelView[13], 9, 1e-4) << d.entry;
        EXPECT_FALSE(d.depthTest) << d.entry << " drawn with depth testing";
    }
    EXPECT_NEAR(zAngle(drawn[0].modelView), 0, 1e-4);
    EXPECT_NEAR(zAngle(drawn[1].modelView), 270, 1e-4);  // -90
    EXPECT_NEAR(zAngle(drawn[2].modelView), 180, 1e-4);
    EXPECT_NEAR(zAngle(drawn[3].modelView), 315, 1e-4);  // -405
    EXPECT_EQ(clock->children[3]->track.offset.rotation.z, -405);
}

TEST_F(ClockTest, HourHandMovesOneDegreeAtEvenMinutesOnly) {
    SceneNode* clock = carrier(buildAnalogueClock, 0);
    const struct {
        const char* when;
        double hour, minute;
    } steps[] = {{"2024-02-29 13:30:59", -405, -180}, {"2024-02-29 13:31:00", -405, -186},
                 {"2024-02-29 13:31:59", -405, -186}, {"2024-02-29 13:32:00", -406, -192},
                 {"2024-02-29 13:33:00", -406, -198}, {"2024-02-29 23:59:00", -719, -354},
                 {"2024-03-01 00:00:00", 0, 0}};
    std::uint32_t ticks = 0;
    for (const auto& s : steps) {
        at(s.when, *clock, ticks += 16);
        EXPECT_EQ(clock->children[3]->track.offset.rotation.z, s.hour) << s.when;
        EXPECT_EQ(clock->children[2]->track.offset.rotation.z, s.minute) << s.when;
    }
}

}  // namespace
