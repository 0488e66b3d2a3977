// The display of a full-screen run.
#pragma once

#include "formats/Settings.h"
#include "res/Display.h"

#include <memory>
#include <string>

// On the monitor "/s" started this run for, at its size, when it covers
// several (platform::assignedMonitor); else in the settings' mode, or the
// desktop's when the monitor lacks that one, which one line on stderr
// says. Null with the reason, as Display::open.
std::unique_ptr<Display> openFullScreen(const Settings& settings, std::string* error);
