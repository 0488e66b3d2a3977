// What a run takes from its surroundings besides the command line and the
// settings file: the environment variables the program reads and the wall
// time it started at. Read once, through the platform, and handed to the
// parts that need them.
#pragma once

#include <ctime>
#include <string>

struct RunInputs {
    std::string seed;            // QUESSANTA_SEED: fixes the scene's random choices
    std::string multisample;     // QUESSANTA_MULTISAMPLE: "on", "off" or "auto"
    std::string statsFile;       // QUESSANTA_STATS_FILE: where run statistics go
    std::string statsSeconds;    // QUESSANTA_STATS_SECONDS: seconds between them
    std::string hostWindowName;  // XSCREENSAVER_WINDOW: the host's window for --root
    std::time_t startWallTime = 0;
};

RunInputs readRunInputs();
