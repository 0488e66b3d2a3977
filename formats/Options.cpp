#include "formats/Options.h"

#include <algorithm>

namespace {

Result<void> badValue(const std::string& name, const std::string& value) {
    return failure("bad value '" + value + "' for --" + name);
}

Result<void> change(ParsedOptions& options, std::function<void(Settings&)> f) {
    options.changes.push_back(std::move(f));
    return success();
}

std::string onOff(std::uint8_t flag) { return flag ? "on" : "off"; }

// "on" or "off" into one flag of the settings.
template <std::uint8_t Settings::*Field>
Result<void> takeOnOff(const std::string& name, const std::string& value, ParsedOptions& options) {
    if (value != "on" && value != "off") return badValue(name, value);
    const bool on = value == "on";
    return change(options, [on](Settings& s) { s.*Field = on; });
}

Result<void> takeFps(const std::string& value, ParsedOptions& o) { return takeOnOff<&Settings::showFps>("fps", value, o); }

Result<void> takeExitOnMouse(const std::string& value, ParsedOptions& o) {
    return takeOnOff<&Settings::exitOnMouseMove>("exit-on-mouse", value, o);
}

Result<void> takeClock(const std::string& value, ParsedOptions& o) {
    if (value == "off")
        // The style is kept, so switching the clock back on restores it.
        return change(o, [](Settings& s) { s.showClock = 0; });
    if (value == "12h" || value == "24h") {
        const bool is24 = value == "24h";
        return change(o, [is24](Settings& s) {
            s.showClock = 1;
            s.analogClock = 0;
            s.clock24h = is24;
        });
    }
    if (value == "analog" || value == "analogue")
        // The 12/24-hour choice has no effect on the dial and is kept.
        return change(o, [](Settings& s) {
            s.showClock = 1;
            s.analogClock = 1;
        });
    return badValue("clock", value);
}

std::string currentClock(const Settings& s) {
    return !s.showClock ? "off" : s.analogClock ? "analog" : s.clock24h ? "24h" : "12h";
}

Result<void> takeClockSize(const std::string& value, ParsedOptions& o) {
    if (value != "large" && value != "small") return badValue("clock-size", value);
    const bool large = value == "large";
    return change(o, [large](Settings& s) { s.largeClock = large; });
}

Result<void> takeCalendar(const std::string& value, ParsedOptions& o) {
    if (value == "off") return change(o, [](Settings& s) { s.showCalendar = 0; });
    if (value == "english" || value == "russian") {
        const bool russian = value == "russian";
        return change(o, [russian](Settings& s) {
            s.showCalendar = 1;
            s.russianCalendar = russian;
        });
    }
    return badValue("calendar", value);
}

std::string currentCalendar(const Settings& s) {
    return !s.showCalendar ? "off" : s.russianCalendar ? "russian" : "english";
}

// "640x480, 800x600, ..., 1600x1200", from the table.
std::string resolutionList() {
    std::string text;
    for (int row = 1; row < Settings::resolutionCount; ++row)
        text += std::to_string(Settings::resolutions[row].width) + "x" +
                std::to_string(Settings::resolutions[row].height) + (row + 1 < Settings::resolutionCount ? ", " : "");
    return text;
}

// "desktop" or one of the table's sizes: the row of the resolution table.
bool resolutionRow(const std::string& value, std::int32_t* index) {
    if (value == "desktop") {
        *index = 0;
        return true;
    }
    for (int row = 1; row < Settings::resolutionCount; ++row) {
        const Settings::Resolution& r = Settings::resolutions[row];
        if (value == std::to_string(r.width) + "x" + std::to_string(r.height)) {
            *index = row;
            return true;
        }
    }
    return false;
}

Result<void> takeResolution(const std::string& value, ParsedOptions& o) {
    std::int32_t index = 0;
    if (!resolutionRow(value, &index))
        return failure("'" + value + "' is not a resolution: use desktop or one of " + resolutionList());
    return change(o, [index](Settings& s) { s.resolutionIndex = index; });
}

std::string currentResolution(const Settings& s) {
    if (s.resolutionIndex > 0 && s.resolutionIndex < Settings::resolutionCount)
        return std::to_string(s.screenWidth()) + "x" + std::to_string(s.screenHeight());
    if (s.resolutionIndex != 0) return "desktop (row " + std::to_string(s.resolutionIndex) + " is not in the table)";
    return "desktop";
}

Result<void> takeReset(const std::string&, ParsedOptions& o) {
    return change(o, [](Settings& s) { s.resetToDefaults(); });
}

Result<void> takeRoot(const std::string&, ParsedOptions& o) {
    o.root = true;
    return success();
}

Result<void> takeWindowId(const std::string& value, ParsedOptions& o) {
    if (!parseHostWindowId(value, &o.windowId))
        return failure("'" + value + "' is not a window id: use 0x and hex digits, or decimal");
    o.windowIdGiven = true;
    return success();
}

Result<void> takeMaxFps(const std::string& value, ParsedOptions& o) {
    std::int32_t v = 0;
    bool ok = !value.empty() && value.size() <= 6;
    for (char c : value) {
        ok = ok && c >= '0' && c <= '9';
        if (ok) v = v * 10 + (c - '0');
    }
    if (!ok) return failure("bad value '" + value + "' for --max-fps: a whole number of frames per second, 0 for no cap");
    o.maxFps = v;
    o.maxFpsGiven = true;
    return success();
}

std::string describeFrameCap() {
    const auto cap = [](std::int32_t fps) { return fps ? std::to_string(fps) : std::string("no cap"); };
    return cap(defaultFrameCap(false, false)) + " full screen; in a host's window " + cap(defaultFrameCap(true, true)) +
           " on a software renderer such as Mesa's llvmpipe, else " + cap(defaultFrameCap(true, false));
}

Result<void> takeAddToXScreenSaver(const std::string&, ParsedOptions& o) {
    o.xscreensaverList = ParsedOptions::ListChange::Add;
    return success();
}

Result<void> takeRemoveFromXScreenSaver(const std::string&, ParsedOptions& o) {
    o.xscreensaverList = ParsedOptions::ListChange::Remove;
    return success();
}

Result<void> takeHelp(const std::string&, ParsedOptions& o) {
    o.help = true;
    return success();
}

Result<void> takeVersion(const std::string&, ParsedOptions& o) {
    o.version = true;
    return success();
}

unsigned bitOf(OptionUser user) { return user == OptionUser::Screensaver ? forScreensaver : forSettingsProgram; }

const OptionRow* rowNamed(const std::string& name, OptionUser user) {
    for (const OptionRow& row : optionTable())
        if (name == row.name && takenBy(row, user)) return &row;
    return nullptr;
}

const OptionRow* rowLettered(const std::string& arg, OptionUser user) {
    if (arg.size() != 2 || arg[0] != '-') return nullptr;
    for (const OptionRow& row : optionTable())
        if (row.letter && arg[1] == row.letter && takenBy(row, user)) return &row;
    return nullptr;
}

// "-name" or "-name=value" for one of the screensaver's options: its long
// spelling; anything else as it is.
std::string longSpelling(const std::string& arg) {
    if (arg.size() < 2 || arg[0] != '-' || arg[1] == '-') return arg;
    const std::string::size_type eq = arg.find('=');
    return rowNamed(arg.substr(1, eq == std::string::npos ? std::string::npos : eq - 1), OptionUser::Screensaver)
               ? "-" + arg
               : arg;
}

// Help text wrapped to 79 columns, continuation lines indented to `column`.
std::string wrapped(const std::string& text, std::size_t column) {
    std::string out, line;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        if (!line.empty() && column + line.size() + 1 + word.size() > 79) {
            out += line + "\n" + std::string(column, ' ');
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        start = end + 1;
    }
    return out + line;
}

}  // namespace

