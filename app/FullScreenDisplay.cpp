#include "app/FullScreenDisplay.h"

#include "platform/Platform.h"

#include <string>

Result<std::unique_ptr<Display>> openFullScreen(const Settings& settings) {
    const Result<std::optional<platform::ScreenArea>> monitor = platform::assignedMonitor();
    if (monitor && *monitor) {
        const platform::ScreenArea& area = **monitor;
        return Display::openOnMonitor(area.x, area.y, area.width, area.height);
    }
    if (!monitor) platform::warn(monitor.message() + "; covering the primary monitor");
    const std::int32_t w = settings.screenWidth(), h = settings.screenHeight();
    Result<std::unique_ptr<Display>> display = Display::open(w, h, settings.screenBitsPerPixel());
    if (display && w && ((*display)->width != w || (*display)->height != h))
        platform::warn("the monitor has no " + std::to_string(w) + "x" + std::to_string(h) + " mode; using its own, " +
                       std::to_string((*display)->width) + "x" + std::to_string((*display)->height));
    return display;
}
