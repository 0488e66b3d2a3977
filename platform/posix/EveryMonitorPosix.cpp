// POSIX implementation of covering every monitor: there the screensaver
// hosts put a window on each screen themselves, so "/s" starts one
// screensaver as launchProgram does, and no run is handed a monitor.
#include "platform/Platform.h"

namespace platform {

Result<int> launchOnEveryMonitor(const std::string& fileName) { return launchProgram(fileName, true); }

Result<std::optional<ScreenArea>> assignedMonitor() { return std::optional<ScreenArea>(); }

}  // namespace platform