const std::vector<OptionRow>& optionTable() {
    static const std::vector<OptionRow> table = {
        {"root", 0, forScreensaver, nullptr, 0, takeRoot, nullptr, nullptr,
         "draw in the window XSCREENSAVER_WINDOW names, else in the root window", nullptr},
        {"window-id", 0, forScreensaver, "ID", 0, takeWindowId, nullptr, nullptr,
         "draw in that window (0x and hex, or decimal)", nullptr},
        {"max-fps", 0, forScreensaver, "N", 0, takeMaxFps, nullptr, describeFrameCap,
         "at most N frames a second, 0 for no cap", nullptr},
        {"fps", 0, forBoth, "on|off", forScreensaver, takeFps, [](const Settings& s) { return onOff(s.showFps); },
         nullptr, "the frames-per-second counter in the top-left corner", nullptr},
        {"clock", 0, forBoth, "off|12h|24h|analog", 0, takeClock, currentClock, nullptr,
         "no clock, digital 12-hour (AM/PM), digital 24-hour, or the analogue dial",
         "off keeps the style for when the clock is switched on again."},
        {"clock-size", 0, forBoth, "large|small", 0, takeClockSize,
         [](const Settings& s) { return std::string(s.largeClock ? "large" : "small"); }, nullptr, "the clock's size",
         nullptr},
        {"calendar", 0, forBoth, "off|english|russian", 0, takeCalendar, currentCalendar, nullptr,
         "the month calendar and its language", "off keeps the language."},
        {"exit-on-mouse", 0, forSettingsProgram, "on|off", 0, takeExitOnMouse,
         [](const Settings& s) { return onOff(s.exitOnMouseMove); }, nullptr,
         "mouse motion ends the screensaver, from three seconds after its first frame", "Esc always does."},
        {"resolution", 0, forSettingsProgram, "desktop|WIDTHxHEIGHT", 0, takeResolution, currentResolution, nullptr,
         "the video mode: the desktop's, or one of {resolutions}",
         "Always at 32 bits per pixel; the screensaver in a host's window ignores it."},
        {"reset", 0, forSettingsProgram, nullptr, 0, takeReset, nullptr, nullptr, "every setting back to its default",
         nullptr},
        {"add-to-xscreensaver", 0, forSettingsProgram, nullptr, 0, takeAddToXScreenSaver, nullptr, nullptr,
         "add Quessanta to your own XScreenSaver list of programs in ~/.xscreensaver (given alone)",
         "It goes as a line of its own at the list's end (GL: quessanta --root), unless the list has it already. "
         "Where the file does not exist yet or holds no list, the list written is XScreenSaver's whole list from "
         "its app-defaults file with Quessanta after it, so none of the programs you had goes away. Nothing else "
         "in the file changes; it is replaced atomically, and the first time it is changed the file as it was is "
         "kept as ~/.xscreensaver.before-quessanta. Then pick Quessanta in xscreensaver-settings."},
        {"remove-from-xscreensaver", 0, forSettingsProgram, nullptr, 0, takeRemoveFromXScreenSaver, nullptr, nullptr,
         "take it off that list again (given alone)", "Every Quessanta line goes, the same way."},
        {"help", 'h', forBoth, nullptr, 0, takeHelp, nullptr, nullptr, "print the usage and exit", nullptr},
        {"version", 'V', forBoth, nullptr, 0, takeVersion, nullptr, nullptr, "print the version and exit", nullptr},
    };
    return table;
}

