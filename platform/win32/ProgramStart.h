// Shared by the Windows implementation files that start the screensaver
// (PlatformWin32.cpp, EveryMonitorWin32.cpp): the job that ties programs to
// their launcher, and the start of one program in it.
#pragma once

#include "platform/Result.h"

#include <windows.h>

#include <string>

namespace platform {
namespace win32 {

// A job that ends every process in it when its last handle closes: ours,
// which the system closes however this process ends (taskkill /F at
// log-off included). Null when the system offers none.
HANDLE makeTyingJob();

// Stop requests while launched programs run: the console delivers them to
// those programs too, which end and so end the wait.
BOOL WINAPI ignoreWhileWaiting(DWORD);

// Starts installDir() + fileName with no arguments and the installation
// directory as working folder (QUESSANTA_PATH, when set, passed on as that
// absolute folder), in the job when one is given. The process handle, or an
// error naming the path and the reason.
Result<HANDLE> startProgram(const std::string& fileName, HANDLE job);

}  // namespace win32
}  // namespace platform
