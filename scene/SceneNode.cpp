#include "scene/SceneNode.h"

#include "formats/ModelFormat.h"
#include "platform/Platform.h"
#include "render/PackCache.h"
#include "scene/BackdropCopy.h"
#include "scene/MeshPart.h"
#include "scene/SceneResources.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>

SceneNode::SceneNode() {
    script.track = &track;
    ++liveSceneNodes;
}

SceneNode::~SceneNode() {
    --liveSceneNodes;
    releaseModels(parts, partCount, packNames);
}

void SceneNode::releaseModels(const std::vector<MeshPart*>& parts, std::int32_t partCount,
                              const std::vector<std::string>& packNames) {
    for (const std::string& name : packNames)
        if (SceneResources::packCache) SceneResources::packCache->release(name);
    for (std::int32_t i = 0; i < partCount && static_cast<std::size_t>(i) < parts.size(); ++i) delete parts[i];
}

std::int32_t parseModel(const unsigned char* data, std::uint32_t size, const std::string& packName,
                        std::vector<MeshPart*>& parts, const std::string& entryName) {
    if (!data || size == 0) return 0;
    const unsigned char* end = data + size;
    const unsigned char* p = data;
    std::int32_t count = 0;
    if (!readModelHeader(p, end, &count)) return 0;
    std::int32_t loaded = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        MeshPart* part = new MeshPart;
        if (!part->load(p, end, packName, entryName)) {
            delete part;  // a truncated record: keep the complete parts before it
            break;
        }
        parts.push_back(part);
        ++loaded;
    }
    return loaded;
}

namespace {

// Why a model entry shows nothing, or less than it holds; empty when it is
// whole. A model of no parts is one on purpose, and shows nothing quietly.
std::string unusableModel(const EntryData& entry, std::int32_t loaded) {
    if (!entry.data) return "no such entry";
    if (entry.size == 0) return "empty entry, not a model";
    const unsigned char* cursor = entry.data;
    std::int32_t count = 0;
    if (!readModelHeader(cursor, entry.data + entry.size, &count)) return "not a model (cut short in its header)";
    if (loaded < count)
        return "model cut short: " + std::to_string(loaded) + " of its " + std::to_string(count) + " parts";
    return std::string();
}

}  // namespace

void SceneNode::loadModel(const char* packName, const char* entryName) {
    packNames.emplace_back(packName);
    entryNames.emplace_back(entryName);
    EntryData entry;
    PackCache* cache = SceneResources::packCache;
    if (cache) entry = cache->entryData(packName, entryName);
    const std::int32_t loaded = parseModel(entry.data, entry.size, packNames.back(), parts, entryNames.back());
    partCount += loaded;
    hasModel = 1;
    // The scene cannot show what it needs: said once per entry, since the
    // overlays load the same entries again and again.
    const std::string problem = cache ? unusableModel(entry, loaded) : std::string();
    if (!problem.empty()) {
        const PackFile* pack = cache->find(packName);
        const std::string where = (pack && !pack->path().empty() ? pack->path() : packName) + ": " + entryName;
        if (reportedModels.insert(where).second) platform::warn(where + ": " + problem);
    }
}

void SceneNode::replaceModel(const char* packName, const char* entryName) {
    // The new model first: a pack or texture both share stays open and
    // uploaded, instead of being given back and made again.
    std::vector<MeshPart*> oldParts;
    std::vector<std::string> oldPacks;
    oldParts.swap(parts);
    oldPacks.swap(packNames);
    const std::int32_t oldCount = partCount;
    entryNames.clear();
    partCount = 0;
    backdropCopy.reset();
    loadModel(packName, entryName);
    releaseModels(oldParts, oldCount, oldPacks);
}

void SceneNode::callAll(std::int32_t phase) {
    // By index: a callback never adds callbacks, but stay safe if one did.
    for (std::size_t i = 0; i < callbacks.size(); ++i) callbacks[i].function(phase, callbacks[i].argument);
}

void SceneNode::drawParts() {
    const std::size_t count = std::min(static_cast<std::size_t>(std::max(partCount, 0)), parts.size());
    if (BackdropCopy::suits(parts, count)) {
        if (!backdropCopy) backdropCopy.reset(new BackdropCopy);
        backdropCopy->draw(parts, count);
        return;
    }
    if (backdropCopy) {
        // A model loaded since made it more than a backdrop.
        for (std::size_t i = 0; i < count; ++i) parts[i]->takeTextureAgain();
        backdropCopy.reset();
    }
    for (std::size_t i = 0; i < count; ++i)
        if (parts[i]) parts[i]->draw();
}

void SceneNode::draw() {
    currentNode = this;
    glPushMatrix();
    transform.apply();
    if (!removing) {
        track.advance();
        if (hasModel) {
            callAll(BeforeModel);
            if (transform.scaleSet) {
                glPushMatrix();
                transform.applyScale();
                glEnable(GL_NORMALIZE);
                drawParts();
                glDisable(GL_NORMALIZE);
                glPopMatrix();
            } else {
                drawParts();
            }
            callAll(AfterModel);
        }
    }
    // Reap finished children, keeping the order of the rest.
    for (std::size_t i = 0; i < children.size();) {
        if (children[i]->removed) {
            delete children[i];
            children.erase(children.begin() + static_cast<std::ptrdiff_t>(i));
            i = 0;
        } else {
            ++i;
        }
    }
    if (removing && children.empty()) {
        removed = 1;
    } else {
        // By index: a child's motions never add to this list, but a node's
        // own motion may have (drawn in this same frame).
        for (std::size_t i = 0; i < children.size(); ++i) {
            SceneNode* child = children[i];
            if (removing) child->removing = 1;
            callAll(BeforeChild);
            child->draw();
            callAll(AfterChild);
        }
    }
    glPopMatrix();
}

std::string modelEntryName(const SceneNode& node) { return node.entryNames.empty() ? "" : node.entryNames[0]; }

void destroyDescendants(SceneNode& node) {
    for (SceneNode* child : node.children) {
        destroyDescendants(*child);
        delete child;
    }
    node.children.clear();
}
