#include "app/OverlayAssembly.h"

#include "app/App.h"
#include "formats/Settings.h"
#include "content/Calendar.h"
#include "content/Clock.h"
#include "content/FrameCounter.h"
#include "res/Display.h"
#include "scene/MotionFunctions.h"
#include "scene/SceneNode.h"

#include <algorithm>
#include <array>

void buildOverlays() {
    if (!App::settings || !App::display || !App::overlayRoot) return;
    buildOverlays(*App::settings, *App::display, *App::overlayRoot);
}

OverlayPlaces overlayPlaces(const Settings& settings, const Display& display) {
    OverlayPlaces p;
    // Narrower than 4:3 the overlays would leave the screen or cover the
    // flowers: they are placed as on a 4:3 screen of the same height (the
    // same scale), then shrunk towards their corners to the actual width.
    const double aspect = display.edgeX(-1) / display.edgeY(-1);
    p.scale = std::min(1.0, aspect / (4.0 / 3.0));
    const auto edgeX = [&](double depth) { return display.edgeX(depth) / p.scale; };
    const auto edgeY = [&](double depth) { return display.edgeY(depth); };
    // The depths handed to the edge functions are the nodes' distances from
    // the camera, which stands at z = +100 of the root's space.
    // 211 and 183 against a depth of 240 keep the calendar inside the corner.
    p.calendar = {-edgeX(-211), edgeY(183), -140};
    // 5 units right of the left edge, 2.5 below the top, at depth 100.
    p.counter = {edgeX(-100) + 5, -2.5 - edgeY(-100), 0};
    // The bottom-right corner, nearer the camera for the large clock.
    if (settings.largeClock)
        p.clock = {-edgeX(-70), edgeY(-70), 30};
    else
        p.clock = {-edgeX(-170), edgeY(-170), -70};
    if (p.scale < 1) {
        // Scaled about the root's origin, a place lands at scale times
        // itself: x already shrinks with the width (the 4:3 screen as wide
        // is scale times as high), y must keep scale times its distance from
        // the top or bottom edge, and the depth stays.
        const auto fit = [&](std::array<double, 3>& place, bool top) {
            const double depth = 100 - place[2];
            const double edge = top ? -edgeY(-depth) : edgeY(-depth);
            place = {place[0], edge / p.scale + place[1] - edge, place[2] / p.scale};
        };
        fit(p.calendar, true);
        fit(p.counter, true);
        fit(p.clock, false);
    }
    return p;
}

namespace {

// The root's own scale is its model's, and it has none: the callback
// applies it to the overlays instead.
void scaleOverlays(SceneNode& root, double scale) {
    root.setScale(scale, scale, scale);
    const MotionArgument transform = reinterpret_cast<MotionArgument>(&root.transform);
    for (const NodeCallback& c : root.callbacks)
        if (c.function == scaleChildren && c.argument == transform) return;
    root.addCallback(scaleChildren, transform);
}

// The overlays under the root, in the order buildOverlays adds them; null
// for those the settings leave out.
struct OverlayNodes {
    SceneNode* calendar = nullptr;
    SceneNode* counter = nullptr;
    SceneNode* clock = nullptr;
};

OverlayNodes overlayNodes(const SceneNode& root, const Settings& settings) {
    OverlayNodes nodes;
    std::size_t next = 0;
    auto take = [&]() -> SceneNode* { return next < root.children.size() ? root.children[next++] : nullptr; };
    if (settings.showCalendar) nodes.calendar = take();
    if (settings.showFps) nodes.counter = take();
    if (settings.showClock) nodes.clock = take();
    return nodes;
}

void moveBy(SceneNode* node, const std::array<double, 3>& from, const std::array<double, 3>& to) {
    if (node) node->translateBy(to[0] - from[0], to[1] - from[1], to[2] - from[2]);
}

}  // namespace

void followResize(const Settings& settings, const OverlayPlaces& before, const OverlayPlaces& after,
                  SceneNode& root) {
    // Moved by how far their corners moved, which keeps what the builders
    // added to their places (scaled with them).
    const OverlayNodes nodes = overlayNodes(root, settings);
    moveBy(nodes.calendar, before.calendar, after.calendar);
    moveBy(nodes.counter, before.counter, after.counter);
    moveBy(nodes.clock, before.clock, after.clock);
    if (after.scale != before.scale) scaleOverlays(root, after.scale);
}

void buildOverlays(const Settings& settings, const Display& display, SceneNode& root) {
    const OverlayPlaces places = overlayPlaces(settings, display);
    if (settings.showCalendar) {
        SceneNode* calendar = new SceneNode;
        calendar->setPosition(places.calendar[0], places.calendar[1], places.calendar[2]);
        calendar->script.startNewStep({oneShotMotion(buildCalendar, settings.russianCalendar ? 0 : 1)});
        root.addChild(calendar);
    }

    root.setPosition(0, 0, 0);
    root.addCallback(noDepthTest, 0);
    if (places.scale < 1) scaleOverlays(root, places.scale);

    if (settings.showFps) {
        SceneNode* counter = new SceneNode;
        counter->setPosition(places.counter[0], places.counter[1], places.counter[2]);
        counter->loadModel("utils.pak", "fps");
        counter->script.startNewStep({endlessMotion(updateFrameCounter)});
        root.addChild(counter);
    }

    if (settings.showClock) {
        SceneNode* clock = new SceneNode;
        clock->setPosition(places.clock[0], places.clock[1], places.clock[2]);
        Motion build = oneShotMotion(buildDigitalClock, settings.clock24h ? 1 : 0);
        if (settings.analogClock) build = oneShotMotion(buildAnalogueClock);
        clock->script.startNewStep({build});
        root.addChild(clock);
    }
}

std::string describeOverlays(const SceneNode& root, const Settings& settings) {
    const OverlayNodes nodes = overlayNodes(root, settings);
    const SceneNode* calendar = nodes.calendar;
    const SceneNode* counter = nodes.counter;
    const SceneNode* clock = nodes.clock;
    std::string out;
    auto append = [&](const std::string& part) {
        if (!out.empty()) out += ' ';
        out += part;
    };
    if (clock) append(describeClock(*clock, settings.analogClock != 0));
    if (calendar) append(describeCalendar(*calendar));
    if (counter) append(describeCounter(*counter));
    return out;
}
