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
    App::settings = settingsOpen ? new Settings(settingsFile) : new Settings();
    App::display = new Display(App::settings->screenWidth(), App::settings->screenHeight(),
                               App::settings->screenBitsPerPixel());
    // The video mode may have changed: from now on only in order.
    platform::deferStopSignals();
    App::sceneRoot = new SceneNode;
    App::overlayRoot = new SceneNode;
    setupLight();
    std::vector<const char*> butterflyPackList;
    buildScene(App::sceneRoot, butterflyPackList);
    buildOverlays();
    runMainLoop();
    teardown();
    return 0;
}
