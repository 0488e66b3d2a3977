// Screensaver mode: settings, display, scene, main loop, teardown.
#include "app/App.h"
#include "app/FullScreenDisplay.h"
#include "app/MainLoop.h"
#include "app/OverlayAssembly.h"
#include "app/RunModes.h"
#include "app/SceneAssembly.h"
#include "content/Lighting.h"
#include "formats/CommandLine.h"
#include "formats/Options.h"
#include "formats/SettingsFile.h"
#include "platform/Platform.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// The settings from the file, or the defaults: silently when there is none
// or it is not a settings file, with one line when it cannot be read.
std::unique_ptr<Settings> readSettings() {
    const std::string path = platform::settingsFilePath();
    const LoadedSettings loaded = loadSettings(path);
    if (loaded.source == SettingsSource::Unreadable)
        std::fprintf(stderr, "%s: %s; using the default settings\n", path.c_str(), loaded.reason.c_str());
    return std::make_unique<Settings>(loaded.settings);
}

// The host's window to draw in: the one --window-id names, or with --root
// the one XSCREENSAVER_WINDOW names (else the root window); 0 for full
// screen. False, after one line, when XSCREENSAVER_WINDOW does not name a
// window or there is no screen whose root window could be used.
bool hostWindow(const ParsedOptions& options, std::uint64_t* window) {
    *window = 0;
    if (options.windowIdGiven) {
        *window = options.windowId;
    } else if (options.root) {
        const std::string& named = App::runInputs.hostWindowName;
        if (!named.empty()) {
            if (!parseWindowIdText(named.c_str(), window)) {
                std::fprintf(stderr, "%s: XSCREENSAVER_WINDOW='%s' is not a window id\n", programName().c_str(),
                             named.c_str());
                return false;
            }
        } else {
            *window = platform::rootWindow();
            // Without it, --root would quietly turn into a full-screen run
            // on whatever video driver SDL falls back to.
            if (!*window) {
                std::fprintf(stderr, "%s: --root: no display to draw on\n", programName().c_str());
                return false;
            }
        }
    }
    return true;
}

// A pack that cannot be read ends the program, naming it. The full-screen
// window goes first: a message about it must not be hidden behind it.
void endOnPackFailure(const std::string& path, const std::string& reason) {
    SDL_Quit();
    platform::showFatalError(path + ": " + reason);
    std::exit(1);
}

}  // namespace

int runScreensaver(const ParsedOptions& options) {
    // From here on a stop signal ends start-up at once, wherever it blocks.
    platform::installStopSignals();
    // Without a display SDL would fall back to drivers that draw on the
    // terminal: one line instead.
    std::string error;
    if (!platform::prepareVideoDriver(&error)) {
        std::fprintf(stderr, "%s: %s\n", programName().c_str(), error.c_str());
        return 1;
    }
    std::uint64_t window = 0;
    if (!hostWindow(options, &window)) return 1;
    std::unique_ptr<Settings> settings = readSettings();
    App::packCache.setBaseDir(App::installDir.dataDir());
    // The scene cannot be shown without its packs: one that cannot be read
    // ends the program, naming it, with exit code 1.
    App::packCache.setOpenFailureHandler(endOnPackFailure);
    App::settings = std::move(settings);
    // For this run only: the file is never written.
    options.applyTo(*App::settings);
    // Watched before the video starts: the host may destroy its window at
    // any moment before it ends us, and then we end quietly.
    if (window && !platform::watchWindow(window, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (window)
        App::display = Display::openInWindow(window, &error);
    else
        App::display = openFullScreen(*App::settings, &error);
    if (!App::display) {
        if (window && platform::windowGone()) return 0;
        platform::showFatalError(error);
        return 1;
    }
    // The video mode may have changed: from now on only in order.
    platform::deferStopSignals();
    App::sceneRoot.reset(new SceneNode);
    App::overlayRoot.reset(new SceneNode);
    setupLight();
    std::vector<const char*> butterflyPackList;
    buildScene(App::sceneRoot.get(), butterflyPackList);
    buildOverlays();
    LoopOptions loop;
    loop.hostWindow = window;
    // In a host's window a steady rate unless asked otherwise, lower on a
    // software renderer; full screen, as many frames as the driver gives.
    loop.maxFps = options.maxFpsGiven
                      ? options.maxFps
                      : defaultMaxFps(window != 0, reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    runMainLoop(loop);
    teardown();
    return 0;
}
