#include "app/RunModes.h"

#include "app/App.h"
#include "app/MainLoop.h"
#include "formats/CommandLine.h"
#include "formats/DialogChoices.h"
#include "formats/Options.h"
#include "platform/Platform.h"
#include "render/Multisampling.h"

#include <cstdint>
#include <cstdio>
#include <sstream>

std::string screensaverUsage() {
    const std::string& n = platform::programName();
    return "Usage: " + n + " [OPTION]...\n"
           "       " + n + " /s | /c | /p WINDOW\n"
           "With options or none, the screensaver itself, full screen or in a host's\n"
           "window. The switches are a screensaver host's: /s starts the screensaver\n"
           "program and waits for it, /c starts the settings program, /p paints the\n"
           "preview into the X window WINDOW.\n"
           "\n"
           "Options for screensaver hosts, and settings for this run only (the settings\n"
           "file is not changed; see quessanta-config for that):\n" +
           optionsHelp(OptionUser::Screensaver) +
           "Each option also takes one dash (-root, -max-fps 30, -clock 24h), and a\n"
           "value may follow as the next argument.\n"
           "\n"
           "In a host's window the resolution and exit-on-mouse settings do not apply.\n"
           "Without an X display to open it ends with one line and exit status 1.\n";
}

RunMode decideRunMode(const std::string& commandLine, std::string* previewArgument) {
    std::istringstream in(commandLine);
    std::string token;
    in >> token;
    std::string argument;
    in >> argument;
    if (previewArgument) *previewArgument = argument;
    // Options come before the switch rules: "-clock 24h" is no "/c".
    if (startsScreensaverOptions(token)) return RunMode::Screensaver;
    if (token.size() >= 2) {
        const char second = token[1];
        if (second == 's' || second == 'S') return RunMode::LaunchScreensaver;
        if (second == 'c' || second == 'C') return RunMode::LaunchSettings;
        if (token == "/p" || token == "/P") return RunMode::Preview;
    }
    return RunMode::Screensaver;
}

std::string settingsOwner(const std::string& commandLine) {
    std::istringstream in(commandLine);
    std::string token, argument;
    in >> token >> argument;
    // "/c:1234", or the number as the next word.
    if (token.size() > 3 && token[2] == ':') argument = token.substr(3);
    std::uint64_t window = 0;
    return platform::parseDecimalWindowHandle(argument, &window) ? argument : std::string();
}

int runCommandLine(const std::vector<std::string>& args) {
    setMultisampleChoice(parseMultisampleChoice(App::runInputs.multisample));
    std::string commandLine;
    for (const std::string& arg : args) commandLine += (commandLine.empty() ? "" : " ") + arg;
    std::string previewArgument;
    switch (decideRunMode(commandLine, &previewArgument)) {
        case RunMode::LaunchScreensaver: {
            platform::putEnv("SDL_VIDEO_ALLOW_SCREENSAVER", "1");
            // The host learns how the screensaver ended; one per monitor
            // where the system has several.
            const Result<int> status = platform::launchOnEveryMonitor(platform::screensaverProgram);
            if (status) return *status;
            platform::showFatalError(status.message());
            return 1;
        }
        case RunMode::LaunchSettings: {
            // The settings program takes no arguments: the window its dialog
            // belongs to comes through its environment.
            const std::string owner = settingsOwner(commandLine);
            if (!owner.empty()) platform::putEnv(dialogOwnerVariable, owner.c_str());
            const Result<int> started = platform::launchProgram(platform::settingsProgram, false);
            if (started) return 0;
            platform::showFatalError(started.message());
            return 1;
        }
        case RunMode::Preview:
            return runPreview(previewArgument);
        case RunMode::Screensaver:
            break;
    }
    ParsedOptions options;
    if (!args.empty() && startsScreensaverOptions(args[0])) {
        Result<ParsedOptions> parsed = parseOptions(args, OptionUser::Screensaver);
        // A bad option never starts the screensaver.
        if (!parsed) return reportUsageError(parsed.message());
        options = std::move(*parsed);
        if (options.help) {
            std::fputs(screensaverUsage().c_str(), stdout);
            return 0;
        }
        if (options.version) {
            std::printf("%s\n", versionLine().c_str());
            return 0;
        }
    }
    return runScreensaver(options);
}
