// A node of the scene tree: placement, motions, an optional model,
// callbacks around its drawing, and children.
#pragma once

#include "scene/Motion.h"
#include "scene/MotionScript.h"
#include "scene/MotionTrack.h"
#include "scene/Transform.h"

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

struct MeshPart;
class BackdropCopy;

enum CallbackPhase : std::int32_t { BeforeModel = 1, AfterModel = 2, BeforeChild = 3, AfterChild = 4 };

using NodeCallbackFunction = void (*)(std::int32_t phase, MotionArgument argument);

struct NodeCallback {
    NodeCallbackFunction function;
    MotionArgument argument;
};

struct SceneNode {
    Transform transform;
    MotionTrack track;
    MotionScript script;
    std::uint8_t removing = 0;
    std::uint8_t removed = 0;
    std::vector<NodeCallback> callbacks;
    std::vector<MeshPart*> parts;
    std::vector<std::string> packNames;   // one pack reference each
    std::vector<std::string> entryNames;  // the entry of each loadModel, beside its pack
    std::int32_t partCount = 0;
    std::uint8_t hasModel = 0;
    std::vector<SceneNode*> children;
    // A model that is all backdrop is put back from a copy once drawn.
    std::unique_ptr<BackdropCopy> backdropCopy;

    SceneNode();
    // Gives back the pack references and mesh parts. Children are not
    // destroyed: they leave the tree only through the removal protocol.
    ~SceneNode();
    SceneNode(const SceneNode&) = delete;
    SceneNode& operator=(const SceneNode&) = delete;

    void setPosition(double x, double y, double z) { transform.setPosition(x, y, z); }
    void translateBy(double dx, double dy, double dz) { transform.translateBy(dx, dy, dz); }
    void setRotation(double ax, double ay, double az) { transform.setRotation(ax, ay, az); }
    void rotateBy(double dax, double day, double daz) { transform.rotateBy(dax, day, daz); }
    void setScale(double sx, double sy, double sz) { transform.setScale(sx, sy, sz); }

    // Appends the parts of a model entry; may be called more than once.
    void loadModel(const char* packName, const char* entryName);
    // Loads this model in place of every model loaded so far, which it
    // gives back: for a motion of the node, before the node draws its model.
    void replaceModel(const char* packName, const char* entryName);
    void addChild(SceneNode* child) { children.push_back(child); }
    void addCallback(NodeCallbackFunction function, MotionArgument argument) {
        callbacks.push_back(NodeCallback{function, argument});
    }
    void requestRemoval() { removing = 1; }
    void draw();

private:
    void callAll(std::int32_t phase);
    static void releaseModels(const std::vector<MeshPart*>& parts, std::int32_t partCount,
                              const std::vector<std::string>& packNames);
    void drawParts();
};

// Deletes every node below `node` at once and empties its children: for a
// tree that cannot be dismantled over frames (nothing is drawn any more).
void destroyDescendants(SceneNode& node);

// The entry the node's first model was loaded from; "" for a node without a
// model. What the overlays report as shown.
std::string modelEntryName(const SceneNode& node);

// The node whose draw began last; read by the motion functions.
extern SceneNode* currentNode;
// Nodes constructed and not yet destroyed; watched by the long-run diagnostics.
extern std::int64_t liveSceneNodes;
// The model entries ("pack: entry") already reported as missing, empty or
// cut short, so that each is said once.
extern std::set<std::string> reportedModels;

// Appends the mesh parts of a model entry to `parts`; returns how many.
// Stops at the first part record that does not fit the entry. The entry's
// name goes into messages about the textures it names.
std::int32_t parseModel(const unsigned char* data, std::uint32_t size, const std::string& packName,
                        std::vector<MeshPart*>& parts, const std::string& entryName = std::string());
