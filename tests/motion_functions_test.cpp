// The standard motion functions, the depth-test callback and the scene light.
#include "content/Lighting.h"
#include "scene/MotionFunctions.h"
#include "scene/SceneNode.h"
#include "support/SceneFixture.h"

#include <gtest/gtest.h>

#include <spawn.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Runs f once as the motion of a fresh track, at time `time`.
Transform run(MotionFunction f, std::int32_t selector, double a, double b, double c, double time) {
    SceneNode node;
    Motion m(1, true, 0);
    m.setFunction(f, selector, a, b, c);
    m.time = time;
    node.track.append(m);
    currentNode = &node;
    currentMotion = &node.track.motions[0];
    node.track.motions[0].function(0);
    return node.track.offset;
}

class MotionFunctionsTest : public testsupport::SceneFixture {};

// After a week of turning, each frame still turns the bunch by its step, as
// OpenGL receives the angle (a float), not in jumps of a float's spacing.
TEST_F(MotionFunctionsTest, SpinKeepsItsAngleWithinATurn) {
    const double week = 7.0 * 24 * 3600 * 1000;
    float previous = static_cast<float>(run(spin, 2, 7.0, 123, 0, week).rotation.z);
    for (int frame = 1; frame <= 100; ++frame) {
        const double angle = run(spin, 2, 7.0, 123, 0, week + frame * 16.0).rotation.z;
        EXPECT_GE(angle, 0.0);
        EXPECT_LT(angle, 360.0);
        const float now = static_cast<float>(angle);
        EXPECT_NEAR(std::fmod(now - previous + 360.0f, 360.0f), 7.0f * 16 / 1000, 0.01f) << frame;
        previous = now;
    }
}

TEST_F(MotionFunctionsTest, SwayAndSpinAddOnTheSelectedAxisOnly) {
    Transform t = run(swayTranslate, 1, 2.0, 3.0, 0.5, 700);
    EXPECT_DOUBLE_EQ(t.position.y, std::sin(700 * 3.0 / 1000 + 0.5) * 2.0);
    EXPECT_EQ(t.position.x, 0);
    EXPECT_EQ(t.position.z, 0);
    t = run(swayRotate, 0, 50, 13, 1, 250);
    EXPECT_DOUBLE_EQ(t.rotation.x, std::sin(250 * 13.0 / 1000 + 1) * 50);
    t = run(spin, 2, 7.0, 123, 0, 2000);
    EXPECT_DOUBLE_EQ(t.rotation.z, 137);
    for (int bad : {-1, 3}) {
        for (MotionFunction f : {swayTranslate, swayRotate, spin}) {
            t = run(f, bad, 2.0, 3.0, 1.0, 500);
            EXPECT_EQ(t.position.x + t.position.y + t.position.z, 0);
            EXPECT_EQ(t.rotation.x + t.rotation.y + t.rotation.z, 0);
        }
    }
}

TEST_F(MotionFunctionsTest, ExpireRequestsRemovalOnlyAfterItsTime) {
    SceneNode node;
    node.script.addStep();
    Motion m(1, true, 0);
    m.setFunction(expire, 0.0, 0, 0);
    node.script.addMotion(m);
    node.script.startStep(0);
    frame(0, {&node});  // dt 0: time 0 is not greater than 0
    EXPECT_FALSE(node.removing);
    frame(1, {&node});
    EXPECT_TRUE(node.removing);
}

TEST_F(MotionFunctionsTest, PlaceLightOnlyForLightsOneToFive) {
    const GLfloat away[4] = {9, 9, 9, 0};
    for (int i = 0; i < 8; ++i) glLightfv(GL_LIGHT0 + i, GL_POSITION, away);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    for (int selector : {0, 1, 5, 6}) run(placeLight, selector, 0, 0, 0, 0);
    for (int i = 0; i < 8; ++i) {
        GLfloat pos[4];
        glGetLightfv(GL_LIGHT0 + i, GL_POSITION, pos);
        const bool placed = i == 1 || i == 5;
        EXPECT_EQ(pos[0], placed ? 1.0f : 9.0f) << "light " << i;
        EXPECT_EQ(pos[3], placed ? 1.0f : 0.0f) << "light " << i;
    }
}

