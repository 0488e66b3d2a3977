// Screensaver mode: settings, display, scene, main loop, teardown.
#include "app/App.h"
#include "app/MainLoop.h"
#include "app/OverlayAssembly.h"
#include "app/RunModes.h"
#include "app/SceneAssembly.h"
#include "content/Lighting.h"
#include "platform/Platform.h"

#include <cstdio>
#include <sstream>
#include <vector>

namespace {

// The settings file's bytes, as a stream for the reader; false when there is
// no file to read. Only a regular file is read, so a FIFO or a device in its
// place cannot block or flood start-up.
bool openSettings(std::istringstream& stream) {
    const std::string path = platform::settingsFilePath();
    if (path.empty()) return false;
    std::vector<unsigned char> bytes;
    platform::ReadFailure failure;
    if (!platform::readRegularFileStart(path, Settings::fileSize, &bytes, &failure)) {
        if (!failure.missing)
            std::fprintf(stderr, "%s: %s; using the default settings\n", path.c_str(), failure.reason.c_str());
        return false;
    }
    stream.str(std::string(bytes.begin(), bytes.end()));
    return true;
}

}  // namespace

int runScreensaver() {
    // From here on a stop signal ends start-up at once, wherever it blocks.
    platform::installStopSignals();
    std::istringstream settingsFile;
    const bool settingsOpen = openSettings(settingsFile);
    App::packCache.setBaseDir(App::installDir.asText());
    // The scene cannot be shown without its packs: one that cannot be read
    // ends the program, naming it, with exit code 1.
    App::packCache.setOpenFailureHandler(PackCache::endProcessOnOpenFailure);
    App::settings.reset(settingsOpen ? new Settings(settingsFile) : new Settings());
    std::string error;
    App::display = Display::open(App::settings->screenWidth(), App::settings->screenHeight(),
                                 App::settings->screenBitsPerPixel(), &error);
    if (!App::display) {
        std::fprintf(stderr, "%s\n", error.c_str());
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
    runMainLoop();
    teardown();
    return 0;
}
