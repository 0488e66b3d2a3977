// Where the order or presence of OpenGL calls is the behaviour, record the
// real call stream with apitrace and read it back. Each test re-runs this
// program under `apitrace trace` with QUESSANTA_GL_SCENARIO naming what to
// draw; glClearIndex(n) calls (harmless in RGBA mode) mark the sections.
#include "content/Lighting.h"
#include "render/Display.h"
#include "render/PackCache.h"
#include "render/PackFile.h"
#include "render/ProceduralTextureRegistry.h"
#include "scene/MeshPart.h"
#include "scene/MotionFunctions.h"
#include "scene/SceneNode.h"
#include "scene/SceneResources.h"
#include "support/ModelBytes.h"
#include "support/TestSupport.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void mark(int n) { glClearIndex(static_cast<float>(n)); }

void runPlaceLight(int selector) {
    SceneNode node;
    Motion m(1, true, 0);
    m.setFunction(placeLight, selector, 0, 0, 0);
    node.track.append(m);
    currentNode = &node;
    currentMotion = &node.track.motions[0];
    placeLight(0);
}

// Draws what the named scenario needs, between markers, then exits.
void runScenario(const std::string& name) {
    Display* display = new Display(256, 256, 32);
    std::vector<MeshPart*> deferred;
    PackCache cache;
    ProceduralTextureRegistry registry;
    SceneResources::packCache = &cache;
    SceneResources::textures = &registry;
    SceneResources::deferredParts = &deferred;
    const std::string dir = testsupport::makeTempDir();
    cache.setBaseDir(dir + "/");
    testsupport::PartBlueprint part;
    part.textureName = "n";
    part.positions = testsupport::square(0, 0, 0, 1);
    testsupport::PartBlueprint glass = part;
    glass.transparent = true;
    glass.alphaTest = true;
    {
        PackFile pack;
        std::vector<unsigned char> solid = testsupport::modelEntry({part});
        std::vector<unsigned char> clear = testsupport::modelEntry({glass});
        pack.addEntry("solid", solid.data(), static_cast<std::uint32_t>(solid.size()));
        pack.addEntry("glass", clear.data(), static_cast<std::uint32_t>(clear.size()));
        ASSERT_TRUE(pack.save(dir + "/m.pak").ok());
    }
    mark(1);
    if (name == "transform") {
        Transform zero;
        zero.setPosition(0.0, -0.0, 0.0);
        zero.setRotation(-0.0, 0.0, 0.0);
        zero.apply();
        mark(2);
        Transform some;
        some.setPosition(1, 0, 0);
        some.setRotation(0, 5, 0);
        some.apply();
    } else if (name == "scale") {
        SceneNode node;
        node.loadModel("m.pak", "solid");
        node.setScale(1, 1, 1);
        mark(2);
        node.draw();
    } else if (name == "lights") {
        runPlaceLight(0);
        runPlaceLight(6);
        mark(2);
        runPlaceLight(1);
        mark(3);
        setupLight();
    } else if (name == "deferred") {
        SceneNode node;
        node.loadModel("m.pak", "glass");
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT1);
        node.draw();
        glDisable(GL_LIGHT1);
        glDisable(GL_LIGHTING);
        mark(2);
        flushDeferred();
    }
    mark(9);
    testsupport::removeTree(dir);
    SceneResources::packCache = nullptr;
    delete display;
    std::fflush(nullptr);
    std::exit(0);
}

const bool scenarioRun = [] {
    const char* name = std::getenv("QUESSANTA_GL_SCENARIO");
    if (name && *name) runScenario(name);
    return true;
}();

// The call names (with arguments) of a traced scenario, as apitrace dumps them.
std::vector<std::string> traceScenario(const std::string& name) {
    const std::string dir = testsupport::makeTempDir();
    const std::string trace = dir + "/run.trace";
    const std::string cmd = "QUESSANTA_GL_SCENARIO=" + name +
                            " ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0 apitrace trace --api=gl --output=" +
                            trace + " /proc/" + std::to_string(getpid()) + "/exe >" + dir + "/log 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    std::vector<std::string> calls;
    FILE* dump = popen(("apitrace dump --color=never " + trace + " 2>/dev/null").c_str(), "r");
    if (dump) {
        char line[4096];
        while (std::fgets(line, sizeof line, dump)) {
            std::string s(line);
            // "123 glEnable(cap = GL_TEXTURE_2D)"
            const std::size_t space = s.find(' ');
            if (space == std::string::npos || s.compare(space + 1, 2, "gl") != 0) continue;
            while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
            calls.push_back(s.substr(space + 1));
        }
        pclose(dump);
    }
    testsupport::removeTree(dir);
    return calls;
}

// The calls between marker `from` and the next marker.
std::vector<std::string> section(const std::vector<std::string>& calls, int from) {
    std::vector<std::string> out;
    bool inside = false;
    for (const std::string& c : calls) {
        if (c.rfind("glClearIndex(", 0) == 0) {
            if (inside) break;
            inside = c.find("c = " + std::to_string(from) + ")") != std::string::npos;
            continue;
        }
        if (inside) out.push_back(c);
    }
    return out;
}

