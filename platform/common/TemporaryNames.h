// For the ports' atomic file replacement: the temporary files a save makes
// beside its target are named target + "." + six letters or digits, as
// mkstemp names them, so that a later save can tell the ones it may clean up.
#pragma once

#include <string>

namespace platform {

// Whether a folder entry is such a temporary file of `base` (the target's
// file name without its folder).
bool isTemporaryOf(const std::string& entry, const std::string& base);

}  // namespace platform
