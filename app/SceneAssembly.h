// The flower scene under the scene root: light, background, the turning
// flower group with its flowers and four butterflies.
#pragma once

#include <string>
#include <vector>

struct SceneNode;

// Builds the scene under `root`; `packs` receives the butterfly pack list,
// which must outlive the scene's first frame.
void buildScene(SceneNode* root, std::vector<const char*>& packs);

// The meadow picture behind everything, as the scene places it.
SceneNode* buildBackground();

// "turn=A,B": the flower group's and the butterflies' orbit's angles, in
// degrees, as the last frame turned them under a root buildScene filled;
// empty for any other tree. For the run statistics.
std::string describeTurns(const SceneNode& root);
