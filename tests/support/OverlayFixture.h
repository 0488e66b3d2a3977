// Shared set-up for the overlay tests: small packs holding every entry the
// clock, the calendar and the counter ask for, a private pack cache and
// deferred list, and a frame that records what was drawn.
//
// Every test model is one transparent triangle, so every draw of a model
// is queued on the deferred list: after the traversal the queue is the
// exact sequence of models drawn in that frame.
#pragma once

#include "render/FrameTicks.h"
#include "render/PackCache.h"
#include "render/PackFile.h"
#include "render/ProceduralTextureRegistry.h"
#include "scene/MeshPart.h"
#include "scene/SceneNode.h"
#include "scene/SceneResources.h"
#include "support/ModelBytes.h"
#include "support/PackEntries.h"
#include "support/TestSupport.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace testsupport {

// One part with one triangle, transparent, texture "t" (absent: texture 0).
inline std::vector<unsigned char> triangleModel() {
    PartBlueprint part;
    part.textureName = "t";
    part.transparent = true;
    part.ambient[0] = part.ambient[1] = part.ambient[2] = part.ambient[3] = 0;
    part.diffuse[0] = part.diffuse[1] = part.diffuse[2] = part.diffuse[3] = 0;
    part.specular[3] = 0;
    part.positions = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    return modelEntry({part});
}

// What one queued part showed.
struct DrawnPart {
    std::string entry;
    bool depthTest;
    double modelView[16];
};

// The test window's OpenGL context, or why there is none.
inline ::testing::AssertionResult windowContext() {
    if (openGlContext()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no OpenGL window (needs DISPLAY): " << SDL_GetError();
}

class OverlayFixture : public ::testing::Test {
protected:
    void SetUp() override {
        dir = makeTempDir();
        ASSERT_FALSE(dir.empty());
        writePack("clock.pak", clockEntries());
        writePack("calendar.pak", calendarEntries());
        writePack("utils.pak", utilsEntries());
        cache = new PackCache;
        cache->setBaseDir(dir + "/");
        registry = new ProceduralTextureRegistry;
        SceneResources::packCache = cache;
        SceneResources::textures = registry;
        SceneResources::deferredParts = &deferred;
        frameTicks = 0;
    }

    void TearDown() override {
        for (SceneNode* root : roots) deleteTree(root);
        roots.clear();
        delete cache;
        delete registry;
        SceneResources::packCache = nullptr;
        SceneResources::textures = nullptr;
        SceneResources::deferredParts = nullptr;
        removeTree(dir);
    }

    void writePack(const std::string& name, const std::vector<std::string>& entries) {
        const std::vector<unsigned char> model = triangleModel();
        PackFile pack;
        for (const std::string& entry : entries)
            pack.addEntry(entry, model.data(), static_cast<std::uint32_t>(model.size()));
        ASSERT_TRUE(pack.save(dir + "/" + name));
    }

    // A root the fixture deletes at the end, carrying one one-shot motion
    // (a builder) with the given selector.
    SceneNode* carrier(MotionFunction builder, std::int32_t selector) {
        SceneNode* node = new SceneNode;
        Motion once(1, true, -1);
        once.setFunction(builder, selector, 0.0, 0.0, 0.0);
        node->script.addStep();
        node->script.addMotion(once);
        node->script.startStep(0);
        roots.push_back(node);
        return node;
    }

    // One frame as the program draws it (camera at z = +100), with depth
    // testing on as the display leaves it; `drawn` receives the models drawn.
    void frame(std::uint32_t ticks, SceneNode& root) {
        frameTicks = ticks;
        glEnable(GL_DEPTH_TEST);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(0, 0, -100);
        root.draw();
        drawn.clear();
        for (MeshPart* part : deferred) {
            DrawnPart d;
            d.entry = entryOf(*part);
            d.depthTest = part->savedDepthTest != 0;
            std::memcpy(d.modelView, part->modelView, sizeof d.modelView);
            drawn.push_back(d);
        }
        flushDeferred();
    }

    // The entries drawn in the last frame, in drawing order.
    std::vector<std::string> drawnNames() const {
        std::vector<std::string> names;
        for (const DrawnPart& d : drawn) names.push_back(d.entry);
        return names;
    }

    // The pack entry a part's geometry lies in.
    std::string entryOf(const MeshPart& part) const {
        const PackFile* pack = cache->find(part.textureSource);
        if (!pack) return "?";
        for (std::size_t i = 0; i < pack->entryCount(); ++i) {
            const EntryData e = pack->entryAt(i);
            if (part.positions >= e.data && part.positions < e.data + e.size) return pack->entryName(i);
        }
        return "?";
    }

    // The destroy step leaves children alone; tests take whole trees down.
    static void deleteTree(SceneNode* node) {
        for (SceneNode* child : node->children) deleteTree(child);
        delete node;
    }

    std::string dir;
    PackCache* cache = nullptr;
    ProceduralTextureRegistry* registry = nullptr;
    std::vector<MeshPart*> deferred;
    std::vector<SceneNode*> roots;
    std::vector<DrawnPart> drawn;
};

}  // namespace testsupport
