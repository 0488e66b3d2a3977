// The system's own window under the video mode, for the platform calls
// that act on it.
#pragma once

#include <cstdint>

// The window SDL draws into (a Windows window handle, an X window id) as a
// number; 0 before a video mode is set or when SDL cannot tell.
std::uint64_t nativeWindow();
