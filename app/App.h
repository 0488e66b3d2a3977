// The single process-wide state record.
#pragma once

#include "app/OverlayAssembly.h"
#include "app/RunInputs.h"
#include "formats/Settings.h"
#include "platform/Platform.h"
#include "render/Display.h"
#include "render/PackCache.h"
#include "render/ProceduralTextureRegistry.h"
#include "scene/MeshPart.h"
#include "scene/SceneNode.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The installation directory, read once (the stand-in for the registry
// value "Path"), and the folder of the data files that goes with it (see
// platform::dataDirFor); both always end in a separator.
class InstallDirValue {
public:
    InstallDirValue();
    std::string asText() const { return text; }
    // The directory immediately followed by the file name.
    std::string pathOf(const std::string& fileName) const { return text + fileName; }
    std::string dataDir() const { return data; }
    std::string dataPathOf(const std::string& fileName) const { return data + fileName; }

private:
    std::string text;
    std::string data;
};

// The process-wide state of the application layer: every static member is
// here, constructed in this order before main and destroyed in reverse
// after it (the other layers' process-wide state: ARCHITECTURE.md).
struct App {
    static std::unique_ptr<Display> display;
    static PackCache packCache;
    static ProceduralTextureRegistry proceduralTextures;
    static std::vector<MeshPart*> deferredParts;
    static RunInputs runInputs;  // read once, before the generator is seeded from them
    static std::uint32_t& frameTicks;
    static std::unique_ptr<SceneNode> sceneRoot;
    static std::unique_ptr<SceneNode> overlayRoot;
    static OverlayNodes overlays;  // the overlays under overlayRoot
    static std::unique_ptr<Settings> settings;
    static InstallDirValue installDir;
    static std::uint64_t previewParent;
    static std::int32_t previewWidth;
    static std::int32_t previewHeight;
    static platform::PreviewWindow* previewWindow;
};
