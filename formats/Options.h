// The long options that change settings, shared by the settings program
// (which saves the changes) and the screensaver (which applies them to one
// run only): one syntax, one set of messages. "--name=value" or "--name
// value"; the screensaver also takes the host options a screensaver host
// passes: "--root", "--window-id ID", "--max-fps N", "--fps" alone, and the
// one-dash spellings "-root" and "-window-id" that some hosts use.
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
    bool help = false;
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
// (no program name, ending in a hint to `program --help`) for anything it
// does not take.
bool parseOptions(const std::vector<std::string>& args, OptionUser user, const std::string& program,
                  ParsedOptions* out, std::string* error);

// A window id as hosts write it: "0x" and hex digits, or decimal; from 1 to
// 0xFFFFFFFF.
bool parseWindowIdText(const std::string& text, std::uint64_t* id);
