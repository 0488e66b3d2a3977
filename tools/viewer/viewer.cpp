// viewer: looks at the artwork the way the screensaver shows it.
//
//   viewer PACK ENTRY --out FILE.png [--distance D] [--angles AX,AY,AZ]
//          [--scale S] [--lit] [--overlay] [--backdrop] [--time MS] [--light X,Y,Z]
//   viewer --scene --out FILE.png [--time MS] [--seed N]
//   viewer --clock digital12|digital24|analogue [--small] [--at HH:MM:SS] --out FILE.png
//   viewer --calendar en|ru [--date YYYY-MM-DD] --out FILE.png
//   viewer --fps N --out FILE.png
//   viewer --butterfly PACK --out FILE.png [--distance D] [--angles AX,AY,AZ] [--time MS] [--seed N]
//
// Models load through SceneNode::loadModel from the packs in the
// installation directory (QUESSANTA_PATH, else the viewer's own folder);
// the picture comes from the full-screen Display, its projection and the
// scene light, read back with glReadPixels after the given time of frames.
#include "Image.h"
#include "Png.h"
#include "app/SceneAssembly.h"
#include "content/Butterflies.h"
#include "content/Lighting.h"
#include "res/Display.h"
#include "res/FrameTicks.h"
#include "res/PackCache.h"
#include "res/ProceduralTextureRegistry.h"
#include "scene/MeshPart.h"
#include "scene/MotionFunctions.h"
#include "scene/SceneNode.h"
#include "scene/SceneResources.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
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
};

[[noreturn]] void usage() {
    std::fprintf(stderr,
                 "usage: viewer PACK ENTRY --out FILE.png [--distance D] [--angles AX,AY,AZ] [--scale S]\n"
                 "              [--lit] [--overlay] [--backdrop] [--time MS]\n"
                 "       viewer --scene --out FILE.png [--time MS] [--seed N]\n"
                 "       viewer --clock digital12|digital24|analogue [--small] [--at HH:MM:SS] --out FILE.png\n"
                 "       viewer --calendar en|ru [--date YYYY-MM-DD] --out FILE.png\n"
                 "       viewer --fps N --out FILE.png\n"
                 "       viewer --butterfly PACK --out FILE.png [--distance D] [--angles AX,AY,AZ] [--time MS]\n");
    std::exit(2);
}

Options parse(int argc, char** argv) {
    Options o;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) usage();
            return argv[++i];
        };
        if (a == "--out") o.out = value();
        else if (a == "--distance") o.distance = std::atof(value().c_str());
        else if (a == "--angles") {
            if (std::sscanf(value().c_str(), "%lf,%lf,%lf", &o.angles[0], &o.angles[1], &o.angles[2]) != 3) usage();
        } else if (a == "--scale") o.scale = std::atof(value().c_str());
        else if (a == "--lit") o.lit = true;
        else if (a == "--overlay") o.overlay = true;
        else if (a == "--backdrop") o.backdrop = true;
        else if (a == "--time") o.time = std::atoi(value().c_str());
        else if (a == "--scene") o.scene = true;
        else if (a == "--seed") o.seed = static_cast<unsigned>(std::atol(value().c_str()));
        else if (a == "--clock") o.clock = value();
        else if (a == "--small") o.smallClock = true;
        else if (a == "--at") {
            if (std::sscanf(value().c_str(), "%d:%d:%d", &o.hour, &o.minute, &o.second) != 3) usage();
        } else if (a == "--calendar") o.calendar = value();
        else if (a == "--date") {
            if (std::sscanf(value().c_str(), "%d-%d-%d", &o.year, &o.month, &o.day) != 3) usage();
        } else if (a == "--fps") o.fps = std::atoi(value().c_str());
        else if (a == "--butterfly") o.butterfly = value();
        else if (a == "--light") {
            if (std::sscanf(value().c_str(), "%lf,%lf,%lf", &o.light[0], &o.light[1], &o.light[2]) != 3) usage();
        }
        else if (!a.empty() && a[0] == '-') usage();
        else positional.push_back(a);
    }
    if (o.out.empty()) usage();
    const bool special = o.scene || !o.clock.empty() || !o.calendar.empty() || o.fps >= 0 || !o.butterfly.empty();
    if (!special) {
        if (positional.size() != 2) usage();
        o.pack = positional[0];
        o.entry = positional[1];
    } else if (!positional.empty()) {
        usage();
    }
    return o;
}

std::string installDir(const char* argv0) {
    if (const char* env = std::getenv("QUESSANTA_PATH")) {
        std::string d = env;
        if (!d.empty() && d.back() != '/') d += '/';
        return d;
    }
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    std::string self = n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string(argv0);
    const std::size_t slash = self.rfind('/');
    return slash == std::string::npos ? std::string("./") : self.substr(0, slash + 1);
}

