// Per draw of the real frame: the fragments the renderer rasterised and
// shaded, and the samples that survived the alpha and depth tests. The
// frame_rate harness is linked with glDrawArrays wrapped (see
// bench/CMakeLists.txt), so the program's own draws are counted as they are
// issued, with its own render states.
#pragma once

#include <functional>

struct SceneNode;

// Whether the renderer answers both queries in this context (fragment
// shader invocations need GL_ARB_pipeline_statistics_query).
bool fragmentCountsAvailable();

// Renders `frames` frames with every draw counted and prints one row per
// kind of draw (model entry, texture, render flags) in drawing order, each
// averaged over the frames, then the frame's totals as one key=value line:
//   mode=fragments size=WxH shaded=N passed=N pixels=N
void printFragmentTable(const std::function<void()>& frame, int frames, int width, int height,
                        const SceneNode& sceneRoot, const SceneNode& overlayRoot);
