// Whole-run frame-rate harness, one measurement per process (so that peak
// memory and start-up belong to that measurement alone):
//   scene  the screensaver's full scene (flowers, butterflies, the default
//          overlays) rendered by the program's own frame;
//   bare   the same meshes drawn from the same arrays with the same OpenGL
//          state, without the scene graph, motions or deferred list;
//   clear  an empty clear and swap, the floor any frame stands on;
//   fragments  the scene's draws, each counted (see FragmentCounts.h):
//          a table, then the frame's totals.
// Prints one line of key=value: frames per second, CPU milliseconds per
// frame (all threads, so the rasteriser's too), peak resident memory, and
// start-up split into opening the display, building the scene and the
// first frame. Before it, for the scene, lines "memory ..." say what the
// memory went to: resident memory after each stage (the context, the scene
// tree built, the first frame, which reads the packs, makes the textures
// and meshes and draws them, and the frames after it), and, once the
// scene runs, what it holds: pack entries in memory (the meshes among
// them, drawn in place), and the textures' texels (4 bytes each, as a
// software renderer keeps them).
//
// Usage: frame_rate scene|bare|clear WIDTHxHEIGHT SECONDS, or
//        frame_rate fragments WIDTHxHEIGHT FRAMES  (DISPLAY and the
// installation directory's packs needed; bench/frame_rate.sh sets both up
// and interleaves the rounds.)
#include "app/App.h"
#include "app/MainLoop.h"
#include "app/OverlayAssembly.h"
#include "app/SceneAssembly.h"
#include "bench/FragmentCounts.h"
#include "content/Lighting.h"
#include "formats/LittleEndian.h"
#include "platform/Platform.h"
#include "render/Multisampling.h"
#include "scene/BackdropCopy.h"
#include "scene/MotionFunctions.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct BarePart {
    const MeshPart* part;
    bool lit;
    bool depthTest;
};

// Every part of the tree with the state it is drawn under, in traversal
// order. With `copies`, a node whose parts a backdrop copy stands for goes
// there instead, since its parts have given their pictures back.
void collect(const SceneNode* node, bool lit, bool depthTest, std::vector<BarePart>& out,
             std::vector<const SceneNode*>* copies = nullptr) {
    for (const NodeCallback& c : node->callbacks) {
        if (c.function == lightingSwitch) lit = true;
        if (c.function == noDepthTest) depthTest = false;
    }
    if (copies && node->backdropCopy && node->backdropCopy->texture())
        copies->push_back(node);
    else
        for (std::int32_t i = 0; i < node->partCount; ++i)
            out.push_back({node->parts[static_cast<size_t>(i)], lit, depthTest});
    for (const SceneNode* child : node->children) collect(child, lit, depthTest, out, copies);
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

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void printStage(const char* stage) {
    std::printf("memory stage=%s rss_mib=%.1f peak_mib=%.1f\n", stage, platform::residentKilobytes() / 1024.0,
                platform::peakResidentKilobytes() / 1024.0);
}

// The copies standing for backdrops, in bytes (textures of 4 bytes a texel).
double backdropCopyBytes(const SceneNode& node) {
    double bytes = 0;
    if (node.backdropCopy && node.backdropCopy->texture() != 0) {
        GLint w = 0, h = 0;
        glBindTexture(GL_TEXTURE_2D, node.backdropCopy->texture());
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        bytes += 4.0 * w * h;
    }
    for (const SceneNode* child : node.children) bytes += backdropCopyBytes(*child);
    return bytes;
}

// What the running scene holds, in MiB.
void printHeldParts(const SceneNode& sceneRoot, const SceneNode& overlayRoot) {
    const double mib = 1024.0 * 1024.0;
    double packBytes = 0, textureBytes = 0, meshBytes = 0;
    for (std::size_t i = 0; i < App::packCache.openCount(); ++i) {
        const PackFile* pack = App::packCache.find(App::packCache.openName(i));
        packBytes += static_cast<double>(pack->bytesInMemory());
        for (std::size_t e = 0; e < pack->entryCount(); ++e) {
            if (pack->textureIdAt(e) == 0) continue;
            GLint w = 0, h = 0;
            glBindTexture(GL_TEXTURE_2D, pack->textureIdAt(e));
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
            textureBytes += 4.0 * w * h;
        }
    }
    textureBytes += static_cast<double>(App::proceduralTextures.pixelBytesAlive());
    textureBytes += backdropCopyBytes(sceneRoot);
    // Parts of one entry loaded by several nodes share its bytes.
    std::vector<BarePart> parts;
    collect(&sceneRoot, false, true, parts);
    collect(&overlayRoot, false, true, parts);
    std::set<const unsigned char*> seen;
    for (const BarePart& b : parts)
        // Three vertices a triangle, each 3 + 3 + 2 doubles.
        if (seen.insert(b.part->positions).second) meshBytes += 3 * 8 * 8.0 * b.part->triangleCount;
    std::printf("memory pack_entries_mib=%.1f meshes_mib=%.1f textures_mib=%.1f\n", packBytes / mib,
                meshBytes / mib, textureBytes / mib);
}

double msSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

// Runs `frame` for the given seconds after a warm-up; frames per second and
// CPU milliseconds per frame.
template <class Frame>
void measure(double seconds, Frame frame, double* fps, double* cpuMs) {
    for (int i = 0; i < 20; ++i) frame();
    glFinish();
    long frames = 0;
    const double cpu0 = cpuSeconds();
    const auto t0 = Clock::now();
    while (std::chrono::duration<double>(Clock::now() - t0).count() < seconds) {
        frame();
        ++frames;
    }
    glFinish();
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    *fps = frames / wall;
    *cpuMs = 1000.0 * (cpuSeconds() - cpu0) / static_cast<double>(frames);
}

void bareFrame(const std::vector<const SceneNode*>& copies, const std::vector<BarePart>& opaque,
               const std::vector<BarePart>& clear) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The backdrop as the scene puts it back, where it was placed.
    for (const SceneNode* node : copies) {
        glLoadMatrixd(node->parts[0]->modelView);
        node->backdropCopy->draw(node->parts, static_cast<std::size_t>(node->partCount));
    }
    for (const BarePart& b : opaque) drawBare(b);
    glDepthMask(GL_FALSE);
    for (const BarePart& b : clear) drawBare(b);
    glDepthMask(GL_TRUE);
    App::proceduralTextures.updateAll();
    SDL_GL_SwapBuffers();
}

}  // namespace

