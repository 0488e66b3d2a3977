// The platform layer: the few operating-system services the program needs
// beyond SDL and OpenGL. One implementation per operating system sits behind
// this header; PlatformPosix.cpp and PreviewWindowX11.cpp are the Linux/X11 one.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The installation directory: where the programs, packs and preview bitmap
// live. QUESSANTA_PATH if set and not empty, else the folder of the running
// executable. Always ends in '/', so file names are appended directly.
std::string installDir();

// The folder shared by all users for the settings file, created when
// missing. QUESSANTA_COMMON_APPDATA, else $XDG_CONFIG_HOME, else
// $HOME/.config. Empty when no folder can be determined or created.
std::string commonAppDataDir();

// The settings file: commonAppDataDir() + "/Zandrim_Quessanta_cfg"; empty
// when the folder is unavailable.
std::string settingsFilePath();

// Executable names of the two programs in the installation directory.
extern const char* const screensaverProgram;  // "Quessanta"
extern const char* const settingsProgram;     // "config"

// Puts NAME=VALUE into the process environment (inherited by children).
void putEnv(const char* name, const char* value);

// Starts installDir() + fileName with no arguments and the installation
// directory as working directory. With wait set, returns when the program
// has ended. On failure writes one line naming the path and the reason to
// stderr and returns false.
bool launchProgram(const std::string& fileName, bool wait);

// The preview pane: a child window filling a host window.
struct PreviewWindow;

enum class PreviewEvent { Paint, Closed };

// Parses a decimal window id. False for anything that is not a whole
// non-negative number that fits the platform's window handle.
bool parseWindowId(const std::string& text, std::uint64_t* id);

// Creates the child window of `parent`, sized like the parent. Returns null
// (after one line on stderr) when the display or the parent is unusable.
PreviewWindow* previewOpen(std::uint64_t parent, int* width, int* height);
// Blocks until the window needs painting or has been destroyed.
PreviewEvent previewWait(PreviewWindow* window);
// Paints width x height pixels, 3 bytes each (red, green, blue), row 0 at
// the top, rows tightly packed.
void previewPaint(PreviewWindow* window, const unsigned char* rgb, int width, int height);
void previewClose(PreviewWindow* window);

}  // namespace platform