// Call names only. apitrace records client-array pointers to user memory at
// the draw that reads them, in an order of its own, so those three read as one.
std::vector<std::string> names(const std::vector<std::string>& calls) {
    std::vector<std::string> out;
    for (const std::string& c : calls) {
        std::string n = c.substr(0, c.find('('));
        if (n == "glVertexPointer" || n == "glNormalPointer" || n == "glTexCoordPointer") n = "arrays";
        out.push_back(n);
    }
    return out;
}

TEST(GlCallsTest, TransformIssuesOnlyNonZeroComponents) {
    const std::vector<std::string> calls = traceScenario("transform");
    ASSERT_FALSE(calls.empty());
    EXPECT_TRUE(section(calls, 1).empty());
    const std::vector<std::string> some = section(calls, 2);
    ASSERT_EQ(some.size(), 2u);
    EXPECT_EQ(some[0], "glTranslatef(x = 1, y = 0, z = 0)");
    EXPECT_EQ(some[1], "glRotatef(angle = 5, x = 0, y = 1, z = 0)");
}

TEST(GlCallsTest, ScaledModelIsDrawnInsideItsOwnNormalizedPushPop) {
    const std::vector<std::string> calls = names(section(traceScenario("scale"), 2));
    const std::vector<std::string> expected = {
        "glPushMatrix", "glPushMatrix", "glScaled", "glEnable", "glGetDoublev", "glBindTexture", "glMaterialf",
        "glMaterialfv", "glMaterialfv", "glMaterialfv", "arrays", "arrays", "arrays", "glDrawArrays", "glDisable", "glPopMatrix", "glPopMatrix"};
    EXPECT_EQ(calls, expected);
    const std::vector<std::string> full = section(traceScenario("scale"), 2);
    ASSERT_GE(full.size(), 10u);
    EXPECT_NE(full[6].find("GL_SHININESS"), std::string::npos);
    EXPECT_NE(full[7].find("GL_SPECULAR"), std::string::npos);
    EXPECT_NE(full[8].find("GL_DIFFUSE"), std::string::npos);
    EXPECT_NE(full[9].find("GL_AMBIENT"), std::string::npos);
    ASSERT_GE(full.size(), 4u);
    EXPECT_EQ(full[2], "glScaled(x = 1, y = 1, z = 1)");
    EXPECT_EQ(full[3], "glEnable(cap = GL_NORMALIZE)");
}

TEST(GlCallsTest, LightPlacementAndSetup) {
    const std::vector<std::string> calls = traceScenario("lights");
    EXPECT_TRUE(section(calls, 1).empty());  // selectors 0 and 6
    const std::vector<std::string> placed = section(calls, 2);
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0].rfind("glLightfv(light = GL_LIGHT1, pname = GL_POSITION", 0), 0u) << placed[0];
    const std::vector<std::string> setup = section(calls, 3);
    const char* order[] = {"GL_AMBIENT", "GL_DIFFUSE", "GL_SPECULAR", "GL_CONSTANT_ATTENUATION",
                           "GL_QUADRATIC_ATTENUATION"};
    ASSERT_EQ(setup.size(), 5u);
    for (int i = 0; i < 5; ++i)
        EXPECT_NE(setup[static_cast<size_t>(i)].find(std::string("pname = ") + order[i] + ","), std::string::npos)
            << setup[static_cast<size_t>(i)];
}

TEST(GlCallsTest, DeferredPartRestoresStateInOrder) {
    const std::vector<std::string> calls = section(traceScenario("deferred"), 2);
    const std::vector<std::string> expected = {
        "glDepthMask(flag = GL_FALSE)", "glEnable(cap = GL_LIGHTING)", "glEnable(cap = GL_LIGHT1)",
        "glEnable(cap = GL_ALPHA_TEST)"};
    ASSERT_GE(calls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(calls[i], expected[i]);
    const std::vector<std::string> n = names(calls);
    const std::vector<std::string> tail = {"glDrawArrays", "glDisable", "glDisable", "glDisable", "glDisable",
                                           "glDepthMask"};
    ASSERT_GE(n.size(), tail.size());
    EXPECT_EQ(std::vector<std::string>(n.end() - static_cast<std::ptrdiff_t>(tail.size()), n.end()), tail);
    EXPECT_EQ(calls.back(), "glDepthMask(flag = GL_TRUE)");
    EXPECT_EQ(calls[calls.size() - 2], "glDisable(cap = GL_BLEND)");
    EXPECT_EQ(calls[calls.size() - 3], "glDisable(cap = GL_ALPHA_TEST)");
    EXPECT_EQ(calls[calls.size() - 4], "glDisable(cap = GL_LIGHT1)");
    EXPECT_EQ(calls[calls.size() - 5], "glDisable(cap = GL_LIGHTING)");
}

}  // namespace
