#include "app/DisplayWatch.h"

#include "app/App.h"
#include "app/OverlayAssembly.h"
#include "platform/Platform.h"

bool DisplayWatch::check() {
    const double now = platform::monotonicSeconds();
    if (now < nextCheck) return !window || !platform::windowGone();
    nextCheck = now + (window ? 0.2 : 0.5);
    if (window) {
        int w = 0, h = 0;
        if (platform::windowGone() || !platform::windowSize(window, &w, &h)) return false;
        follow(false, w, h);
        return true;
    }
    int w = 0, h = 0;
    if (!platform::windowSize(platform::rootWindow(), &w, &h)) return true;
    // The first look only notes the size: the video mode may have changed
    // it on purpose.
    const bool first = screenWidth == 0;
    const bool changed = w != screenWidth || h != screenHeight;
    screenWidth = w;
    screenHeight = h;
    if (!first && changed) follow(true, w, h);
    return true;
}

void DisplayWatch::follow(bool screen, int width, int height) {
    Display& display = *App::display;
    const OverlayPlaces before = overlayPlaces(*App::settings, display);
    const bool resized = screen ? display.followScreen(width, height) : display.followWindow(width, height);
    if (resized) followResize(App::overlays, before, overlayPlaces(*App::settings, display), *App::overlayRoot);
}
