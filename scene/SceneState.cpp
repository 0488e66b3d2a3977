// Every process-wide value of the scene layer, defined in one place. The
// design keeps them global: motion functions find their node and motion
// through currentNode and currentMotion, and the scene draws from the
// application's shared resources through SceneResources.
#include "scene/Motion.h"
#include "scene/SceneNode.h"
#include "scene/SceneResources.h"
#include "scene/WallClock.h"

// The node whose draw began last (SceneNode::draw writes it).
SceneNode* currentNode = nullptr;
// The motion whose function is running (MotionTrack::advance writes it).
Motion* currentMotion = nullptr;
// Nodes constructed and not yet destroyed, for the run statistics.
std::int64_t liveSceneNodes = 0;
// Model entries already reported as unusable (SceneNode::loadModel).
std::set<std::string> reportedModels;

// Pointed at the application's objects at start, or at a test's.
PackCache* SceneResources::packCache = nullptr;
ProceduralTextureRegistry* SceneResources::textures = nullptr;
std::vector<MeshPart*>* SceneResources::deferredParts = nullptr;

// The fixed local time, when fixWallClock set one (WallClock.cpp).
bool wallClockIsFixed = false;
std::tm fixedWallClock{};
