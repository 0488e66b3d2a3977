// The flower scene under the scene root: light, background, the turning
// flower group with its flowers and four butterflies.
#pragma once

#include <vector>

struct SceneNode;

// Builds the scene under `root`; `packs` receives the butterfly pack list,
// which must outlive the scene's first frame.
void buildScene(SceneNode* root, std::vector<const char*>& packs);

// The meadow picture behind everything, as the scene places it.
SceneNode* buildBackground();
