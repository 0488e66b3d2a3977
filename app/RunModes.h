// What the process is: the command-line decision and the run modes.
#pragma once

#include "platform/Result.h"

#include <string>
#include <vector>

struct ParsedOptions;

enum class RunMode { LaunchScreensaver, LaunchSettings, Preview, Screensaver };

// Decides from the command line (the text after the program name): a first
// token that is one of the screensaver's options (long, or one-dash as
// XScreenSaver writes them, -h, -V) is the screensaver; otherwise the second
// character of the first token selects 's' or 'c'; "/p" or "/P" exactly
// selects the preview; anything else is the screensaver.
RunMode decideRunMode(const std::string& commandLine, std::string* previewArgument);

// The window id of "/c:HWND" (or "/c HWND"), the window the settings
// dialog belongs to; empty when the command line has none.
std::string settingsOwner(const std::string& commandLine);

// Runs the mode for the arguments (those after the program name, which
// joined with spaces make the command line); returns the exit code.
int runCommandLine(const std::vector<std::string>& args);

// The screensaver, with the host options and one-run settings overrides
// given (see formats/Options.h).
int runScreensaver(const ParsedOptions& options);
int runPreview(const std::string& windowId);
// What the preview paints into a pane of that size: 3 bytes (red, green,
// blue) a pixel, rows from the top. The preview bitmap scaled to fill the
// pane (pixel for pixel in a pane of its own size, 152 x 112, that of the
// Windows settings' monitor picture at 100 %); an error when the bitmap
// cannot be read.
Result<std::vector<unsigned char>> previewPicture(int width, int height);

// The screensaver's --help text, for the name it was called with.
std::string screensaverUsage();
