// The flower scene as built: tree, random draws, butterflies, their motion
// and where the light is on.
#include "app/SceneAssembly.h"
#include "content/Butterflies.h"
#include "content/Lighting.h"
#include "formats/Crc32.h"
#include "formats/ModelFormat.h"
#include "scene/MotionFunctions.h"
#include "scene/SceneNode.h"
#include "support/Install.h"
#include "support/ModelBytes.h"
#include "support/SceneFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

using testsupport::modelEntry;
using testsupport::PartBlueprint;

namespace {

class FlowerSceneTest : public testsupport::SceneFixture {
protected:
    void SetUp() override {
        SceneFixture::SetUp();
        testsupport::writeEmptyModelPacks(dir + "/");
    }
    void TearDown() override {
        if (root) {
            root->requestRemoval();
            for (int i = 0; i < 20 && !root->removed; ++i) frame(100000u + i, {root});
            delete root;
        }
        SceneFixture::TearDown();
    }
    void build(unsigned seed) {
        std::srand(seed);
        frameTicks = 0;
        root = new SceneNode;
        buildScene(root, packs);
    }
    SceneNode* group() const { return root->children[2]; }
    SceneNode* orbit() const { return group()->children[2]; }
    std::vector<SceneNode*> carriers() const {
        return {group()->children[1], orbit()->children[0], orbit()->children[1], orbit()->children[2]};
    }

