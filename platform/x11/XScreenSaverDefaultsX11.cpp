// Where XScreenSaver keeps its own settings on an X11 system: the
// app-defaults file of its class. Debian 12 and 13 both install it as
// /etc/X11/app-defaults/XScreenSaver (a link to the variant with or without
// the OpenGL programs).
#include "platform/Platform.h"

namespace platform {

std::string xscreensaverDefaultsFile() {
    const std::string chosen = getEnv("QUESSANTA_XSCREENSAVER_DEFAULTS");
    return chosen.empty() ? "/etc/X11/app-defaults/XScreenSaver" : chosen;
}

}  // namespace platform
