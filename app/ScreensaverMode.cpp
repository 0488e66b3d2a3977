// Screensaver mode: settings, display, scene, main loop, teardown.
#include "app/App.h"
#include "app/MainLoop.h"
#include "app/OverlayAssembly.h"
#include "app/RunModes.h"
#include "app/SceneAssembly.h"
#include "content/Lighting.h"
#include "platform/Platform.h"

#include <fstream>
#include <vector>

int runScreensaver() {
    installStopHandlers();
    const std::string settingsPath = platform::settingsFilePath();
    std::ifstream settingsFile;
    if (!settingsPath.empty()) settingsFile.open(settingsPath, std::ios::binary);
    App::packCache.setBaseDir(App::installDir.asText());
    App::settings = settingsFile.is_open() ? new Settings(settingsFile) : new Settings();
    App::display = new Display(App::settings->screenWidth(), App::settings->screenHeight(),
                               App::settings->screenBitsPerPixel());
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
