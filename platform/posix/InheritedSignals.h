// Which signals the program may take over: shared by the stop signals and
// the launcher that passes them on.
#pragma once

namespace platform {

// True when the signal was ignored as the process started (or since) and
// must stay so: everything but SIGTERM.
bool keepsInheritedIgnore(int sig);

}  // namespace platform
