// The long options that change settings, shared by the settings program
// (which saves the changes) and the screensaver (which applies them to one
// run only): one syntax, one set of messages. "--name=value" or "--name
// value"; the screensaver also takes the host options a screensaver host
// passes: "--root", "--window-id ID", "--max-fps N", "--fps" alone, and
// every one of its options in the one-dash spelling XScreenSaver's hack
// options use ("-root", "-max-fps 30", "-clock 24h").
#pragma once

#include "formats/Settings.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class OptionUser {
    SettingsProgram,  // config: every setting, --reset
    Screensaver,      // the screen-related settings and the host options
};

struct ParsedOptions {
    // The changes to the settings, in the order given.
    std::vector<std::function<void(Settings&)>> changes;
    bool help = false;     // -h, --help
    bool version = false;  // -V, --version
    // Screensaver only.
    bool root = false;  // draw into the host's window (XSCREENSAVER_WINDOW)
    bool windowIdGiven = false;
    std::uint64_t windowId = 0;
    bool maxFpsGiven = false;
    std::int32_t maxFps = 0;  // 0: no cap

    void applyTo(Settings& settings) const {
        for (const auto& change : changes) change(settings);
    }
};

// Parses the arguments (without the program's name). False with one line
// (no program name, no hint) for anything it does not take.
bool parseOptions(const std::vector<std::string>& args, OptionUser user, ParsedOptions* out, std::string* error);

// Whether a command line whose first argument this is holds the
// screensaver's options (a long option, or the one-dash spelling of one of
// its options) rather than a screensaver host's switch ("/s", "-s", "/c").
bool startsScreensaverOptions(const std::string& firstArg);

// A window id as hosts write it: "0x" and hex digits, or decimal; from 1 to
// 0xFFFFFFFF.
bool parseWindowIdText(const std::string& text, std::uint64_t* id);