SceneNode* modelNode(const char* pack, const char* entry, double x, double y, double z) {
    SceneNode* n = new SceneNode;
    n->loadModel(pack, entry);
    n->setPosition(x, y, z);
    return n;
}

// Overlay pieces hang under a node with the depth test off, as the
// screensaver's overlay root has it.
SceneNode* overlayChild(SceneNode* parent, SceneNode* child) {
    child->addCallback(noDepthTest, 0);
    parent->addChild(child);
    return child;
}

void buildClock(SceneNode* overlay, const Display& d, const Options& o) {
    SceneNode* clock = new SceneNode;
    if (o.smallClock)
        clock->setPosition(-d.edgeX(-170), d.edgeY(-170), -70);
    else
        clock->setPosition(-d.edgeX(-70), d.edgeY(-70), 30);
    overlay->addChild(clock);
    if (o.clock == "analogue") {
        clock->translateBy(-9.3, 9, 0);
        overlayChild(clock, modelNode("clock.pak", "ciferblat", 0, 0, 0));
        const double angles[3] = {-6.0 * o.second, -6.0 * o.minute, -30.0 * o.hour - (o.minute / 2)};
        const char* names[3] = {"sec", "min", "chas"};
        for (int i = 0; i < 3; ++i) {
            SceneNode* hand = modelNode("clock.pak", names[i], 0, 0, 0);
            hand->setRotation(0, 0, angles[i]);
            overlayChild(clock, hand);
        }
        return;
    }
    const bool twelve = o.clock == "digital12";
    clock->translateBy(-10, 1, 0);
    if (twelve) clock->translateBy(-5.186, 0, 0);
    overlayChild(clock, modelNode("clock.pak", twelve ? "podlozka_am" : "podlozka", 0, 0, 0));
    int h = o.hour;
    std::string tens, units;
    if (twelve) {
        int h12 = h > 12 ? h - 12 : h;
        tens = h12 == 0 ? "1" : ((h12 / 10) % 10 ? std::to_string((h12 / 10) % 10) : "");
        units = h12 == 0 ? "2" : std::to_string(h12 % 10);
        overlayChild(clock, modelNode("clock.pak", h > 11 ? "pm" : "am", 11.432, 0, 0));
    } else {
        tens = (h / 10 == 0 && h != 0) ? "" : std::to_string(h / 10);
        units = std::to_string(h % 10);
    }
    const double xs[5] = {-6.483, -2.498, 0, 2.523, 6.466};
    const std::string shown[5] = {tens, units, o.second % 2 ? "dot" : "", std::to_string(o.minute / 10),
                                  std::to_string(o.minute % 10)};
    for (int i = 0; i < 5; ++i) {
        SceneNode* slot = new SceneNode;
        slot->setPosition(xs[i], 0, 0);
        overlayChild(clock, slot);
        if (!shown[i].empty()) slot->addChild(modelNode("clock.pak", shown[i].c_str(), 0, 0, 0));
    }
}

int weekdayOf(int y, int m, int d) {  // 0 = Sunday
    const int a = (14 - m) / 12;
    y -= a;
    m = m + 12 * a - 2;
    return (d + y + y / 4 - y / 100 + y / 400 + (31 * m) / 12 + 7000) % 7;
}

void buildCalendar(SceneNode* overlay, const Display& d, const Options& o) {
    const bool russian = o.calendar == "ru";
    SceneNode* cal = new SceneNode;
    cal->setPosition(-d.edgeX(-211), d.edgeY(183), -140);
    overlay->addChild(cal);
    cal->addChild(modelNode("calendar.pak", russian ? "fon_rus" : "fon", -16, -12, 0));
    SceneNode* page = new SceneNode;
    cal->addChild(page);
    page->addChild(modelNode("calendar.pak", russian ? "day_rus" : "day", -16, 8, 0));
    const std::string month = "m" + std::to_string(o.month);
    page->addChild(modelNode("calendar.pak", month.c_str(), -16, 16, 0));
    static const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int n = lengths[o.month - 1];
    if (o.month == 2 && o.year % 4 == 0) n = 29;
    int w = weekdayOf(o.year, o.month, 1);
    int first = w;
    if (russian) first = (w == 0 ? 7 : w) - 1;
    for (int i = 0; i < 42; ++i) {
        const int value = (i < first || i >= first + n) ? 0 : i - first + 1;
        const double x = 8.0 * ((i % 7) - 5), y = -8.0 * (i / 7);
        if (value == o.day) page->addChild(modelNode("calendar.pak", "sel", x, y, 0));
        const std::string name = value ? std::to_string(value) : "null";
        page->addChild(modelNode("calendar.pak", name.c_str(), x, y, 0));
    }
}

