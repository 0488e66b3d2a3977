// The draw traversal, the removal protocol and model loading of scene nodes.
#include "scene/MotionFunctions.h"
#include "scene/SceneNode.h"
#include "scene/Transform.h"
#include "support/ModelBytes.h"
#include "support/PngBytes.h"
#include "support/SceneFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using testsupport::modelEntry;
using testsupport::PartBlueprint;
using testsupport::square;

namespace {

std::vector<std::string> events;

void logPhase(std::int32_t phase, MotionArgument arg) { events.push_back(std::to_string(arg) + ":" + std::to_string(phase)); }
void logMotion(MotionArgument arg) { events.push_back("motion:" + std::to_string(arg)); }

// Records the modelview matrix where the node's motions run.
std::vector<std::vector<double>> matrices;
void recordMatrix(MotionArgument) {
    std::vector<double> m(16);
    glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
    matrices.push_back(m);
}

class SceneNodeTest : public testsupport::SceneFixture {
protected:
    void SetUp() override {
        SceneFixture::SetUp();
        events.clear();
        matrices.clear();
    }
    static void addEndless(SceneNode* n, MotionFunction f, MotionArgument arg) {
        n->script.addStep();
        Motion m(1, true, 0);
        m.setFunction(f, arg);
        n->script.addMotion(m);
        n->script.startStep(0);
    }
    void writeModelPack() {
        PartBlueprint opaque;
        opaque.textureName = "tex";
        opaque.positions = square(0, 0, 0, 1);
        PartBlueprint glass = opaque;
        glass.transparent = true;
        writePack("m.pak", {{"solid", modelEntry({opaque})},
                            {"glass", modelEntry({glass})},
                            {"tex", testsupport::solidPng(2, 2, 255, 0, 0, 255)}});
    }
};

TEST(TransformTest, ApplyTranslatesThenRotatesAboutXYZ) {
    // Pure arithmetic of the expected matrix, compared with what OpenGL built.
    ASSERT_TRUE(testsupport::openGlContext());
    Transform t;
    t.setPosition(1, 2, 3);
    t.setRotation(10, 20, 30);
    t.setScale(5, 5, 5);  // never part of apply
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    t.apply();
    double got[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, got);

    auto rot = [](int axis, double deg, double m[9]) {
        const double r = deg * M_PI / 180, c = std::cos(r), s = std::sin(r);
        const int a = (axis + 1) % 3, b = (axis + 2) % 3;
        for (int i = 0; i < 9; ++i) m[i] = 0;
        m[axis * 3 + axis] = 1;
        m[a * 3 + a] = c;
        m[b * 3 + b] = c;
        m[b * 3 + a] = s;  // row b, column a
        m[a * 3 + b] = -s;
    };
    auto mul = [](const double x[9], const double y[9], double out[9]) {
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) {
                out[r * 3 + c] = 0;
                for (int k = 0; k < 3; ++k) out[r * 3 + c] += x[r * 3 + k] * y[k * 3 + c];
            }
    };
    double rx[9], ry[9], rz[9], xy[9], xyz[9];
    rot(0, 10, rx);
    rot(1, 20, ry);
    rot(2, 30, rz);
    mul(rx, ry, xy);
    mul(xy, rz, xyz);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c * 4 + r], xyz[r * 3 + c], 1e-6) << r << "," << c;
    EXPECT_NEAR(got[12], 1, 1e-6);
    EXPECT_NEAR(got[13], 2, 1e-6);
    EXPECT_NEAR(got[14], 3, 1e-6);

    t.reset();
    EXPECT_EQ(t.position.x, 0);
    EXPECT_EQ(t.scale.x, 1);
    EXPECT_TRUE(t.scaleSet);  // reset leaves the flag
}

TEST_F(SceneNodeTest, CallbacksBracketModelAndEachChild) {
    SceneNode bare;
    bare.addCallback(logPhase, 1);
    SceneNode* a = new SceneNode;
    SceneNode* b = new SceneNode;
    addEndless(a, logMotion, 10);
    addEndless(b, logMotion, 20);
    bare.addChild(a);
    bare.addChild(b);
    frame(16, {&bare});
    EXPECT_EQ(events, (std::vector<std::string>{"1:3", "motion:10", "1:4", "1:3", "motion:20", "1:4"}));

    events.clear();
    writeModelPack();
    SceneNode modelled;
    modelled.loadModel("m.pak", "solid");
    modelled.addCallback(logPhase, 2);
    modelled.addCallback(logPhase, 3);
    frame(32, {&modelled});
    EXPECT_EQ(events, (std::vector<std::string>{"2:1", "3:1", "2:2", "3:2"}));
    // Children stay owned by the tree until removal; free them here.
    delete a;
    delete b;
}

