// Every command-line option of the screensaver and the settings program, one
// row each in optionTable(): its spelling, which programs take it, its
// values, what it sets, its default and its help line. Parsing, each
// program's --help, the settings program's display of the settings and the
// man pages' option lists (tools/optiondoc) all come from the table, so a new
// option is one row.
//
// Syntax: "--name=value" or "--name value"; the screensaver also takes each
// of its options in the one-dash spelling XScreenSaver's hack options use
// ("-root", "-max-fps 30", "-clock 24h"), and "--fps" alone, as hosts pass it.
#pragma once

#include "formats/Settings.h"
#include "platform/Result.h"

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
    // The settings program only: XScreenSaver's own list changed instead of
    // the settings (--add-to-xscreensaver, --remove-from-xscreensaver).
    enum class ListChange { None, Add, Remove };
    ListChange xscreensaverList = ListChange::None;
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

// Which programs take a row: a set of OptionUser bits.
enum : unsigned { forSettingsProgram = 1, forScreensaver = 2, forBoth = 3 };

struct OptionRow {
    const char* name;   // "clock": --clock (and -clock for the screensaver)
    char letter;        // 'h' for -h; 0 for none
    unsigned programs;  // forSettingsProgram, forScreensaver or forBoth
    const char* values;  // as the help shows them ("off|12h|24h|analog", "N"); null: takes no value
    // The programs for which the option alone, without a value, means "on".
    unsigned bareMeansOn;
    // Takes the value into the options; an error (one line) for a value the
    // option does not take.
    Result<void> (*take)(const std::string& value, ParsedOptions& options);
    // A setting's value as this option spells it, for the settings
    // program's display and for the default (the value of Settings());
    // null for options that are not a setting.
    std::string (*current)(const Settings& settings);
    // The default of an option that is not a setting, as the same code that
    // computes it describes it; null when there is none to tell.
    std::string (*describeDefault)();
    const char* help;     // one line, without the default; "{resolutions}" stands for the table's sizes
    const char* details;  // more, for the man pages; may be null
};

const std::vector<OptionRow>& optionTable();

// The row's default as text ("12h", "desktop", ...); empty when it has none.
std::string optionDefault(const OptionRow& row);
// How the row is written in help texts: "--clock=off|12h|24h|analog",
// "-h, --help", "--fps[=on|off]", "--max-fps N".
std::string optionSpelling(const OptionRow& row, OptionUser user);
bool takenBy(const OptionRow& row, OptionUser user);

// The row's help line with its placeholders filled in, without the default.
std::string optionHelp(const OptionRow& row);
// The option lines of a program's --help, one per row it takes, with the
// defaults; each line ended.
std::string optionsHelp(OptionUser user);

// Parses the arguments (without the program's name); an error (one line, no
// program name, no hint) for anything it does not take.
Result<ParsedOptions> parseOptions(const std::vector<std::string>& args, OptionUser user);

// Whether a command line whose first argument this is holds the
// screensaver's options (a long option, or the one-dash spelling of one of
// its options) rather than a screensaver host's switch ("/s", "-s", "/c").
bool startsScreensaverOptions(const std::string& firstArg);

// A window id as hosts write it in --window-id and XSCREENSAVER_WINDOW: "0x"
// and hex digits, or decimal; from 1 to 0xFFFFFFFF. (The switches' handles
// are decimal only: platform::parseDecimalWindowHandle.)
bool parseHostWindowId(const std::string& text, std::uint64_t* id);

// The frame cap when --max-fps is not given: none full screen; in a host's
// window a steady rate, lower on a software renderer, where every frame
// costs a core's time.
std::int32_t defaultFrameCap(bool inHostWindow, bool softwareRenderer);
