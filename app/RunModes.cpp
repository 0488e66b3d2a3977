#include "app/RunModes.h"

#include "app/App.h"
#include "app/MainLoop.h"
#include "formats/Options.h"
#include "platform/Platform.h"

#include <cstdio>
#include <sstream>

namespace {

const char* const usageText =
    "Usage: quessanta [OPTION]...       the screensaver, full screen\n"
    "       quessanta /s | /c | /p WINDOW   as a screensaver host starts it\n"
    "\n"
    "Options for screensaver hosts, and settings for this run only (the settings\n"
    "file is not changed; see quessanta-config for that):\n"
    "  --root                          draw in the window XSCREENSAVER_WINDOW names\n"
    "  --window-id ID                  draw in that window (0x and hex, or decimal)\n"
    "  --max-fps N                     at most N frames a second, 0 for no cap\n"
    "                                  (default: 60 in a host's window, else no cap)\n"
    "  --fps[=on|off]                  frames-per-second counter\n"
    "  --clock=off|12h|24h|analog      the clock\n"
    "  --clock-size=large|small        the clock's size\n"
    "  --calendar=off|english|russian  the month calendar\n"
    "  --help                          this text\n"
    "\n"
    "In a host's window the resolution and exit-on-mouse settings do not apply.\n";

// Host options come as long options (and the one-dash words some hosts
// use); anything else keeps the switch rules, where any other command line
// is the screensaver itself.
bool looksLikeOptions(const std::vector<std::string>& args) {
    return !args.empty() && (args[0].compare(0, 2, "--") == 0 || args[0] == "-root" || args[0] == "-window-id");
}

}  // namespace

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

int runCommandLine(const std::vector<std::string>& args) {
    std::string commandLine;
    for (const std::string& arg : args) commandLine += (commandLine.empty() ? "" : " ") + arg;
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
    ParsedOptions options;
    if (looksLikeOptions(args)) {
        std::string error;
        if (!parseOptions(args, OptionUser::Screensaver, "quessanta", &options, &error)) {
            // A bad option never starts the screensaver.
            std::fprintf(stderr, "quessanta: %s\n", error.c_str());
            return 2;
        }
        if (options.help) {
            std::fputs(usageText, stdout);
            return 0;
        }
    }
    return runScreensaver(options);
}
