// The display of a full-screen run.
#pragma once

#include "formats/Settings.h"
#include "platform/Result.h"
#include "render/Display.h"

#include <memory>

// On the monitor "/s" started this run for, at its size, when it covers
// several (platform::assignedMonitor); else in the settings' mode, or the
// desktop's when the monitor lacks that one, which a warning says. The
// error is Display::open's.
Result<std::unique_ptr<Display>> openFullScreen(const Settings& settings);
