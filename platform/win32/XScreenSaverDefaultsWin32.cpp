// XScreenSaver does not run on Windows: there is no list of its programs to
// add to.
#include "platform/Platform.h"

namespace platform {

std::string xscreensaverDefaultsFile() { return {}; }

}  // namespace platform