int main(int argc, char** argv) {
    const auto start = Clock::now();
    int width = 0, height = 0;
    if (argc != 4 || std::sscanf(argv[2], "%dx%d", &width, &height) != 2) {
        std::fprintf(stderr, "usage: frame_rate scene|bare|clear WIDTHxHEIGHT SECONDS\n"
                             "       frame_rate fragments WIDTHxHEIGHT FRAMES\n");
        return 2;
    }
    const std::string mode = argv[1];
    const double seconds = std::atof(argv[3]);
    App::packCache.setBaseDir(App::installDir.dataDir());
    setMultisampleChoice(parseMultisampleChoice(App::runInputs.multisample));
    App::settings.reset(new Settings());
    Result<std::unique_ptr<Display>> opened = Display::open(width, height, 32);
    if (!opened) {
        std::fprintf(stderr, "frame_rate: %s\n", opened.message().c_str());
        return 1;
    }
    App::display = std::move(*opened);
    if (mode == "fragments" && !fragmentCountsAvailable()) {
        std::fprintf(stderr, "frame_rate: the renderer cannot count fragments\n");
        return 1;
    }
    GLint sampleBuffers = 0;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    std::printf("renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    const double displayMs = msSince(start);
    const bool scene = mode == "scene";
    if (scene) printStage("context");
    App::sceneRoot.reset(new SceneNode);
    App::overlayRoot.reset(new SceneNode);
    double buildMs = 0, firstFrameMs = 0, fps = 0, cpuMs = 0;
    if (mode == "clear") {
        measure(seconds, [] {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            SDL_GL_SwapBuffers();
        }, &fps, &cpuMs);
    } else {
        const auto built = Clock::now();
        setupLight();
        std::vector<const char*> packs;
        buildScene(App::sceneRoot.get(), packs);
        App::overlays = buildOverlays(*App::settings, *App::display, *App::overlayRoot);
        buildMs = msSince(built);
        if (scene) printStage("tree");
        const auto first = Clock::now();
        renderFrame();
        glFinish();
        firstFrameMs = msSince(first);
        if (scene) printStage("first_frame");
        // As the program does once the builders have run.
        for (int i = 0; i < 2; ++i) renderFrame();
        platform::returnFreedMemory();
        if (mode == "fragments") {
            printFragmentTable([] { renderFrame(); }, static_cast<int>(seconds), width, height, *App::sceneRoot,
                               *App::overlayRoot);
        } else if (scene) {
            measure(seconds, [] { renderFrame(); }, &fps, &cpuMs);
            printStage("frames");
            printHeldParts(*App::sceneRoot, *App::overlayRoot);
        } else {
            // The same parts, as the last frame placed them. Transparent parts
            // go last, in traversal order, with depth writes off, as the
            // program does.
            std::vector<BarePart> all, opaque, clear;
            std::vector<const SceneNode*> copies;
            collect(App::sceneRoot.get(), false, true, all, &copies);
            collect(App::overlayRoot.get(), false, true, all, &copies);
            for (const BarePart& b : all) (b.part->transparent() ? clear : opaque).push_back(b);
            measure(seconds, [&] { bareFrame(copies, opaque, clear); }, &fps, &cpuMs);
        }
    }
    if (mode != "fragments")
        std::printf("mode=%s size=%dx%d samples=%d fps=%.2f cpu_ms=%.2f peak_rss_mib=%.1f display_ms=%.0f build_ms=%.0f "
                    "first_frame_ms=%.0f startup_ms=%.0f\n",
                    mode.c_str(), width, height, sampleBuffers ? 4 : 0, fps, cpuMs,
                    platform::peakResidentKilobytes() / 1024.0, displayMs, buildMs, firstFrameMs,
                    displayMs + buildMs + firstFrameMs);
    App::sceneRoot->requestRemoval();
    App::overlayRoot->requestRemoval();
    while (!App::sceneRoot->removed || !App::overlayRoot->removed) renderFrame();
    teardown();
    return 0;
}
