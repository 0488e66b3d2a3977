// A test fixture with the program's own display state and private shared
// resources: a pack cache over a temporary folder, a procedural texture
// registry and a deferred-part list.
#pragma once

#include "render/Display.h"
#include "render/FrameTicks.h"
#include "render/PackCache.h"
#include "render/PackFile.h"
#include "render/ProceduralTextureRegistry.h"
#include "scene/MeshPart.h"
#include "scene/SceneResources.h"
#include "support/TestSupport.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace testsupport {

class SceneFixture : public ::testing::Test {
protected:
    static Display* display;

    static void SetUpTestSuite() {
        if (!display && std::getenv("DISPLAY")) display = new Display(256, 256, 32);
    }
    static void TearDownTestSuite() {
        delete display;
        display = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(display, nullptr) << "needs an X display (DISPLAY)";
        dir = makeTempDir();
        cache = new PackCache;
        cache->setBaseDir(dir + "/");
        registry = new ProceduralTextureRegistry;
        SceneResources::packCache = cache;
        SceneResources::textures = registry;
        SceneResources::deferredParts = &deferred;
        frameTicks = 0;
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    void TearDown() override {
        delete cache;
        delete registry;
        SceneResources::packCache = nullptr;
        SceneResources::textures = nullptr;
        SceneResources::deferredParts = nullptr;
        removeTree(dir);
    }

    // Writes a pack into the fixture's folder.
    void writePack(const std::string& name,
                   const std::vector<std::pair<std::string, std::vector<unsigned char>>>& entries) {
        PackFile pack;
        for (const auto& e : entries)
            pack.addEntry(e.first, e.second.data(), static_cast<std::uint32_t>(e.second.size()));
        ASSERT_TRUE(pack.save(dir + "/" + name));
    }

    // One frame as the program renders it, without the buffer swap.
    void frame(std::uint32_t ticks, const std::vector<struct SceneNode*>& roots);

    std::string dir;
    PackCache* cache = nullptr;
    ProceduralTextureRegistry* registry = nullptr;
    std::vector<MeshPart*> deferred;
};

}  // namespace testsupport
