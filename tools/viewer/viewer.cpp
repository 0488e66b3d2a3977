// viewer: looks at the artwork the way the screensaver shows it.
//
//   viewer PACK ENTRY --out FILE.png [--distance D] [--angles AX,AY,AZ]
//          [--scale S] [--lit] [--overlay] [--backdrop] [--time MS] [--light X,Y,Z]
//   viewer --scene --out FILE.png [--time MS] [--seed N] [overlay options]
//   viewer --clock digital12|digital24|analogue [--small] [--at HH:MM:SS] [--date YYYY-MM-DD] --out FILE.png
//   viewer --calendar en|ru [--date YYYY-MM-DD] --out FILE.png [--describe]
//   viewer --fps N --out FILE.png
//   viewer --butterfly PACK --out FILE.png [--distance D] [--angles AX,AY,AZ] [--time MS] [--seed N]
//
// Everything is built by the screensaver's own builders: the scene, the
// overlays (with the wall clock fixed at --date and --at) and the
// butterflies; single models load through SceneNode::loadModel. Packs come
// from the installation directory; the picture is the full-screen display,
// read back with glReadPixels after the given time of frames.
#include "app/App.h"
#include "app/MainLoop.h"
#include "app/OverlayAssembly.h"
#include "app/SceneAssembly.h"
#include "content/Butterflies.h"
#include "content/Calendar.h"
#include "content/Lighting.h"
#include "formats/CommandLine.h"
#include "formats/Settings.h"
#include "platform/Platform.h"
#include "png/Image.h"
#include "png/Png.h"
#include "render/Display.h"
#include "render/FrameTicks.h"
#include "render/Multisampling.h"
#include "scene/MotionFunctions.h"
#include "scene/SceneNode.h"
#include "scene/WallClock.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Options {
    std::string pack, entry, out;
    double distance = 100;
    double angles[3] = {0, 0, 0};
    double scale = 1;
    bool lit = false;
    bool overlay = false;
    bool backdrop = false;
    bool scene = false;
    int time = 0;
    unsigned seed = 1;
    std::string clock, calendar;
    bool smallClock = false;
    int hour = 10, minute = 8, second = 37;
    int year = 2026, month = 7, day = 14;  // month 1 ... 12
    int fps = -1;
    std::string butterfly;
    double light[3] = {0, 12, 45};  // the scene's light carrier
    bool describe = false;
};

void printUsage() {
    const char* n = platform::programName().c_str();
    std::printf("Usage: %s PACK ENTRY --out FILE.png [--distance D] [--angles AX,AY,AZ] [--scale S]\n"
                "              [--lit] [--overlay] [--backdrop] [--time MS] [--light X,Y,Z]\n"
                "       %s --scene --out FILE.png [--time MS] [--seed N]\n"
                "              [--clock ...] [--calendar ...] [--fps N]   (the overlays over the scene)\n"
                "       %s --clock digital12|digital24|analogue [--small] [--at HH:MM:SS]\n"
                "              [--date YYYY-MM-DD] --out FILE.png\n"
                "       %s --calendar en|ru [--date YYYY-MM-DD] --out FILE.png\n"
                "       %s --fps N --out FILE.png   (N from 1 to 999)\n"
                "       %s --butterfly PACK --out FILE.png [--distance D] [--angles AX,AY,AZ] [--time MS]\n"
                "       %s --help | --version\n"
                "\n"
                "Renders with the screensaver's own loader, projection and light, full screen\n"
                "on the X display, and saves the picture as a PNG. Packs come from the\n"
                "screensaver's data folder; the wall clock is fixed at --date and --at.\n"
                "  --describe (overlay views): also print what the overlays show, as the\n"
                "             run statistics read them, and the calendar page's cells\n"
                "  -h, --help       this text\n"
                "  -V, --version    the version\n",
                n, n, n, n, n, n, n);
}

// A bad command line: one line and the hint, exit 2.
[[noreturn]] void usageError(const std::string& problem) { std::exit(reportUsageError(problem)); }

