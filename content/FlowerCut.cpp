#include "content/FlowerCut.h"

#include "content/ScenePlacement.h"
#include "formats/ModelFormat.h"
#include "render/PackCache.h"
#include "render/PackFile.h"
#include "scene/SceneNode.h"
#include "scene/SceneResources.h"

#include <GL/gl.h>

std::string flowerCutEntry(const std::string& packName, int height) {
    const std::string finest = scenePlacement::flowerCuts[0].entry;
    const int cut = scenePlacement::flowerCutFor(height);
    PackCache* cache = SceneResources::packCache;
    const PackFile* pack = cache ? cache->find(packName) : nullptr;
    if (cut == 0 || !pack) return finest;
    // The finest cut is the bunch; a coarser one stands for it only while
    // it was cut from the very bytes the pack holds as the finest. A pack
    // made without the cuts, or whose bunch was replaced, shows its own.
    const std::string entry = scenePlacement::flowerCuts[cut].entry;
    const EntryData bytes = pack->entryData(entry);
    std::uint32_t madeFrom = 0;
    if (!cutFromCrc(bytes.data, bytes.size, &madeFrom)) return finest;
    const Result<std::uint32_t> source = pack->entryCrc32(finest);
    return source && *source == madeFrom ? entry : finest;
}

int viewportHeight() {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    return viewport[3];
}

void fitFlowerCut(MotionArgument) {
    // valueA keeps the height the node's cut was last chosen for, so that
    // the checksums are read only when that height changes.
    Motion& motion = *currentMotion;
    const int height = viewportHeight();
    if (motion.valueA == height) return;
    motion.valueA = height;
    SceneNode& node = *currentNode;
    if (node.packNames.size() != 1) return;
    const std::string entry = flowerCutEntry(node.packNames[0], height);
    if (node.entryNames[0] != entry) node.replaceModel(node.packNames[0].c_str(), entry.c_str());
}