bool takenBy(const OptionRow& row, OptionUser user) { return (row.programs & bitOf(user)) != 0; }

std::string optionDefault(const OptionRow& row) {
    if (row.current) return row.current(Settings());
    if (row.describeDefault) return row.describeDefault();
    return std::string();
}

std::string optionSpelling(const OptionRow& row, OptionUser user) {
    std::string text = row.letter ? std::string("-") + row.letter + ", --" + row.name : std::string("--") + row.name;
    if (!row.values) return text;
    if (row.bareMeansOn & bitOf(user)) return text + "[=" + row.values + "]";
    // Choices are written with "=", a single value as the next argument.
    return text + (std::string(row.values).find('|') != std::string::npos ? "=" : " ") + row.values;
}

std::string optionHelp(const OptionRow& row) {
    std::string help = row.help;
    const std::string::size_type at = help.find("{resolutions}");
    if (at != std::string::npos) help.replace(at, 13, resolutionList());
    return help;
}

std::string optionsHelp(OptionUser user) {
    std::size_t width = 0;
    for (const OptionRow& row : optionTable())
        if (takenBy(row, user)) width = std::max(width, optionSpelling(row, user).size());
    const std::size_t column = 2 + width + 2;
    std::string out;
    for (const OptionRow& row : optionTable()) {
        if (!takenBy(row, user)) continue;
        std::string help = optionHelp(row);
        const std::string fallback = optionDefault(row);
        if (!fallback.empty()) help += " (default: " + fallback + ")";
        const std::string spelling = optionSpelling(row, user);
        out += "  " + spelling + std::string(column - 2 - spelling.size(), ' ') + wrapped(help, column) + "\n";
    }
    return out;
}

bool parseHostWindowId(const std::string& text, std::uint64_t* id) {
    std::uint64_t v = 0;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits.size() > (hex ? 8u : 10u)) return false;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        v = v * (hex ? 16 : 10) + static_cast<std::uint64_t>(d);
    }
    if (v == 0 || v > 0xFFFFFFFFu) return false;
    *id = v;
    return true;
}

bool startsScreensaverOptions(const std::string& firstArg) {
    return firstArg.compare(0, 2, "--") == 0 || rowLettered(firstArg, OptionUser::Screensaver) ||
           longSpelling(firstArg) != firstArg;
}

std::int32_t defaultFrameCap(bool inHostWindow, bool softwareRenderer) {
    if (!inHostWindow) return 0;
    return softwareRenderer ? 30 : 60;
}

Result<ParsedOptions> parseOptions(const std::vector<std::string>& args, OptionUser user) {
    const bool saver = user == OptionUser::Screensaver;
    ParsedOptions out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string arg = saver ? longSpelling(args[i]) : args[i];
        if (const OptionRow* row = rowLettered(arg, user)) {
            if (const Result<void> taken = row->take("", out); !taken) return taken.error();
            continue;
        }
        if (arg.compare(0, 2, "--") != 0 || arg.size() == 2) return failure("unexpected argument '" + arg + "'");
        const std::string::size_type eq = arg.find('=');
        const std::string name = arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
        const bool hasValue = eq != std::string::npos;
        const OptionRow* row = rowNamed(name, user);
        if (!row) return failure("unknown option '--" + name + "'");
        std::string value;
        if (!row->values) {
            if (hasValue) return failure("--" + name + " takes no value");
        } else if (hasValue) {
            value = arg.substr(eq + 1);
        } else if ((row->bareMeansOn & bitOf(user)) &&
                   (i + 1 >= args.size() || (args[i + 1] != "on" && args[i + 1] != "off"))) {
            // "--fps" alone, as screensaver hosts pass it.
            value = "on";
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return failure("--" + name + " needs a value");
        }
        if (const Result<void> taken = row->take(value, out); !taken) return taken.error();
    }
    return out;
}
