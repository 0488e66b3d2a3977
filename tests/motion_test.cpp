// Motions and their tracks: durations, one-shots, sums, tick arithmetic.
#include "render/FrameTicks.h"
#include "scene/Motion.h"
#include "scene/MotionScript.h"
#include "scene/MotionTrack.h"
#include "support/SceneFixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Call {
    double time, elapsed;
    bool finished;
};
std::vector<Call> calls;
void record(MotionArgument) { calls.push_back({currentMotion->time, currentMotion->elapsed, currentMotion->finished != 0}); }
void addY(MotionArgument) { currentMotion->target->translateBy(0, currentMotion->valueA, 0); }

class MotionTest : public testsupport::SceneFixture {
protected:
    void SetUp() override {
        SceneFixture::SetUp();
        calls.clear();
    }
    void advanceAt(MotionTrack& track, std::uint32_t ticks) {
        frameTicks = ticks;
        glLoadIdentity();
        track.advance();
    }
};

TEST_F(MotionTest, DurationsDecideHowOftenTheFunctionRuns) {
    frameTicks = 0;
    MotionTrack track;
    Motion endless(1, true, 0);
    endless.setFunction(record, 0);
    EXPECT_TRUE(endless.endless);
    track.append(endless);
    for (std::uint32_t t = 1; t <= 50; ++t) advanceAt(track, t * 1000);
    EXPECT_EQ(calls.size(), 50u);
    EXPECT_EQ(track.motions.size(), 1u);

    calls.clear();
    MotionTrack once;
    Motion oneShot(1, true, -1);
    oneShot.setFunction(record, 0);
    once.append(oneShot);
    advanceAt(once, 50000);  // dt 0: still runs, and finishes
    advanceAt(once, 51000);
    advanceAt(once, 52000);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(calls[0].finished);
    EXPECT_TRUE(once.motions.empty());
}

TEST_F(MotionTest, ThousandMillisecondsAtFourHundredMillisecondFrames) {
    frameTicks = 0;
    MotionTrack track;
    Motion m(1, true, 1000);
    m.setFunction(record, 0);
    track.append(m);
    advanceAt(track, 400);
    advanceAt(track, 800);
    advanceAt(track, 1200);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].elapsed, 400);
    EXPECT_EQ(calls[1].elapsed, 800);
    EXPECT_EQ(calls[2].elapsed, 1200);
    EXPECT_FALSE(calls[1].finished);
    EXPECT_TRUE(calls[2].finished);
    EXPECT_EQ(track.motions.size(), 1u);
    advanceAt(track, 1600);
    EXPECT_EQ(calls.size(), 3u);
    EXPECT_TRUE(track.motions.empty());
}

TEST_F(MotionTest, OffsetsOfSeveralMotionsSumAndAreClearedEachFrame) {
    frameTicks = 0;
    MotionTrack track;
    Motion a(1, true, 0), b(1, true, 0);
    a.setFunction(addY, 1.5, 0, 0);
    b.setFunction(addY, 2.25, 0, 0);
    track.append(a);
    track.append(b);
    advanceAt(track, 16);
    EXPECT_DOUBLE_EQ(track.offset.position.y, 3.75);
    GLdouble m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    EXPECT_NEAR(m[13], 3.75, 1e-6);  // the summed offset was applied
    advanceAt(track, 32);
    EXPECT_DOUBLE_EQ(track.offset.position.y, 3.75);  // recomputed, not accumulated
}

TEST_F(MotionTest, TickDifferencesUseUnsignedArithmeticFromConstruction) {
    frameTicks = 4294967290u;  // 2^32 - 6
    MotionTrack track;
    Motion m(1, true, 0);
    m.setFunction(record, 0);
    track.append(m);
    advanceAt(track, 6);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].time, 12);

    calls.clear();
    frameTicks = 100;
    MotionTrack late;  // built at 100, first drawn at 1100
    late.append(m);
    advanceAt(late, 1100);
    advanceAt(late, 1116);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].time, 1000);
    EXPECT_EQ(calls[1].time, 1016);
}

TEST_F(MotionTest, InactiveMotionsAreFrozenAndStoppedOnesErased) {
    frameTicks = 0;
    MotionTrack track;
    Motion paused(1, false, 500);
    paused.setFunction(record, 0);
    track.append(paused);
    for (int i = 1; i < 5; ++i) advanceAt(track, 1000u * i);
    EXPECT_TRUE(calls.empty());
    ASSERT_EQ(track.motions.size(), 1u);
    EXPECT_EQ(track.motions[0].time, 0);
    EXPECT_EQ(track.motions[0].elapsed, 0);
    EXPECT_FALSE(track.motions[0].finished);

    Motion stopper(1, true, 0);
    stopper.setFunction([](MotionArgument) { currentMotion->stop(); }, 0);
    track.append(stopper);
    advanceAt(track, 6000);
    EXPECT_EQ(track.motions.size(), 2u);
    advanceAt(track, 7000);
    EXPECT_EQ(track.motions.size(), 1u);
}

TEST_F(MotionTest, StartingAStepTwiceRunsTwoCopies) {
    frameTicks = 0;
    MotionTrack track;
    MotionScript script;
    script.track = &track;
    EXPECT_EQ(script.addStep(), 0);
    Motion m(1, true, 0);
    m.setFunction(addY, 1.0, 0, 0);
    script.addMotion(m);
    EXPECT_TRUE(track.motions.empty());  // prepared, not running
    script.startStep(0);
    script.startStep(0);
    ASSERT_EQ(track.motions.size(), 2u);
    EXPECT_EQ(track.motions[0].target, &track.offset);
    advanceAt(track, 10);
    EXPECT_DOUBLE_EQ(track.offset.position.y, 2.0);
    EXPECT_EQ(script.addStep(), 1);
    EXPECT_EQ(script.steps[0].size(), 1u);
}

TEST_F(MotionTest, SetFunctionFormsSetOnlyTheirFields) {
    Motion m(7, true, 250);
    EXPECT_EQ(m.id, 7);
    EXPECT_FALSE(m.endless);
    EXPECT_EQ(m.duration, 250);
    m.setFunction(record, 3, 4, 1.0, 2.0, 3.0);
    m.setFunction(record, static_cast<MotionArgument>(99));
    EXPECT_EQ(m.selector, 3);
    EXPECT_EQ(m.selector2, 4);
    EXPECT_EQ(m.valueC, 3.0);
    EXPECT_EQ(m.argument, 99);
    m.setFunction(record, 5.0, 6.0, 7.0);
    EXPECT_EQ(m.argument, 0);
    EXPECT_EQ(m.selector, 3);
    EXPECT_EQ(m.valueA, 5.0);
}

}  // namespace
