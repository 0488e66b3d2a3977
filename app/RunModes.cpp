#include "app/RunModes.h"

#include "app/App.h"
#include "app/MainLoop.h"
#include "platform/Platform.h"

#include <sstream>

RunMode decideRunMode(const std::string& commandLine, std::string* previewArgument) {
    std::istringstream in(commandLine);
    std::string token;
    in >> token;
    std::string argument;
    in >> argument;
    if (previewArgument) *previewArgument = argument;
    if (token.size() >= 2) {
        const char second = token[1];
        if (second == 's' || second == 'S') return RunMode::LaunchScreensaver;
        if (second == 'c' || second == 'C') return RunMode::LaunchSettings;
        if (token == "/p" || token == "/P") return RunMode::Preview;
    }
    return RunMode::Screensaver;
}

int runCommandLine(const std::string& commandLine) {
    std::string previewArgument;
    switch (decideRunMode(commandLine, &previewArgument)) {
        case RunMode::LaunchScreensaver: {
            platform::putEnv("SDL_VIDEO_ALLOW_SCREENSAVER", "1");
            // The host learns how the screensaver ended.
            int status = 0;
            return platform::launchProgram(platform::screensaverProgram, true, &status) ? status : 1;
        }
        case RunMode::LaunchSettings:
            return platform::launchProgram(platform::settingsProgram, false) ? 0 : 1;
        case RunMode::Preview:
            return runPreview(previewArgument);
        case RunMode::Screensaver:
            break;
    }
    return runScreensaver();
}
