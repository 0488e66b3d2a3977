// What the process is: the command-line decision and the run modes.
#pragma once

#include <string>

enum class RunMode { LaunchScreensaver, LaunchSettings, Preview, Screensaver };

// Decides from the command line (the text after the program name): the
// second character of the first token selects 's' or 'c'; "/p" or "/P"
// exactly selects the preview; anything else is the screensaver.
RunMode decideRunMode(const std::string& commandLine, std::string* previewArgument);

// Runs the mode; returns the process exit code.
int runCommandLine(const std::string& commandLine);

int runScreensaver();
int runPreview(const std::string& windowId);