// No display here: under a frozen wall clock, window-system start-up can wait forever.
TEST(ClockHandTest, AnglesFollowTheLocalTime) {
    const char* fake = std::getenv("FAKETIME");
    if (!fake || std::string(fake) != "2024-03-05 13:30:17") {
        // Re-run this one test with the wall clock fixed at 13:30:17. Spawned,
        // not forked: a fork of this process, which has the OpenGL driver's
        // threads, upsets the sanitizers' exit-time leak check.
        const std::string self = "/proc/self/exe";
        std::vector<std::string> env;
        auto replaced = [](const std::string& entry) {
            for (const char* name : {"FAKETIME=", "TZ=", "LD_PRELOAD=", "FAKETIME_DONT_FAKE_MONOTONIC=", "ASAN_OPTIONS="})
                if (entry.rfind(name, 0) == 0) return true;
            return false;
        };
        for (char** e = environ; *e; ++e)
            if (!replaced(*e)) env.emplace_back(*e);
        env.push_back("FAKETIME=2024-03-05 13:30:17");
        env.push_back("TZ=UTC");
        env.push_back("LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1");
        // Monotonic clocks keep running: the sanitizer runtime waits on them at exit.
        env.push_back("FAKETIME_DONT_FAKE_MONOTONIC=1");
        env.push_back("ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0");
        std::vector<char*> envp;
        for (std::string& e : env) envp.push_back(&e[0]);
        envp.push_back(nullptr);
        std::string filter = "--gtest_filter=ClockHandTest.*";
        char* argv[] = {const_cast<char*>(self.c_str()), &filter[0], nullptr};
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, envp.data()), 0);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
        return;
    }
    std::time_t now = std::time(nullptr);
    std::tm local;
    localtime_r(&now, &local);
    ASSERT_EQ(local.tm_hour, 13);
    EXPECT_EQ(run(clockHand, 1, 0, 0, 0, 0).rotation.z, -102);  // 17 s
    EXPECT_EQ(run(clockHand, 2, 0, 0, 0, 0).rotation.z, -180);
    EXPECT_EQ(run(clockHand, 3, 0, 0, 0, 0).rotation.z, -405);
    // Set, not added: earlier motions' rotations are overridden.
    SceneNode node;
    node.track.offset.rotateBy(10, 20, 30);
    Motion m(1, true, 0);
    m.setFunction(clockHand, 2, 0, 0, 0);
    node.track.append(m);
    currentNode = &node;
    currentMotion = &node.track.motions[0];
    clockHand(0);
    EXPECT_EQ(node.track.offset.rotation.x, 0);
    EXPECT_EQ(node.track.offset.rotation.z, -180);
    Transform none = run(clockHand, 4, 0, 0, 0, 0);
    EXPECT_EQ(none.rotation.z, 0);
}

bool depthSeen[4];
void noteDepth(MotionArgument arg) { depthSeen[arg] = glIsEnabled(GL_DEPTH_TEST); }
bool litSeen[4];
void noteLight(MotionArgument arg) { litSeen[arg] = glIsEnabled(GL_LIGHTING) && glIsEnabled(GL_LIGHT1); }

SceneNode* probe(MotionFunction f, MotionArgument arg) {
    SceneNode* n = new SceneNode;
    n->script.addStep();
    Motion m(1, true, 0);
    m.setFunction(f, arg);
    n->script.addMotion(m);
    n->script.startStep(0);
    return n;
}

TEST_F(MotionFunctionsTest, CallbacksSwitchStateAroundEachChildOnly) {
    SceneNode root;
    SceneNode* overlay = new SceneNode;  // no model: only phases 3 and 4
    overlay->addCallback(noDepthTest, 0);
    overlay->addChild(probe(noteDepth, 0));
    overlay->addChild(probe(noteDepth, 1));
    root.addChild(overlay);
    root.addChild(probe(noteDepth, 2));
    SceneNode* group = new SceneNode;
    group->addCallback(lightingSwitch, 0);
    SceneNode* inner = probe(noteLight, 0);
    inner->addChild(probe(noteLight, 1));  // descendants inherit the light
    group->addChild(inner);
    root.addChild(group);
    root.addChild(probe(noteLight, 2));
    frame(16, {&root});
    EXPECT_FALSE(depthSeen[0]);
    EXPECT_FALSE(depthSeen[1]);
    EXPECT_TRUE(depthSeen[2]);
    EXPECT_TRUE(litSeen[0]);
    EXPECT_TRUE(litSeen[1]);
    EXPECT_FALSE(litSeen[2]);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    root.requestRemoval();
    for (int i = 0; i < 6 && !root.removed; ++i) frame(32 + i, {&root});
    EXPECT_TRUE(root.removed);
}

TEST_F(MotionFunctionsTest, SceneLightParameters) {
    setupLight();
    GLfloat v[4];
    glGetLightfv(GL_LIGHT1, GL_AMBIENT, v);
    EXPECT_FLOAT_EQ(v[0], 0.3f);
    EXPECT_FLOAT_EQ(v[3], 1.0f);
    glGetLightfv(GL_LIGHT1, GL_DIFFUSE, v);
    EXPECT_FLOAT_EQ(v[1], 0.5f);
    glGetLightfv(GL_LIGHT1, GL_SPECULAR, v);
    EXPECT_FLOAT_EQ(v[2], 0.5f);
    glGetLightfv(GL_LIGHT1, GL_CONSTANT_ATTENUATION, v);
    EXPECT_FLOAT_EQ(v[0], 0.0f);
    glGetLightfv(GL_LIGHT1, GL_LINEAR_ATTENUATION, v);
    EXPECT_FLOAT_EQ(v[0], 0.0f);
    glGetLightfv(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, v);
    EXPECT_FLOAT_EQ(v[0], 0.0002f);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
}

}  // namespace
