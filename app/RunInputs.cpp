#include "app/RunInputs.h"

#include "platform/Platform.h"

RunInputs readRunInputs() {
    RunInputs in;
    in.seed = platform::getEnv("QUESSANTA_SEED");
    in.multisample = platform::getEnv("QUESSANTA_MULTISAMPLE");
    in.statsFile = platform::getEnv("QUESSANTA_STATS_FILE");
    in.statsSeconds = platform::getEnv("QUESSANTA_STATS_SECONDS");
    in.hostWindowName = platform::getEnv("XSCREENSAVER_WINDOW");
    in.startWallTime = platform::wallTime();
    return in;
}