    SceneNode* root = nullptr;
    std::vector<const char*> packs;
};

struct Draws {
    std::vector<double> coords;
    std::vector<std::string> packNames;
    std::vector<double> phases;
    double startAngle;
    bool operator==(const Draws& o) const {
        return coords == o.coords && packNames == o.packNames && phases == o.phases && startAngle == o.startAngle;
    }
};

TEST_F(FlowerSceneTest, TheSameSeedGivesTheSameScene) {
    auto draws = [&](unsigned seed) {
        build(seed);
        Draws d;
        d.startAngle = group()->track.motions[0].valueB;
        for (SceneNode* c : carriers()) {
            d.coords.push_back(c->transform.position.x);
            d.coords.push_back(c->transform.position.y);
            d.coords.push_back(c->transform.position.z);
            d.packNames.push_back(reinterpret_cast<const char*>(c->track.motions[0].argument));
        }
        frame(16, {root});  // the builders run
        for (SceneNode* c : carriers()) d.phases.push_back(c->children.at(0)->children.at(0)->track.motions[0].valueC);
        root->requestRemoval();
        for (int i = 0; i < 10 && !root->removed; ++i) frame(32u + i, {root});
        delete root;
        root = nullptr;
        return d;
    };
    EXPECT_TRUE(draws(7) == draws(7));
    EXPECT_FALSE(draws(7) == draws(8));

    // The draws follow the assembly order: start angle, resting pack, then
    // for B x and pack, for C and D z, y, x and pack.
    std::srand(1234);
    const int angle = std::rand() % 3600;
    const int restingPack = std::rand();
    const int bx = std::rand() % 500;
    const int bPack = std::rand();
    const int cz = std::rand() % 30, cy = std::rand() % 20, cx = std::rand() % 30;
    const int cPack = std::rand();
    const int dz = std::rand() % 70, dy = std::rand() % 100, dx = std::rand() % 100;
    build(1234);
    EXPECT_EQ(group()->track.motions[0].valueB, angle / 10);
    std::vector<SceneNode*> c = carriers();
    auto pack = [](SceneNode* n) { return std::string(reinterpret_cast<const char*>(n->track.motions[0].argument)); };
    EXPECT_EQ(pack(c[0]), "butterfly" + std::to_string(restingPack % 5 + 1) + ".pak");
    EXPECT_EQ(c[1]->transform.position.x, 30 + bx / 100);
    EXPECT_EQ(pack(c[1]), "butterfly" + std::to_string(bPack % 5 + 1) + ".pak");
    EXPECT_EQ(c[2]->transform.position.x, -19 - cx / 10);
    EXPECT_EQ(c[2]->transform.position.y, 19 + cy / 10);
    EXPECT_EQ(c[2]->transform.position.z, 35 + cz / 10);
    EXPECT_EQ(pack(c[2]), "butterfly" + std::to_string(cPack % 5 + 1) + ".pak");
    EXPECT_EQ(c[3]->transform.position.x, -15 - dx / 10);
    EXPECT_EQ(c[3]->transform.position.y, -15 - dy / 10);
    EXPECT_EQ(c[3]->transform.position.z, 30 + dz / 10);

    for (unsigned seed = 1; seed < 40; ++seed) {
        std::srand(seed);
        const double a = randomBelow(3600) / 10;
        EXPECT_EQ(a, std::floor(a));
        EXPECT_GE(a, 0);
        EXPECT_LE(a, 359);
    }
}

TEST_F(FlowerSceneTest, TheTreeItsPlacesAndMotions) {
    build(42);
    ASSERT_EQ(root->children.size(), 3u);
    SceneNode* light = root->children[0];
    EXPECT_EQ(light->transform.position.y, 12);
    EXPECT_EQ(light->transform.position.z, 45);
    EXPECT_EQ(light->track.motions[0].function, &placeLight);
    EXPECT_EQ(light->track.motions[0].selector, 1);
    SceneNode* background = root->children[1];
    EXPECT_EQ(background->packNames, std::vector<std::string>{"main.pak"});
    EXPECT_EQ(background->transform.scale.x, 4);
    EXPECT_EQ(background->transform.scale.y, 3);
    EXPECT_EQ(background->transform.position.z, -100);
    EXPECT_EQ(background->transform.rotation.y, 180);
    EXPECT_EQ(background->transform.rotation.z, 180);
    EXPECT_TRUE(background->track.motions.empty());
    EXPECT_EQ(group()->transform.rotation.x, -30);
    EXPECT_EQ(group()->transform.position.z, -10);
    ASSERT_EQ(group()->callbacks.size(), 1u);
    EXPECT_EQ(group()->callbacks[0].function, &lightingSwitch);
    EXPECT_EQ(group()->track.motions[0].function, &spin);
    EXPECT_EQ(group()->track.motions[0].valueA, 7.0);
    ASSERT_EQ(group()->children.size(), 3u);
    EXPECT_EQ(group()->children[0]->transform.scale.x, 2);
    EXPECT_TRUE(group()->children[0]->transform.scaleSet);
    EXPECT_EQ(orbit()->track.motions[0].valueA, 30.0);

    std::vector<SceneNode*> c = carriers();
    EXPECT_EQ(c[0]->transform.position.y, -7);
    EXPECT_EQ(c[0]->transform.position.z, 21.5);
    EXPECT_EQ(c[0]->transform.rotation.x, 45);
    EXPECT_EQ(c[0]->transform.rotation.z, 90);
    ASSERT_EQ(c[0]->track.motions.size(), 1u);
    const Motion& rest = c[0]->track.motions[0];
    EXPECT_EQ(rest.function, &buildButterfly);
    EXPECT_EQ(rest.selector, 0);
    EXPECT_EQ(rest.valueA, -5.0);
    EXPECT_EQ(rest.valueB, 0.2);
    EXPECT_FALSE(rest.endless);
    EXPECT_EQ(rest.duration, -1);
    const double rz[] = {90, -110, -40};
    const double sway[3][6] = {{2, 3, 6, 1, 4, 3}, {2, 4, 8, 3, 4, 4}, {2, 4, 6, 1, 5, 4}};
    for (int k = 0; k < 3; ++k) {
        SceneNode* n = c[static_cast<size_t>(k) + 1];
        EXPECT_EQ(n->transform.rotation.z, rz[k]);
        ASSERT_EQ(n->track.motions.size(), 5u);
        const std::vector<Motion>& m = n->track.motions;
        EXPECT_EQ(m[0].function, &buildButterfly);
        EXPECT_EQ(m[0].selector, 1);
        EXPECT_EQ(m[0].valueA, -1.0);
        EXPECT_EQ(m[1].function, &swayTranslate);
        EXPECT_EQ(m[1].selector, 1);
        EXPECT_EQ(m[1].valueA, sway[k][0]);
        EXPECT_EQ(m[1].valueB, sway[k][1]);
        EXPECT_EQ(m[2].function, &swayRotate);
        EXPECT_EQ(m[2].selector, 2);
        EXPECT_EQ(m[2].valueA, sway[k][2]);
        EXPECT_EQ(m[2].valueB, 2.0);
        EXPECT_EQ(m[3].function, &swayTranslate);
        EXPECT_EQ(m[3].selector, 2);
        EXPECT_EQ(m[3].valueA, sway[k][3]);
        EXPECT_EQ(m[3].valueB, sway[k][4]);
        EXPECT_EQ(m[4].valueA, 5.0);
        EXPECT_EQ(m[4].valueB, sway[k][5]);
        for (const Motion& x : m) {
            EXPECT_EQ(x.id, 1);
            EXPECT_TRUE(x.active);
            EXPECT_EQ(x.valueC, 0);
        }
    }

    // First frame, with a tick difference of 0: every butterfly is built once.
    frame(0, {root});
    for (SceneNode* n : c) {
        ASSERT_EQ(n->children.size(), 1u);
        SceneNode* body = n->children[0];
        EXPECT_EQ(body->packNames.size(), 1u);
        EXPECT_EQ(body->transform.scale.x, 0.2);
        ASSERT_EQ(body->children.size(), 2u);
        EXPECT_EQ(body->children[0]->transform.rotation.x, 25);
        EXPECT_EQ(body->children[1]->transform.rotation.x, 145);
        EXPECT_EQ(body->children[1]->transform.scale.z, 0.2);
        EXPECT_TRUE(body->children[0]->children.empty());
    }
    EXPECT_TRUE(c[0]->children[0]->track.motions.empty());  // the resting one does not bob
    EXPECT_EQ(c[1]->children[0]->track.motions.size(), 1u);
    frame(16, {root});
    frame(16, {root});
    for (SceneNode* n : c) EXPECT_EQ(n->children.size(), 1u);
    EXPECT_EQ(c[0]->track.motions.size(), 0u);
    EXPECT_EQ(c[1]->track.motions.size(), 4u);
}

// The angles and offsets the butterfly's motions produce at motion time t.
struct Pose {
    double first, second, bob;
};

Pose poseAt(SceneNode* body, double t) {
    Pose p{};
    auto evaluate = [t](SceneNode* node) {
        node->track.offset.reset();
        for (Motion& m : node->track.motions) {
            m.time = t;
            currentMotion = &m;
            currentNode = node;
            m.function(m.argument);
        }
        return node->track.offset;
    };
    p.first = body->children[0]->transform.rotation.x + evaluate(body->children[0]).rotation.x;
    p.second = body->children[1]->transform.rotation.x + evaluate(body->children[1]).rotation.x;
    p.bob = evaluate(body).position.z;
    return p;
}

TEST_F(FlowerSceneTest, WingsBeatInMirrorImageAndFlyersBob) {
    build(5);
    frame(0, {root});
    SceneNode* flyerBody = carriers()[1]->children[0];
    const double phi = flyerBody->children[0]->track.motions[0].valueC;
    EXPECT_DOUBLE_EQ(flyerBody->children[1]->track.motions[0].valueC, phi + 3.14159265358978);
    const double omega = 13;  // -1 + 14 rad/s
    for (double t : {0.0, 123.0, 777.0, 2500.0}) {
        Pose p = poseAt(flyerBody, t);
        const double s = std::sin(omega * t / 1000 + phi);
        EXPECT_NEAR(p.first, 25 + 50 * s, 1e-9);
        EXPECT_NEAR(p.second, 145 - 50 * s, 1e-9);
        EXPECT_NEAR(p.first + p.second, 170, 1e-9);
        EXPECT_NEAR(p.bob, 4 * std::sin(omega * t / 1000 + 90 / M_PI), 1e-9);
    }
    SceneNode* restingBody = carriers()[0]->children[0];
    const double restPhi = restingBody->children[0]->track.motions[0].valueC;
    Pose r = poseAt(restingBody, 1000);
    EXPECT_NEAR(r.first, 25 + 50 * std::sin(9.0 + restPhi), 1e-9);
    EXPECT_EQ(r.bob, 0);

    // With a wing-speed offset of -14 the wings stand still.
    SceneNode carrier;
    carrier.script.addStep();
    Motion still(1, true, -1);
    still.setFunction(buildButterfly, 1, -14.0, 0.2, 0);
    still.setFunction(buildButterfly, reinterpret_cast<MotionArgument>("butterfly2.pak"));
    carrier.script.addMotion(still);
    carrier.script.startStep(0);
    frame(100, {&carrier});
    SceneNode* body = carrier.children.at(0);
    const double a0 = poseAt(body, 0).first, a1 = poseAt(body, 5000).first;
    EXPECT_EQ(a0, a1);
    carrier.requestRemoval();
    for (int i = 0; i < 5 && !carrier.removed; ++i) frame(200u + i, {&carrier});
}

TEST_F(FlowerSceneTest, OnlyTheFlowerGroupIsLit) {
    // Transparent parts record the lighting state they were queued with.
    PartBlueprint glass;
    glass.textureName = "t";
    glass.transparent = true;
    glass.positions = testsupport::square(0, 0, 0, 1);
    const std::vector<unsigned char> model = modelEntry({glass});
    writePack("main.pak", {{"fon", model}, {"flowers", model}});
    for (int i = 1; i <= 5; ++i) writePack("butterfly" + std::to_string(i) + ".pak", {{"brushko", model}, {"krilo", model}});
    build(3);
    frameTicks = 16;
    glLoadIdentity();
    root->draw();
    // background, flowers, then four butterflies of three parts each
    ASSERT_EQ(deferred.size(), 2u + 4u * 3u);
    EXPECT_FALSE(deferred[0]->savedLighting);
    for (std::size_t i = 1; i < deferred.size(); ++i) {
        EXPECT_TRUE(deferred[i]->savedLighting) << i;
        EXPECT_TRUE(deferred[i]->savedLights[0]) << i;  // GL_LIGHT1
    }
    flushDeferred();
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
}

TEST_F(FlowerSceneTest, TheFlowersAreCutForThePicturesHeightAndFollowIt) {
    // Each cut told apart by its number of parts.
    PartBlueprint quad;
    quad.textureName = "t";
    quad.positions = testsupport::square(0, 0, 0, 1);
    auto parts = [&](std::size_t n) { return modelEntry(std::vector<PartBlueprint>(n, quad)); };
    auto cutFrom = [](const std::vector<unsigned char>& model, const std::vector<unsigned char>& source) {
        return markCutFrom(model, crc32(source.data(), source.size()));
    };
    const std::vector<unsigned char> bunch = parts(1);
    writePack("main.pak", {{"fon", parts(1)}, {"flowers", bunch}, {"flowers-768", cutFrom(parts(2), bunch)},
                           {"flowers-480", cutFrom(parts(3), bunch)}});
    for (int i = 1; i <= 5; ++i) writePack("butterfly" + std::to_string(i) + ".pak", {{"brushko", parts(1)}, {"krilo", parts(1)}});
    testing::internal::CaptureStderr();
    glViewport(0, 0, 1024, 768);
    build(5);
    SceneNode* flowers = group()->children[0];
    EXPECT_EQ(modelEntryName(*flowers), "flowers-768");  // from the start, not after a frame
    frame(16, {root});
    // Each part's texture holds a reference to the pack besides the node's.
    const std::int32_t others = cache->refCount("main.pak") - flowers->partCount;
    struct Step {
        int height;
        const char* entry;
        std::int32_t parts;
    };
    std::uint32_t ticks = 32;
    for (const Step& s : {Step{1080, "flowers", 1}, Step{481, "flowers-768", 2}, Step{480, "flowers-480", 3},
                          Step{240, "flowers-480", 3}, Step{1600, "flowers", 1}, Step{768, "flowers-768", 2}}) {
        glViewport(0, 0, s.height * 4 / 3, s.height);
        frame(ticks += 16, {root});
        EXPECT_EQ(modelEntryName(*flowers), s.entry) << s.height;
        EXPECT_EQ(flowers->partCount, s.parts) << s.height;
        EXPECT_EQ(flowers->packNames.size(), 1u) << s.height;
        EXPECT_EQ(cache->refCount("main.pak") - s.parts, others) << s.height;  // none kept, none lost
    }
    // A pack whose bunch was replaced after its cuts were made shows its
    // own bunch, quietly.
    root->requestRemoval();
    for (int i = 0; i < 20 && !root->removed; ++i) frame(ticks += 16, {root});
    delete root;
    root = nullptr;
    delete cache;
    cache = new PackCache;
    cache->setBaseDir(dir + "/");
    SceneResources::packCache = cache;
    writePack("main.pak", {{"fon", parts(1)}, {"flowers", parts(4)}, {"flowers-768", cutFrom(parts(2), bunch)},
                           {"flowers-480", cutFrom(parts(3), bunch)}});
    glViewport(0, 0, 320, 240);
    build(5);
    frame(ticks += 16, {root});
    EXPECT_EQ(modelEntryName(*group()->children[0]), "flowers");
    EXPECT_EQ(group()->children[0]->partCount, 4);
    glViewport(0, 0, 256, 256);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
