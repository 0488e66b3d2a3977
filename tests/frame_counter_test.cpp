// The frame-rate counter driven by frame ticks: what it shows for a given
// number of frames in a window, a slow start, and the digits' lifetime.
#include "scene/SceneNode.h"
#include "content/FrameCounter.h"
#include "support/OverlayFixture.h"

#include <algorithm>
#include <cstdio>

using testsupport::OverlayFixture;

namespace {

using Names = std::vector<std::string>;

class FrameCounterTest : public OverlayFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::windowContext());
        OverlayFixture::SetUp();
        frameCount = 0;
    }

    // The counter as the overlay assembly makes it, constructed at `ticks`.
    SceneNode* counter(std::uint32_t ticks) {
        frameTicks = ticks;
        SceneNode* node = new SceneNode;
        node->loadModel("utils.pak", "fps");
        Motion update(1, true, 0);
        update.setFunction(updateFrameCounter, MotionArgument{0});
        node->script.addStep();
        node->script.addMotion(update);
        node->script.startStep(0);
        roots.push_back(node);
        ticksNow = ticks;
        return node;
    }

    // One frame `dt` ms after the last; the digits it added, as "entry@x".
    Names step(SceneNode& node, std::uint32_t dt) {
        std::vector<const SceneNode*> before(node.children.begin(), node.children.end());
        frame(ticksNow += dt, node);
        Names out;
        for (const SceneNode* child : node.children) {
            if (std::find(before.begin(), before.end(), child) != before.end()) continue;
            char place[16];
            std::snprintf(place, sizeof place, "@%.1f", child->transform.position.x);
            out.push_back(modelEntryName(*child) + place);
        }
        return out;
    }

    // `frames` more frames: the refresh clock crosses zero in the last one. Returns the digits that frame added.
    Names window(SceneNode& node, int frames) {
        const double left = -node.track.motions.at(0).time;  // ms until the next refresh
        const std::int32_t counted = frameCount;
        EXPECT_GE(left, 0);
        const std::uint32_t dt = frames > 1 ? static_cast<std::uint32_t>(left / (frames - 1)) : 0;
        for (int i = 0; i < frames - 1; ++i) {
            const Names none = step(node, dt);
            EXPECT_TRUE(none.empty()) << "refreshed early, frame " << i + 1 << " of " << frames;
        }
        EXPECT_EQ(frameCount, counted + frames - 1);
        return step(node, static_cast<std::uint32_t>(left - (frames - 1) * dt) + 1);
    }

    std::uint32_t ticksNow = 0;
};

TEST_F(FrameCounterTest, FirstFrameAlreadyShowsZero) {
    SceneNode* fps = counter(1000);
    EXPECT_EQ(step(*fps, 16), (Names{"0@3.3"}));
    EXPECT_EQ(frameCount, 0);
    ASSERT_EQ(drawnNames(), (Names{"fps", "0"}));
    EXPECT_TRUE(drawn[0].depthTest);   // the label: the overlay root turns it off
    EXPECT_FALSE(drawn[1].depthTest);  // each digit turns it off itself
    EXPECT_TRUE(step(*fps, 16).empty());
}

TEST_F(FrameCounterTest, AverageShowsUpToThreeDigits) {
    SceneNode* fps = counter(1000);
    step(*fps, 1);
    EXPECT_EQ(window(*fps, 49), (Names{"9@3.3"}));
    EXPECT_EQ(window(*fps, 50), (Names{"0@3.3", "1@1.9"}));
    EXPECT_EQ(window(*fps, 499), (Names{"9@3.3", "9@1.9"}));
    EXPECT_EQ(window(*fps, 500), (Names{"0@3.3", "0@1.9", "1@0.5"}));
    EXPECT_EQ(window(*fps, 6170), (Names{"4@3.3", "3@1.9", "2@0.5"}));  // 1234: its last three digits
    EXPECT_EQ(window(*fps, 4), (Names{"0@3.3"}));
}

TEST_F(FrameCounterTest, SlowStartRefreshesUntilTheClockCatchesUp) {
    SceneNode* fps = counter(0);
    EXPECT_EQ(step(*fps, 12000), (Names{"0@3.3"}));  // 7000 ms still owed
    EXPECT_EQ(step(*fps, 16), (Names{"0@3.3"}));     // 2016
    EXPECT_EQ(step(*fps, 16), (Names{"0@3.3"}));     // -2968: caught up
    EXPECT_TRUE(step(*fps, 16).empty());
    EXPECT_EQ(frameCount, 1);
}

TEST_F(FrameCounterTest, DigitsLiveOnePeriodAndNothingAccumulates) {
    SceneNode* fps = counter(1000);
    step(*fps, 1);
    window(*fps, 60);
    for (int i = 0; i < 3; ++i) step(*fps, 30);
    ASSERT_EQ(fps->children.size(), 2u);
    const std::int64_t nodes = liveSceneNodes;
    const std::int32_t references = cache->refCount("utils.pak");
    for (int w = 0; w < 40; ++w) {
        window(*fps, 60 + w);
        // The outgoing set may overlap the new one for a frame or two.
        EXPECT_LE(fps->children.size(), 4u);
        std::size_t live = 0;
        for (const SceneNode* d : fps->children) live += d->removing ? 0 : 1;
        EXPECT_LE(live, 4u);
    }
    window(*fps, 60);
    // A few frames later only the newest set is left, as at the start.
    for (int i = 0; i < 3; ++i) step(*fps, 30);
    EXPECT_EQ(fps->children.size(), 2u);
    EXPECT_EQ(liveSceneNodes, nodes);
    EXPECT_EQ(cache->refCount("utils.pak"), references);
}

}  // namespace
