// CPU time of one frame's draw traversal over a tree of about a hundred
// nodes with typical motions and callbacks and no mesh parts.
// Run with DISPLAY set (an Xvfb will do): the traversal issues real
// OpenGL matrix calls.
#include "render/FrameTicks.h"
#include "scene/MotionFunctions.h"
#include "scene/SceneNode.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <benchmark/benchmark.h>

#include <vector>

namespace {

void addMotion(SceneNode* n, MotionFunction f, int selector, double a, double b) {
    Motion m(1, true, 0);
    m.setFunction(f, selector, a, b, 0);
    n->script.addMotion(m);
}

// 1 root, 10 groups (spin + depth callback), 90 leaves (two sways each).
SceneNode* buildTree(int* nodes) {
    SceneNode* root = new SceneNode;
    *nodes = 1;
    for (int g = 0; g < 10; ++g) {
        SceneNode* group = new SceneNode;
        group->setPosition(g, 0, -g);
        group->script.addStep();
        addMotion(group, spin, 2, 30, g);
        group->script.startStep(0);
        group->addCallback(noDepthTest, 0);
        root->addChild(group);
        ++*nodes;
        for (int l = 0; l < 9; ++l) {
            SceneNode* leaf = new SceneNode;
            leaf->setPosition(l, 1, 0);
            leaf->setRotation(0, 0, 10 * l);
            leaf->script.addStep();
            addMotion(leaf, swayTranslate, 1, 2, 3);
            addMotion(leaf, swayRotate, 2, 6, 2);
            leaf->script.startStep(0);
            group->addChild(leaf);
            ++*nodes;
        }
    }
    return root;
}

void destroyTree(SceneNode* root) {
    root->requestRemoval();
    while (!root->removed) root->draw();
    delete root;
}

void BM_DrawTraversal(benchmark::State& state) {
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || !SDL_SetVideoMode(64, 64, 32, SDL_OPENGL)) {
        state.SkipWithError("needs an X display (DISPLAY)");
        SDL_Quit();
        return;
    }
    int nodes = 0;
    SceneNode* root = buildTree(&nodes);
    for (auto _ : state) {
        frameTicks += 16;
        glLoadIdentity();
        root->draw();
    }
    glFinish();
    state.counters["nodes"] = nodes;
    state.counters["per_node"] = benchmark::Counter(static_cast<double>(state.iterations()) * nodes,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    destroyTree(root);
    SDL_Quit();
}
BENCHMARK(BM_DrawTraversal)->Unit(benchmark::kMicrosecond);

}  // namespace