void buildCounter(SceneNode* overlay, const Display& d, const Options& o) {
    SceneNode* counter = modelNode("utils.pak", "fps", d.edgeX(-100) + 5, -2.5 - d.edgeY(-100), 0);
    overlay->addChild(counter);
    const int v = o.fps;
    const double xs[3] = {3.3, 1.9, 0.5};
    const int digits[3] = {v % 10, (v / 10) % 10, (v / 100) % 10};
    const bool shown[3] = {true, v >= 10, v >= 100};
    for (int i = 0; i < 3; ++i)
        if (shown[i]) overlayChild(counter, modelNode("utils.pak", std::to_string(digits[i]).c_str(), xs[i], 0, 0));
}

SceneNode* backdropNode() {
    SceneNode* background = new SceneNode;
    background->loadModel("main.pak", "fon");
    background->setScale(4, 3, 3);
    background->setPosition(0, 0, -100);
    background->setRotation(0, 180, 180);
    return background;
}

// The scene light at the chosen place, and the meadow behind when asked for.
void addLightAndBackdrop(SceneNode* root, const Options& o) {
    SceneNode* light = new SceneNode;
    light->setPosition(o.light[0], o.light[1], o.light[2]);
    light->script.addStep();
    Motion m(1, true, 0);
    m.setFunction(placeLight, 1, 0, 0, 0);
    light->script.addMotion(m);
    light->script.startStep(0);
    root->addChild(light);
    if (o.backdrop) root->addChild(backdropNode());
}

void deleteTree(SceneNode* node) {
    for (SceneNode* child : node->children) deleteTree(child);
    delete node;
}

bool savePicture(const std::string& path, int width, int height) {
    artgen::Image image(width, height);
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
    const std::vector<std::uint8_t> png = artgen::encodePng(image);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = !png.empty() && std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    const Options o = parse(argc, argv);
    PackCache* cache = new PackCache;
    cache->setBaseDir(installDir(argv[0]));
    ProceduralTextureRegistry* textures = new ProceduralTextureRegistry;
    std::vector<MeshPart*> deferred;
    SceneResources::packCache = cache;
    SceneResources::textures = textures;
    SceneResources::deferredParts = &deferred;

    Display* display = new Display(0, 0, 0);
    setupLight();
    std::srand(o.seed);

    SceneNode* root = new SceneNode;
    SceneNode* overlay = new SceneNode;
    overlay->addCallback(noDepthTest, 0);
    std::vector<const char*> packs;
    if (o.scene) {
        buildScene(root, packs);
    } else if (!o.clock.empty() || !o.calendar.empty() || o.fps >= 0) {
        root->addChild(backdropNode());
        if (!o.calendar.empty()) buildCalendar(overlay, *display, o);
        if (o.fps >= 0) buildCounter(overlay, *display, o);
        if (!o.clock.empty()) buildClock(overlay, *display, o);
    } else if (!o.butterfly.empty()) {
        // Built by the screensaver's own builder, as the resting one is.
        addLightAndBackdrop(root, o);
        SceneNode* holder = new SceneNode;
        holder->addCallback(lightingSwitch, 0);
        SceneNode* carrier = new SceneNode;
        carrier->setPosition(0, 0, 100 - o.distance);
        carrier->setRotation(o.angles[0], o.angles[1], o.angles[2]);
        carrier->script.addStep();
        Motion build(1, true, -1);
        build.setFunction(buildButterfly, 0, -5.0, 0.2, 0);
        build.setFunction(buildButterfly, reinterpret_cast<MotionArgument>(o.butterfly.c_str()));
        carrier->script.addMotion(build);
        carrier->script.startStep(0);
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
        (o.overlay ? overlay : root)->addChild(holder);
    }
    if (!o.backdrop && !o.scene) glClearColor(0.32f, 0.36f, 0.42f, 0);

    // Frames 20 ms apart, so motions and procedural textures move on.
    const std::uint32_t start = 100000;
    for (int t = 0;; t += 20) {
        frameTicks = start + static_cast<std::uint32_t>(t);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glTranslatef(0, 0, -100);
        root->draw();
        overlay->draw();
        flushDeferred();
        if (t >= o.time) break;
        textures->updateAll();
        SDL_GL_SwapBuffers();
    }
    const bool saved = savePicture(o.out, display->width, display->height);
    if (!saved) std::fprintf(stderr, "viewer: cannot write %s\n", o.out.c_str());

    deleteTree(root);
    deleteTree(overlay);
    delete display;
    delete textures;
    delete cache;
    return saved ? 0 : 1;
}
