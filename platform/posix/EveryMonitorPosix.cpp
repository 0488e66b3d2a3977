// POSIX implementation of covering every monitor: there the screensaver
// hosts put a window on each screen themselves, so "/s" starts one
// screensaver as launchProgram does, and no run is handed a monitor.
#include "platform/Platform.h"

namespace platform {

bool launchOnEveryMonitor(const std::string& fileName, int* exitStatus, std::string* error) {
    return launchProgram(fileName, true, exitStatus, error);
}

bool assignedMonitor(ScreenArea*, std::string*) { return false; }

}  // namespace platform
