#include "app/FullScreenDisplay.h"

#include "formats/CommandLine.h"
#include "platform/Platform.h"

#include <cstdio>

std::unique_ptr<Display> openFullScreen(const Settings& settings, std::string* error) {
    platform::ScreenArea monitor;
    std::string problem;
    if (platform::assignedMonitor(&monitor, &problem))
        return Display::openOnMonitor(monitor.x, monitor.y, monitor.width, monitor.height, error);
    const char* name = programName().c_str();
    if (!problem.empty()) std::fprintf(stderr, "%s: %s; covering the primary monitor\n", name, problem.c_str());
    const std::int32_t w = settings.screenWidth(), h = settings.screenHeight();
    std::unique_ptr<Display> display = Display::open(w, h, settings.screenBitsPerPixel(), error);
    if (display && w && (display->width != w || display->height != h))
        std::fprintf(stderr, "%s: the monitor has no %dx%d mode; using its own, %dx%d\n", name, static_cast<int>(w),
                     static_cast<int>(h), static_cast<int>(display->width), static_cast<int>(display->height));
    return display;
}
