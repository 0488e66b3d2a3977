#include "app/App.h"

#include "render/FrameTicks.h"
#include "scene/SceneResources.h"

#include <cstdlib>

InstallDirValue::InstallDirValue() : text(platform::installDir()), data(platform::dataDirFor(text)) {}

namespace {

// The random choices of the scene differ from run to run; QUESSANTA_SEED
// fixes them (for tests and benchmarks).
bool seedRandom(const RunInputs& in) {
    if (!in.seed.empty())
        std::srand(static_cast<unsigned>(std::strtoul(in.seed.c_str(), nullptr, 10)));
    else
        std::srand(static_cast<unsigned>(in.startWallTime));
    return true;
}

}  // namespace

// Constructed in this order before main and destroyed in reverse after it.
std::unique_ptr<Display> App::display;
PackCache App::packCache;
ProceduralTextureRegistry App::proceduralTextures;
std::vector<MeshPart*> App::deferredParts;
RunInputs App::runInputs = readRunInputs();
static const bool randomSeeded = seedRandom(App::runInputs);
InstallDirValue App::installDir;
std::uint32_t& App::frameTicks = ::frameTicks;
std::unique_ptr<SceneNode> App::sceneRoot;
std::unique_ptr<SceneNode> App::overlayRoot;
OverlayNodes App::overlays{};
std::unique_ptr<Settings> App::settings;
std::uint64_t App::previewParent = 0;
std::int32_t App::previewWidth = 0;
std::int32_t App::previewHeight = 0;
platform::PreviewWindow* App::previewWindow = nullptr;

// The scene graph draws from the application's shared resources.
static const bool resourcesLinked = [] {
    SceneResources::packCache = &App::packCache;
    SceneResources::textures = &App::proceduralTextures;
    SceneResources::deferredParts = &App::deferredParts;
    return randomSeeded;
}();