Options parse(int argc, char** argv) {
    Options o;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (isHelpOption(a)) {
            printUsage();
            std::exit(0);
        }
        if (isVersionOption(a)) {
            std::printf("%s\n", versionLine().c_str());
            std::exit(0);
        }
    }
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) usageError(a + " needs a value");
            return argv[++i];
        };
        auto bad = [&](const std::string& v, const char* form) { usageError("bad value '" + v + "' for " + a + ": " + form); };
        if (a == "--out") o.out = value();
        else if (a == "--distance") o.distance = std::atof(value().c_str());
        else if (a == "--angles") {
            const std::string v = value();
            if (std::sscanf(v.c_str(), "%lf,%lf,%lf", &o.angles[0], &o.angles[1], &o.angles[2]) != 3) bad(v, "AX,AY,AZ");
        } else if (a == "--scale") o.scale = std::atof(value().c_str());
        else if (a == "--lit") o.lit = true;
        else if (a == "--overlay") o.overlay = true;
        else if (a == "--backdrop") o.backdrop = true;
        else if (a == "--time") o.time = std::atoi(value().c_str());
        else if (a == "--scene") o.scene = true;
        else if (a == "--seed") o.seed = static_cast<unsigned>(std::atol(value().c_str()));
        else if (a == "--clock") {
            o.clock = value();
            if (o.clock != "digital12" && o.clock != "digital24" && o.clock != "analogue")
                bad(o.clock, "digital12, digital24 or analogue");
        } else if (a == "--small") o.smallClock = true;
        else if (a == "--at") {
            const std::string v = value();
            if (std::sscanf(v.c_str(), "%d:%d:%d", &o.hour, &o.minute, &o.second) != 3) bad(v, "HH:MM:SS");
        } else if (a == "--calendar") {
            o.calendar = value();
            if (o.calendar != "en" && o.calendar != "ru") bad(o.calendar, "en or ru");
        } else if (a == "--date") {
            const std::string v = value();
            if (std::sscanf(v.c_str(), "%d-%d-%d", &o.year, &o.month, &o.day) != 3) bad(v, "YYYY-MM-DD");
        } else if (a == "--fps") {
            const std::string v = value();
            o.fps = std::atoi(v.c_str());
            if (o.fps < 1 || o.fps > 999) bad(v, "from 1 to 999");
        } else if (a == "--butterfly") o.butterfly = value();
        else if (a == "--describe") o.describe = true;
        else if (a == "--light") {
            const std::string v = value();
            if (std::sscanf(v.c_str(), "%lf,%lf,%lf", &o.light[0], &o.light[1], &o.light[2]) != 3) bad(v, "X,Y,Z");
        }
        else if (!a.empty() && a[0] == '-') usageError("unknown option '" + a + "'");
        else positional.push_back(a);
    }
    if (o.out.empty()) usageError("--out FILE.png is missing");
    const bool special = o.scene || !o.clock.empty() || !o.calendar.empty() || o.fps > 0 || !o.butterfly.empty();
    if (!special) {
        if (positional.size() != 2) usageError("a model view needs PACK and ENTRY");
        o.pack = positional[0];
        o.entry = positional[1];
    } else if (!positional.empty()) {
        usageError("unexpected argument '" + positional[0] + "'");
    }
    return o;
}

// A pack the picture needs cannot be missing.
void endOnPackFailure(const std::string& path, const std::string& reason) {
    platform::showFatalError(path + ": " + reason);
    std::exit(1);
}

// The overlays' settings for the views that show one.
Settings overlaySettings(const Options& o) {
    Settings s;
    s.showClock = !o.clock.empty();
    s.analogClock = o.clock == "analogue";
    s.clock24h = o.clock == "digital24";
    s.largeClock = !o.smallClock;
    s.showCalendar = !o.calendar.empty();
    s.russianCalendar = o.calendar == "ru";
    s.showFps = o.fps > 0;
    return s;
}

// The scene light at the chosen place, and the meadow behind when asked for.
void addLightAndBackdrop(SceneNode* root, const Options& o) {
    SceneNode* light = new SceneNode;
    light->setPosition(o.light[0], o.light[1], o.light[2]);
    light->script.startNewStep({endlessMotion(placeLight, 1)});
    root->addChild(light);
    if (o.backdrop) root->addChild(buildBackground());
}

// Frame times, in ms from the start: 20 ms apart up to --time, and at least
// three frames, so that builders which move their node (it takes effect in
// the next frame) and the pieces they add have settled. For the counter, N
// frames a second until its second refresh, which shows N (the first comes
// with the first frame that has any time); then three more frames, in which
// the digits of the first refresh expire and are reaped.
std::vector<std::uint32_t> frameTimes(const Options& o) {
    std::vector<std::uint32_t> times;
    if (o.fps > 0) {
        std::uint32_t t = 0;
        for (int i = 0; i <= 5 * o.fps + 1; ++i) {
            t = static_cast<std::uint32_t>(static_cast<long long>(i) * 1000 / o.fps);
            times.push_back(t);
        }
        for (std::uint32_t extra = 1; extra <= 3; ++extra) times.push_back(t + extra);
        return times;
    }
    for (int t = 0;; t += 20) {
        times.push_back(static_cast<std::uint32_t>(t));
        if (t >= o.time && times.size() >= 3) return times;
    }
}

Result<void> savePicture(const std::string& path, int width, int height) {
    Image image(width, height);
    std::vector<unsigned char> rows(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    for (int y = 0; y < height; ++y) {
        // OpenGL's first row is the bottom one.
        std::memcpy(image.pixel(0, y), &rows[static_cast<std::size_t>(height - 1 - y) * width * 4],
                    static_cast<std::size_t>(width) * 4);
        for (int x = 0; x < width; ++x) image.pixel(x, y)[3] = 255;
    }
    const std::vector<std::uint8_t> png = encodePng(image);
    if (png.empty()) return failure("cannot encode " + path);
    return platform::replaceFile(path, png.data(), png.size());
}

}  // namespace

