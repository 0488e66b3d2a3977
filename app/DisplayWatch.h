// What the picture follows while the main loop runs: in a host's window its
// size, and whether it has gone; full screen the screen's size (a monitor
// plugged or unplugged, a changed resolution). Each follows within a
// second: the window drawn in, the projection and the overlays' places.
#pragma once

#include <cstdint>

class DisplayWatch {
public:
    // hostWindow: the host's window drawn in; 0 full screen.
    explicit DisplayWatch(std::uint64_t hostWindow) : window(hostWindow) {}
    // Asked every frame; asks the window system a few times a second, not
    // every frame, since each question is a round trip. False once the
    // host's window has gone.
    bool check();

private:
    void follow(bool changed, int width, int height);

    std::uint64_t window;
    double nextCheck = 0;
    int screenWidth = 0;  // full screen: the screen's size at the last look
    int screenHeight = 0;
};
