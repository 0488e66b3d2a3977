#include "app/MainLoop.h"

#include "app/App.h"
#include "app/StatsReport.h"
#include "platform/Platform.h"
#include "res/FrameTicks.h"

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
    frameTicks = SDL_GetTicks();
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

void runMainLoop() {
    int quitRequested = 0;
    for (;;) {
        if (quitRequested && App::sceneRoot->removed && App::overlayRoot->removed) break;
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) {
                requestQuit(quitRequested);
            } else if (event.type == SDL_MOUSEMOTION) {
                if (SDL_GetTicks() > 3000 && App::settings && App::settings->exitOnMouseMove)
                    requestQuit(quitRequested);
            }
            // Everything else, the window system's quit request included, is ignored.
        }
        if (platform::stopRequested()) requestQuit(quitRequested);
        renderFrame();
        reportStatsIfDue();
    }
}

void teardown() {
    App::settings.reset();
    App::sceneRoot.reset();
    App::overlayRoot.reset();
    App::display.reset();
}
