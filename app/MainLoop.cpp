#include "app/MainLoop.h"

#include "app/App.h"
#include "app/DisplayWatch.h"
#include "app/MouseExitRule.h"
#include "app/StatsReport.h"
#include "formats/Options.h"
#include "platform/Platform.h"
#include "render/FrameTicks.h"
#include "render/SoftwareRenderer.h"

#include <SDL/SDL.h>
#include <GL/gl.h>

void drawFrame(SceneNode& scene, SceneNode& overlay) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0, 0, -100);
    scene.draw();
    overlay.draw();
    flushDeferred();
}

bool renderFrame() {
    advanceFrameTicks();
    drawFrame(*App::sceneRoot, *App::overlayRoot);
    // Plasma and fire animate from this frame's ticks. After the traversal,
    // so the random draws that build the scene keep their order.
    App::proceduralTextures.updateAll();
    SDL_GL_SwapBuffers();
    return true;
}

static void requestQuit(int& quitRequested) {
    quitRequested = 1;
    App::sceneRoot->requestRemoval();
    App::overlayRoot->requestRemoval();
}

namespace {

// Esc, and Alt+F4: SDL 1.2's Windows driver takes the Alt key's system
// messages itself, so Windows never turns Alt+F4 into a close request and
// it arrives as a key.
bool endsRun(const SDL_keysym& key) {
    return key.sym == SDLK_ESCAPE || (key.sym == SDLK_F4 && (key.mod & KMOD_ALT));
}

// Keeps frames at least 1/maxFps apart; 0 sets no cap. Waits until the next
// frame is due, or a stop request comes, and never tries to catch up on
// frames that came late.
class FramePacer {
public:
    explicit FramePacer(std::int32_t maxFps) : interval(maxFps > 0 ? 1.0 / maxFps : 0) {}
    void wait() {
        if (interval <= 0) return;
        const double now = platform::monotonicSeconds();
        due = due + interval;
        if (due < now) {
            due = now;
            return;
        }
        platform::sleepUnlessStopped(due - now);
    }

private:
    double interval;
    double due = platform::monotonicSeconds();
};

}  // namespace

std::int32_t defaultMaxFps(bool inHostWindow, const char* renderer) {
    return defaultFrameCap(inHostWindow, isSoftwareRenderer(renderer));
}

void runMainLoop(const LoopOptions& options) {
    int quitRequested = 0;
    DisplayWatch watch(options.hostWindow);
    FramePacer pacer(options.maxFps);
    // Mouse motion only ends a full-screen saver: in a host's window (or its
    // preview pane) the host decides.
    MouseExitRule mouse(!options.hostWindow && App::settings && App::settings->exitOnMouseMove);
    long frames = 0;
    for (;;) {
        if (quitRequested && App::sceneRoot->removed && App::overlayRoot->removed) break;
        // A bounded number a frame: a flood of events (sdl12-compat warps a
        // hidden pointer towards its window's middle, for ever when that
        // lies off a screen that just shrank) must not stop the frames
        // and the watch that puts the window right.
        SDL_Event event;
        for (int drained = 0; drained < 256 && SDL_PollEvent(&event); ++drained) {
            if (event.type == SDL_KEYDOWN && endsRun(event.key.keysym)) {
                requestQuit(quitRequested);
            } else if (event.type == SDL_MOUSEMOTION) {
                if (mouse.ends(event.motion.xrel, event.motion.yrel, frameTicks)) requestQuit(quitRequested);
            } else if (event.type == SDL_QUIT) {
                // The window system's close request (Alt+F4, a polite kill,
                // log-off): refusing it would hold the session up.
                requestQuit(quitRequested);
            }
            // Everything else is ignored.
        }
        // A stop signal comes from whoever runs us (a host, the session, a
        // service manager) and wants us gone now, and nothing is left to
        // draw in once a host's window has gone: either way no frames take
        // the trees apart; the teardown does.
        if (platform::stopRequested() || !watch.check()) break;
        renderFrame();
        mouse.frameShown(frameTicks);
        // The builders run in the first frames, decoding images into
        // textures; what they freed goes back to the system then.
        if (++frames == 3) platform::returnFreedMemory();
        reportStatsIfDue();
        // Taking the trees apart shows nothing: as fast as it goes.
        if (!quitRequested) pacer.wait();
    }
}

void teardown() {
    // After an early end (a stop signal, or the host's window went away)
    // the trees were not dismantled by the frames: take them apart here.
    if (App::sceneRoot) destroyDescendants(*App::sceneRoot);
    if (App::overlayRoot) destroyDescendants(*App::overlayRoot);
    App::overlays = {};
    App::settings.reset();
    App::sceneRoot.reset();
    App::overlayRoot.reset();
    App::display.reset();
}
