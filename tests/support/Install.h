// A temporary installation directory with packs of empty models: every
// entry the program loads exists, so the whole tree is built and drawn.
#pragma once

#include <string>

namespace testsupport {

// Writes main.pak, utils.pak, butterfly1..5.pak, clock.pak and calendar.pak
// into `dir` (which must end in '/').
void writeEmptyModelPacks(const std::string& dir);

// Starts the built screensaver with QUESSANTA_PATH = installDir and the
// settings folder `appData`; returns its pid. stderr goes to `errPath`.
// With `tracePath`, runs it under `apitrace trace` writing that trace.
int startScreensaver(const std::string& installDir, const std::string& appData, const std::string& errPath,
                     const char* const* extraEnv = nullptr, const std::string& tracePath = std::string());
// Waits up to `seconds` for the pid; its exit code, or -1 if still running
// (or -2 if it died from a signal).
int waitForExit(int pid, double seconds);

}  // namespace testsupport
