// Whole-run frame-rate harness: the screensaver's full scene (flowers,
// butterflies, the default overlays) rendered by the program's own frame,
// against a bare loop in the same run that draws the same meshes from the
// same arrays with the same OpenGL state, without the scene graph, motions
// or deferred list. Prints frames per second of both and their ratio, the
// time from start to the first frame and the peak resident memory.
//
// Usage: frame_rate [seconds per phase]   (DISPLAY and the installation
// directory's packs needed; bench/frame_rate.sh sets both up.)
#include "app/App.h"
#include "app/MainLoop.h"
#include "app/OverlayAssembly.h"
#include "app/SceneAssembly.h"
#include "content/Lighting.h"
#include "formats/LittleEndian.h"
#include "scene/MotionFunctions.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct BarePart {
    const MeshPart* part;
    bool lit;
    bool depthTest;
};

// Every part of the tree with the state it is drawn under, in traversal order.
void collect(const SceneNode* node, bool lit, bool depthTest, std::vector<BarePart>& out) {
    for (const NodeCallback& c : node->callbacks) {
        if (c.function == lightingSwitch) lit = true;
        if (c.function == noDepthTest) depthTest = false;
    }
    for (std::int32_t i = 0; i < node->partCount; ++i) out.push_back({node->parts[static_cast<size_t>(i)], lit, depthTest});
    for (const SceneNode* child : node->children) collect(child, lit, depthTest, out);
}

void drawBare(const BarePart& b) {
    const MeshPart& p = *b.part;
    if (b.lit) {
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT1);
    }
    if (!b.depthTest) glDisable(GL_DEPTH_TEST);
    if (p.alphaTested()) glEnable(GL_ALPHA_TEST);
    if (p.transparent()) glEnable(GL_BLEND);
    glLoadMatrixd(p.modelView);
    glBindTexture(GL_TEXTURE_2D, p.texture);
    float c[4];
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, readFloatLe(p.material + 52));
    for (int k = 0; k < 4; ++k) c[k] = readFloatLe(p.material + 36 + 4 * k);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, c);
    for (int k = 0; k < 4; ++k) c[k] = readFloatLe(p.material + 20 + 4 * k);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, c);
    for (int k = 0; k < 4; ++k) c[k] = readFloatLe(p.material + 4 + 4 * k);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, c);
    glVertexPointer(3, GL_DOUBLE, 0, p.positions);
    glNormalPointer(GL_DOUBLE, 0, p.normals);
    glTexCoordPointer(2, GL_DOUBLE, 0, p.texCoords);
    glDrawArrays(GL_TRIANGLES, 0, 3 * p.triangleCount);
    if (p.transparent()) glDisable(GL_BLEND);
    if (p.alphaTested()) glDisable(GL_ALPHA_TEST);
    if (!b.depthTest) glEnable(GL_DEPTH_TEST);
    if (b.lit) {
        glDisable(GL_LIGHT1);
        glDisable(GL_LIGHTING);
    }
}

long peakRssKb() {
    struct rusage u;
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    const auto start = Clock::now();
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    App::packCache.setBaseDir(App::installDir.asText());
    App::settings.reset(new Settings());
    App::display.reset(new Display(1024, 768, 32));
    App::sceneRoot.reset(new SceneNode);
    App::overlayRoot.reset(new SceneNode);
    setupLight();
    std::vector<const char*> packs;
    buildScene(App::sceneRoot.get(), packs);
    buildOverlays();
    renderFrame();
    glFinish();
    const double firstFrameMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();

    // Warm up, then the program's own frame.
    for (int i = 0; i < 20; ++i) renderFrame();
    glFinish();
    long frames = 0;
    auto t0 = Clock::now();
    while (std::chrono::duration<double>(Clock::now() - t0).count() < seconds) {
        renderFrame();
        ++frames;
    }
    glFinish();
    const double sceneFps = frames / std::chrono::duration<double>(Clock::now() - t0).count();

    // The same parts, as the last frame placed them. Transparent parts go
    // last, in traversal order, with depth writes off, as the program does.
    std::vector<BarePart> all, opaque, clear;
    collect(App::sceneRoot.get(), false, true, all);
    collect(App::overlayRoot.get(), false, true, all);
    for (const BarePart& b : all) (b.part->transparent() ? clear : opaque).push_back(b);
    for (int i = 0; i < 20; ++i) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (const BarePart& b : opaque) drawBare(b);
        SDL_GL_SwapBuffers();
    }
    glFinish();
    frames = 0;
    t0 = Clock::now();
    while (std::chrono::duration<double>(Clock::now() - t0).count() < seconds) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (const BarePart& b : opaque) drawBare(b);
        glDepthMask(GL_FALSE);
        for (const BarePart& b : clear) drawBare(b);
        glDepthMask(GL_TRUE);
        App::proceduralTextures.updateAll();
        SDL_GL_SwapBuffers();
        ++frames;
    }
    glFinish();
    const double bareFps = frames / std::chrono::duration<double>(Clock::now() - t0).count();

    std::printf("parts drawn per frame: %zu (%zu transparent)\n", all.size(), clear.size());
    std::printf("screensaver frame: %.1f frames/s\n", sceneFps);
    std::printf("bare loop:         %.1f frames/s\n", bareFps);
    std::printf("ratio:             %.3f (bar: at least 0.95)\n", sceneFps / bareFps);
    std::printf("start to first frame: %.0f ms\n", firstFrameMs);
    std::printf("peak resident memory: %.1f MiB\n", peakRssKb() / 1024.0);

    App::sceneRoot->requestRemoval();
    App::overlayRoot->requestRemoval();
    while (!App::sceneRoot->removed || !App::overlayRoot->removed) renderFrame();
    teardown();
    return 0;
}