int main(int argc, char** argv) {
    platform::setProgramName(argc > 0 ? argv[0] : nullptr, "viewer");
    setMultisampleChoice(parseMultisampleChoice(App::runInputs.multisample));
    const Options o = parse(argc, argv);
    App::packCache.setBaseDir(App::installDir.dataDir());
    App::packCache.setOpenFailureHandler(endOnPackFailure);

    if (const Result<void> prepared = platform::prepareVideoDriver(); !prepared) {
        platform::showFatalError(prepared.message());
        return 1;
    }
    Result<std::unique_ptr<Display>> opened = Display::open(0, 0, 0);
    if (!opened) {
        platform::showFatalError(opened.message());
        return 1;
    }
    std::unique_ptr<Display> display = std::move(*opened);
    setupLight();
    std::srand(o.seed);
    // The overlays read the wall clock: fixed at the asked moment.
    std::tm moment{};
    moment.tm_year = o.year - 1900;
    moment.tm_mon = o.month - 1;
    moment.tm_mday = o.day;
    moment.tm_hour = o.hour;
    moment.tm_min = o.minute;
    moment.tm_sec = o.second;
    fixWallClock(&moment);

    // Nodes take their first tick count when they are made: the first frame's.
    const std::uint32_t start = 100000;
    frameTicks = start;
    SceneNode* root = new SceneNode;
    SceneNode* overlay = new SceneNode;
    std::vector<const char*> packs;
    OverlayNodes overlayNodes{};
    const bool overlays = !o.clock.empty() || !o.calendar.empty() || o.fps > 0;
    if (o.scene) {
        buildScene(root, packs);
        if (overlays) overlayNodes = buildOverlays(overlaySettings(o), *display, *overlay);
    } else if (!o.clock.empty() || !o.calendar.empty() || o.fps > 0) {
        root->addChild(buildBackground());
        overlayNodes = buildOverlays(overlaySettings(o), *display, *overlay);
    } else if (!o.butterfly.empty()) {
        // Built by the screensaver's own builder, as the resting one is.
        addLightAndBackdrop(root, o);
        SceneNode* holder = new SceneNode;
        holder->addCallback(lightingSwitch, 0);
        SceneNode* carrier = new SceneNode;
        carrier->setPosition(0, 0, 100 - o.distance);
        carrier->setRotation(o.angles[0], o.angles[1], o.angles[2]);
        Motion build = oneShotMotion(buildButterfly, 0, -5.0, 0.2, 0);
        build.setFunction(buildButterfly, reinterpret_cast<MotionArgument>(o.butterfly.c_str()));
        carrier->script.startNewStep({build});
        holder->addChild(carrier);
        root->addChild(holder);
    } else {
        addLightAndBackdrop(root, o);
        SceneNode* holder = new SceneNode;
        if (o.lit) holder->addCallback(lightingSwitch, 0);
        SceneNode* node = new SceneNode;
        node->loadModel(o.pack.c_str(), o.entry.c_str());
        node->setPosition(0, 0, 100 - o.distance);
        node->setRotation(o.angles[0], o.angles[1], o.angles[2]);
        if (o.scale != 1) node->setScale(o.scale, o.scale, o.scale);
        holder->addChild(node);
        if (o.overlay) overlay->addCallback(noDepthTest, 0);
        (o.overlay ? overlay : root)->addChild(holder);
    }
    if (!o.backdrop && !o.scene && o.clock.empty() && o.calendar.empty() && o.fps < 0)
        glClearColor(0.32f, 0.36f, 0.42f, 0);

    const std::vector<std::uint32_t> times = frameTimes(o);
    for (std::size_t i = 0; i < times.size(); ++i) {
        frameTicks = start + times[i];
        drawFrame(*root, *overlay);
        if (i + 1 == times.size()) break;
        App::proceduralTextures.updateAll();
        SDL_GL_SwapBuffers();
    }
    const Result<void> saved = savePicture(o.out, display->width, display->height);
    if (o.describe) {
        const Settings shown = overlaySettings(o);
        std::printf("%s\n", describeOverlays(overlayNodes, *overlay, shown).c_str());
        if (overlayNodes[calendarOverlay]) {
            std::string cells;
            for (const std::string& cell : calendarPageCells(*overlayNodes[calendarOverlay])) cells += (cells.empty() ? "" : ",") + cell;
            std::printf("cells=%s\n", cells.c_str());
        }
    }
    if (!saved) platform::showFatalError(saved.message());

    destroyDescendants(*root);
    destroyDescendants(*overlay);
    delete root;
    delete overlay;
    return saved.ok() ? 0 : 1;
}
