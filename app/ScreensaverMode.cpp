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
// or it is not a settings file, with a warning when it cannot be read.
std::unique_ptr<Settings> readSettings() {
    const Result<std::string> path = platform::settingsFilePath();
    const LoadedSettings loaded = loadSettings(path ? *path : std::string());
    if (loaded.source == SettingsSource::Unreadable)
        platform::warn(*path + ": " + loaded.reason + "; using the default settings");
    return std::make_unique<Settings>(loaded.settings);
}

// The host's window to draw in: the one --window-id names, or with --root
// the one XSCREENSAVER_WINDOW names (else the root window); 0 for full
// screen. An error when XSCREENSAVER_WINDOW does not name a window or there
// is no screen whose root window could be used.
Result<std::uint64_t> hostWindow(const ParsedOptions& options) {
    if (options.windowIdGiven) return options.windowId;
    if (!options.root) return std::uint64_t{0};
    const std::string& named = App::runInputs.hostWindowName;
    std::uint64_t window = 0;
    if (!named.empty()) {
        if (!parseHostWindowId(named, &window))
            return failure("XSCREENSAVER_WINDOW='" + named + "' is not a window id");
        return window;
    }
    window = platform::rootWindow();
    // Without it, --root would quietly turn into a full-screen run on
    // whatever video driver SDL falls back to.
    if (!window) return failure("--root: no display to draw on");
    return window;
}

// A pack that cannot be read ends the program, naming it. The full-screen
// window goes first: a message about it must not be hidden behind it.
void endOnPackFailure(const std::string& path, const std::string& reason) {
    // It may come from inside a frame, which never resumes: the trees are
    // freed while the OpenGL context still holds their textures.
    if (App::sceneRoot) destroyDescendants(*App::sceneRoot);
    if (App::overlayRoot) destroyDescendants(*App::overlayRoot);
    platform::stopFittingToScreen();
    SDL_Quit();
    platform::showFatalError(path + ": " + reason);
    std::exit(1);
}

// Ends a run that could not start: the one line through the fatal path.
int cannotRun(const Error& error) {
    platform::showFatalError(error.message);
    return 1;
}

// The overlays the settings ask for, from App's settings and display, under
// App's overlay root.
void buildAppOverlays() { App::overlays = buildOverlays(*App::settings, *App::display, *App::overlayRoot); }

}  // namespace

int runScreensaver(const ParsedOptions& options) {
    // From here on a stop signal ends start-up at once, wherever it blocks.
    platform::installStopSignals();
    // Without a display SDL would fall back to drivers that draw on the
    // terminal: one line instead.
    if (const Result<void> prepared = platform::prepareVideoDriver(); !prepared) return cannotRun(prepared.error());
    const Result<std::uint64_t> host = hostWindow(options);
    if (!host) return cannotRun(host.error());
    const std::uint64_t window = *host;
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
    if (window) {
        if (const Result<void> watched = platform::watchWindow(window); !watched) return cannotRun(watched.error());
    }
    Result<std::unique_ptr<Display>> display =
        window ? Display::openInWindow(window) : openFullScreen(*App::settings);
    if (!display) {
        if (window && platform::windowGone()) return 0;
        return cannotRun(display.error());
    }
    App::display = std::move(*display);
    // The video mode may have changed: from now on only in order.
    platform::deferStopSignals();
    App::sceneRoot.reset(new SceneNode);
    App::overlayRoot.reset(new SceneNode);
    setupLight();
    std::vector<const char*> butterflyPackList;
    buildScene(App::sceneRoot.get(), butterflyPackList);
    buildAppOverlays();
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
