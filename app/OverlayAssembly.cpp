#include "app/OverlayAssembly.h"

#include "app/App.h"
#include "formats/Settings.h"
#include "content/Calendar.h"
#include "content/Clock.h"
#include "content/FrameCounter.h"
#include "res/Display.h"
#include "scene/MotionFunctions.h"
#include "scene/SceneNode.h"

void buildOverlays() {
    if (!App::settings || !App::display || !App::overlayRoot) return;
    buildOverlays(*App::settings, *App::display, *App::overlayRoot);
}

void buildOverlays(const Settings& settings, const Display& display, SceneNode& root) {
    // The depths handed to the edge functions are the nodes' distances from
    // the camera, which stands at z = +100 of the root's space.
    if (settings.showCalendar) {
        SceneNode* calendar = new SceneNode;
        // 211 and 183 against a depth of 240 keep it inside the corner.
        calendar->setPosition(-display.edgeX(-211), display.edgeY(183), -140);
        calendar->script.startNewStep({oneShotMotion(buildCalendar, settings.russianCalendar ? 0 : 1)});
        root.addChild(calendar);
    }

    root.setPosition(0, 0, 0);
    root.addCallback(noDepthTest, 0);

    if (settings.showFps) {
        SceneNode* counter = new SceneNode;
        // 5 units right of the left edge, 2.5 below the top, at depth 100.
        counter->setPosition(display.edgeX(-100) + 5, -2.5 - display.edgeY(-100), 0);
        counter->loadModel("utils.pak", "fps");
        counter->script.startNewStep({endlessMotion(updateFrameCounter)});
        root.addChild(counter);
    }

    if (settings.showClock) {
        SceneNode* clock = new SceneNode;
        // The bottom-right corner, nearer the camera for the large clock.
        if (settings.largeClock)
            clock->setPosition(-display.edgeX(-70), display.edgeY(-70), 30);
        else
            clock->setPosition(-display.edgeX(-170), display.edgeY(-170), -70);
        Motion build = oneShotMotion(buildDigitalClock, settings.clock24h ? 1 : 0);
        if (settings.analogClock) build = oneShotMotion(buildAnalogueClock);
        clock->script.startNewStep({build});
        root.addChild(clock);
    }
}

std::string describeOverlays(const SceneNode& root, const Settings& settings) {
    // The overlays sit under the root in the order buildOverlays adds them.
    std::size_t next = 0;
    auto take = [&]() -> const SceneNode* { return next < root.children.size() ? root.children[next++] : nullptr; };
    const SceneNode* calendar = settings.showCalendar ? take() : nullptr;
    const SceneNode* counter = settings.showFps ? take() : nullptr;
    const SceneNode* clock = settings.showClock ? take() : nullptr;
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