TEST_F(SceneNodeTest, ScaleAppliesToTheNodesOwnModelOnlyWithNormalize) {
    writeModelPack();
    SceneNode parent;
    parent.loadModel("m.pak", "glass");  // queued, so its draw-time state is recorded
    parent.setScale(1, 1, 1);
    SceneNode* child = new SceneNode;
    addEndless(child, recordMatrix, 0);
    parent.addChild(child);
    SceneNode plain;
    plain.loadModel("m.pak", "glass");

    frameTicks = 16;
    glLoadIdentity();
    deferred.clear();
    parent.draw();
    plain.draw();
    ASSERT_EQ(deferred.size(), 2u);
    EXPECT_TRUE(deferred[0]->savedNormalize);  // scale (1,1,1) still normalises
    EXPECT_FALSE(deferred[1]->savedNormalize);
    EXPECT_FALSE(glIsEnabled(GL_NORMALIZE));
    flushDeferred();

    parent.setScale(3, 3, 3);
    parent.setPosition(5, 0, 0);
    matrices.clear();
    frameTicks = 32;
    glLoadIdentity();
    parent.draw();
    EXPECT_NEAR(deferred[0]->modelView[0], 3, 1e-9);  // the model is scaled
    ASSERT_EQ(matrices.size(), 1u);
    EXPECT_NEAR(matrices[0][0], 1, 1e-9);  // the child is not
    EXPECT_NEAR(matrices[0][12], 5, 1e-6);
    flushDeferred();
    delete child;
}

TEST_F(SceneNodeTest, MotionOffsetMovesChildrenAndNewChildrenDrawAtOnce) {
    SceneNode parent;
    parent.script.addStep();
    Motion lift(1, true, 0);
    lift.setFunction([](MotionArgument) { currentMotion->target->translateBy(0, 7, 0); }, 0);
    parent.script.addMotion(lift);
    // A one-shot builder that attaches a child to the node being drawn.
    Motion builder(1, true, -1);
    builder.setFunction([](MotionArgument) {
        SceneNode* child = new SceneNode;
        child->script.addStep();
        Motion m(1, true, 0);
        m.setFunction(recordMatrix, 0);
        child->script.addMotion(m);
        child->script.startStep(0);
        currentNode->addChild(child);
    }, 0);
    parent.script.addMotion(builder);
    parent.script.startStep(0);
    frameTicks = 16;
    glLoadIdentity();
    parent.draw();
    ASSERT_EQ(parent.children.size(), 1u);
    ASSERT_EQ(matrices.size(), 1u);  // drawn in the frame that built it
    EXPECT_NEAR(matrices[0][13], 7, 1e-6);
    parent.requestRemoval();
    for (int i = 0; i < 3 && !parent.removed; ++i) parent.draw();
    EXPECT_TRUE(parent.removed);
}

TEST_F(SceneNodeTest, RemovalTakesOneLevelPerFrame) {
    // A leaf marks itself removed in its next draw and is deleted in the one after.
    SceneNode root;
    SceneNode* leaf = new SceneNode;
    SceneNode* other = new SceneNode;
    root.addChild(leaf);
    root.addChild(other);
    frame(10, {&root});
    leaf->requestRemoval();
    frame(20, {&root});
    EXPECT_TRUE(leaf->removed);
    EXPECT_EQ(root.children.size(), 2u);
    frame(30, {&root});
    ASSERT_EQ(root.children.size(), 1u);
    EXPECT_EQ(root.children[0], other);
    delete other;
    root.children.clear();

    // A root with three levels below it reports removed after four frames,
    // and nothing of the removing tree is animated.
    SceneNode top;
    SceneNode* level = &top;
    for (int depth = 1; depth <= 3; ++depth) {
        SceneNode* n = new SceneNode;
        addEndless(n, logMotion, depth);
        level->addChild(n);
        level = n;
    }
    frame(40, {&top});
    EXPECT_EQ(events.size(), 3u);
    top.requestRemoval();
    int frames = 0;
    while (!top.removed && frames < 10) {
        frame(50u + 10u * frames, {&top});
        ++frames;
    }
    EXPECT_EQ(frames, 4);
    EXPECT_TRUE(top.children.empty());
    EXPECT_EQ(events.size(), 3u);  // no motion ran after the request
}

TEST_F(SceneNodeTest, RemovingNodesQueueNoParts) {
    writeModelPack();
    SceneNode root;
    SceneNode* child = new SceneNode;
    child->loadModel("m.pak", "glass");
    root.addChild(child);
    root.requestRemoval();
    frame(10, {&root});
    EXPECT_TRUE(deferred.empty());
    frame(20, {&root});
    frame(30, {&root});
    EXPECT_TRUE(root.removed);
}

TEST_F(SceneNodeTest, DestroyLeavesChildrenAndReleasesEveryModelsPack) {
    writeModelPack();
    SceneNode* parent = new SceneNode;
    parent->loadModel("m.pak", "solid");
    parent->loadModel("m.pak", "solid");
    EXPECT_EQ(parent->partCount, 2);
    EXPECT_EQ(parent->packNames.size(), 2u);
    // Two entry references and two texture references.
    EXPECT_EQ(cache->refCount("m.pak"), 4);
    SceneNode* child = new SceneNode;
    child->loadModel("m.pak", "solid");
    parent->addChild(child);
    delete parent;
    EXPECT_EQ(cache->refCount("m.pak"), 2);  // the child still holds its own
    frame(10, {child});                      // and is still a working node
    delete child;
    EXPECT_EQ(cache->refCount("m.pak"), 0);
    EXPECT_EQ(cache->openCount(), 0u);
}

TEST_F(SceneNodeTest, MissingEntryLoadsNoPartsButStillBalances) {
    writeModelPack();
    {
        SceneNode node;
        node.loadModel("m.pak", "absent");
        EXPECT_TRUE(node.hasModel);
        EXPECT_EQ(node.partCount, 0);
        EXPECT_EQ(cache->refCount("m.pak"), 1);
        frame(10, {&node});
    }
    EXPECT_EQ(cache->openCount(), 0u);
}

}  // namespace
