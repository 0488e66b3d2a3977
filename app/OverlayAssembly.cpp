#include "app/OverlayAssembly.h"

#include "content/Calendar.h"
#include "content/Clock.h"
#include "content/FrameCounter.h"
#include "formats/Settings.h"
#include "render/Display.h"
#include "scene/MotionFunctions.h"
#include "scene/SceneNode.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace {

// The display's edges as an overlay's place sees them: x through the scale
// of narrow screens (see OverlayPlaces).
struct Edges {
    const Display& display;
    double scale;
    double x(double depth) const { return display.edgeX(depth) / scale; }
    double y(double depth) const { return display.edgeY(depth); }
};

// The depths handed to the edge functions are the nodes' distances from the
// camera, which stands at z = +100 of the root's space.

// Near the top-right corner: 211 and 183 against a depth of 240 keep the
// calendar inside the corner.
std::array<double, 3> calendarPlace(const Settings&, const Edges& e) { return {-e.x(-211), e.y(183), -140}; }

// 5 units right of the left edge, 2.5 below the top, at depth 100.
std::array<double, 3> counterPlace(const Settings&, const Edges& e) { return {e.x(-100) + 5, -2.5 - e.y(-100), 0}; }

// The bottom-right corner, nearer the camera for the large clock.
std::array<double, 3> clockPlace(const Settings& settings, const Edges& e) {
    if (settings.largeClock) return {-e.x(-70), e.y(-70), 30};
    return {-e.x(-170), e.y(-170), -70};
}

// The root's own scale is its model's, and it has none: the callback
// applies it to the overlays instead.
void scaleOverlays(SceneNode& root, double scale) {
    root.setScale(scale, scale, scale);
    const MotionArgument transform = reinterpret_cast<MotionArgument>(&root.transform);
    for (const NodeCallback& c : root.callbacks)
        if (c.function == scaleChildren && c.argument == transform) return;
    root.addCallback(scaleChildren, transform);
}

// What each overlay needs from the settings and what it is built from.
void buildCalendarOverlay(SceneNode& node, const Settings& settings) {
    node.script.startNewStep({oneShotMotion(buildCalendar, settings.russianCalendar ? 0 : 1)});
}

void buildCounterOverlay(SceneNode& node, const Settings&) {
    node.loadModel("utils.pak", "fps");
    node.script.startNewStep({endlessMotion(updateFrameCounter)});
}

void buildClockOverlay(SceneNode& node, const Settings& settings) {
    Motion build = oneShotMotion(buildDigitalClock, settings.clock24h ? 1 : 0);
    if (settings.analogClock) build = oneShotMotion(buildAnalogueClock);
    node.script.startNewStep({build});
}

std::string describeClockOverlay(const SceneNode& node, const Settings& settings) {
    return describeClock(node, settings.analogClock != 0);
}
std::string describeCalendarOverlay(const SceneNode& node, const Settings&) { return describeCalendar(node); }
std::string describeCounterOverlay(const SceneNode& node, const Settings&) { return describeCounter(node); }

// One row per overlay, indexed by OverlayIndex (which is also the order in
// which they are built and drawn): whether the settings show it, where it
// stands, which screen edge it keeps its distance to on narrow screens,
// what its node starts with, how it describes itself and where its
// description goes in the line.
struct OverlayRow {
    std::uint8_t Settings::*shown;
    std::array<double, 3> (*place)(const Settings&, const Edges&);
    bool atTop;
    void (*build)(SceneNode&, const Settings&);
    std::string (*describe)(const SceneNode&, const Settings&);
    std::size_t describedAt;
};

const OverlayRow overlayTable[overlayCount] = {
    {&Settings::showCalendar, calendarPlace, true, buildCalendarOverlay, describeCalendarOverlay, 1},
    {&Settings::showFps, counterPlace, true, buildCounterOverlay, describeCounterOverlay, 2},
    {&Settings::showClock, clockPlace, false, buildClockOverlay, describeClockOverlay, 0},
};

void moveBy(SceneNode* node, const std::array<double, 3>& from, const std::array<double, 3>& to) {
    if (node) node->translateBy(to[0] - from[0], to[1] - from[1], to[2] - from[2]);
}

}  // namespace

OverlayPlaces overlayPlaces(const Settings& settings, const Display& display) {
    OverlayPlaces p;
    // Narrower than 4:3 the overlays would leave the screen or cover the
    // flowers: they are placed as on a 4:3 screen of the same height (the
    // same scale), then shrunk towards their corners to the actual width.
    const double aspect = display.edgeX(-1) / display.edgeY(-1);
    p.scale = std::min(1.0, aspect / (4.0 / 3.0));
    const Edges edges{display, p.scale};
    for (std::size_t i = 0; i < overlayCount; ++i) {
        std::array<double, 3>& place = p.at[i];
        place = overlayTable[i].place(settings, edges);
        if (p.scale < 1) {
            // Scaled about the root's origin, a place lands at scale times
            // itself: x already shrinks with the width (the 4:3 screen as
            // wide is scale times as high), y must keep scale times its
            // distance from the top or bottom edge, and the depth stays.
            const double depth = 100 - place[2];
            const double edge = overlayTable[i].atTop ? -edges.y(-depth) : edges.y(-depth);
            place = {place[0], edge / p.scale + place[1] - edge, place[2] / p.scale};
        }
    }
    return p;
}

void followResize(const OverlayNodes& nodes, const OverlayPlaces& before, const OverlayPlaces& after,
                  SceneNode& root) {
    // Moved by how far their corners moved, which keeps what the builders
    // added to their places (scaled with them).
    for (std::size_t i = 0; i < overlayCount; ++i) moveBy(nodes[i], before.at[i], after.at[i]);
    if (after.scale != before.scale) scaleOverlays(root, after.scale);
}

OverlayNodes buildOverlays(const Settings& settings, const Display& display, SceneNode& root) {
    const OverlayPlaces places = overlayPlaces(settings, display);
    root.setPosition(0, 0, 0);
    root.addCallback(noDepthTest, 0);
    if (places.scale < 1) scaleOverlays(root, places.scale);

    OverlayNodes nodes{};
    for (std::size_t i = 0; i < overlayCount; ++i) {
        const OverlayRow& row = overlayTable[i];
        if (!(settings.*row.shown)) continue;
        const std::array<double, 3>& place = places.at[i];
        SceneNode* node = new SceneNode;
        node->setPosition(place[0], place[1], place[2]);
        row.build(*node, settings);
        root.addChild(node);
        nodes[i] = node;
    }
    return nodes;
}

std::string describeOverlays(const OverlayNodes& nodes, const SceneNode& root, const Settings& settings) {
    std::array<std::string, overlayCount> parts;
    for (std::size_t i = 0; i < overlayCount; ++i) {
        // Only while still under the root: the removal protocol deletes them.
        const SceneNode* node = nodes[i];
        if (!node || std::find(root.children.begin(), root.children.end(), node) == root.children.end()) continue;
        parts[overlayTable[i].describedAt] = overlayTable[i].describe(*node, settings);
    }
    std::string out;
    for (const std::string& part : parts) {
        if (part.empty()) continue;
        if (!out.empty()) out += ' ';
        out += part;
    }
    return out;
}
