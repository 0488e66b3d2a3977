#include "formats/Options.h"

#include "formats/CommandLine.h"

namespace {

using Change = std::function<void(Settings&)>;

bool parseOnOff(const std::string& value, bool* on) {
    if (value == "on" || value == "off") {
        *on = value == "on";
        return true;
    }
    return false;
}

// "desktop" or one of the table's sizes; the row of the resolution table.
bool parseResolution(const std::string& value, std::int32_t* index) {
    if (value == "desktop") {
        *index = 0;
        return true;
    }
    const std::string::size_type x = value.find('x');
    if (x == std::string::npos || x == 0 || x + 1 >= value.size() || x > 5 || value.size() - x - 1 > 5) return false;
    for (std::string::size_type i = 0; i < value.size(); ++i)
        if (i != x && (value[i] < '0' || value[i] > '9')) return false;
    const int width = std::stoi(value.substr(0, x));
    const int height = std::stoi(value.substr(x + 1));
    for (int row = 1; row < Settings::resolutionCount; ++row) {
        if (Settings::resolutions[row].width == width && Settings::resolutions[row].height == height) {
            *index = row;
            return true;
        }
    }
    return false;
}

// Turns one setting option and its value into a change of the record. False
// for a value the option does not take.
bool settingChange(const std::string& name, const std::string& value, Change* change) {
    bool on = false;
    if (name == "fps" && parseOnOff(value, &on)) {
        *change = [on](Settings& s) { s.showFps = on; };
    } else if (name == "exit-on-mouse" && parseOnOff(value, &on)) {
        *change = [on](Settings& s) { s.exitOnMouseMove = on; };
    } else if (name == "clock" && value == "off") {
        // The style is kept, so switching the clock back on restores it.
        *change = [](Settings& s) { s.showClock = 0; };
    } else if (name == "clock" && (value == "12h" || value == "24h")) {
        const bool is24 = value == "24h";
        *change = [is24](Settings& s) {
            s.showClock = 1;
            s.analogClock = 0;
            s.clock24h = is24;
        };
    } else if (name == "clock" && (value == "analog" || value == "analogue")) {
        // The 12/24-hour choice has no effect on the dial and is kept.
        *change = [](Settings& s) {
            s.showClock = 1;
            s.analogClock = 1;
        };
    } else if (name == "clock-size" && (value == "large" || value == "small")) {
        const bool large = value == "large";
        *change = [large](Settings& s) { s.largeClock = large; };
    } else if (name == "calendar" && value == "off") {
        *change = [](Settings& s) { s.showCalendar = 0; };
    } else if (name == "calendar" && (value == "english" || value == "russian")) {
        const bool russian = value == "russian";
        *change = [russian](Settings& s) {
            s.showCalendar = 1;
            s.russianCalendar = russian;
        };
    } else if (name == "resolution") {
        std::int32_t index = 0;
        if (!parseResolution(value, &index)) return false;
        *change = [index](Settings& s) { s.resolutionIndex = index; };
    } else {
        return false;
    }
    return true;
}

bool takesValue(const std::string& name, OptionUser user) {
    if (name == "fps" || name == "clock" || name == "clock-size" || name == "calendar") return true;
    if (user == OptionUser::SettingsProgram) return name == "exit-on-mouse" || name == "resolution";
    return name == "window-id" || name == "max-fps";
}

bool parseCount(const std::string& value, std::int32_t* out) {
    if (value.empty() || value.size() > 6) return false;
    std::int32_t v = 0;
    for (char c : value) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    *out = v;
    return true;
}

// "desktop or one of 640x480, ..., 1600x1200", from the table.
std::string resolutionChoices() {
    std::string text = "desktop or one of ";
    for (int row = 1; row < Settings::resolutionCount; ++row)
        text += std::to_string(Settings::resolutions[row].width) + "x" +
                std::to_string(Settings::resolutions[row].height) + (row + 1 < Settings::resolutionCount ? ", " : "");
    return text;
}

// The screensaver's option names, which it also takes with one dash.
bool isScreensaverOptionName(const std::string& name) {
    for (const char* known : {"root", "window-id", "max-fps", "fps", "clock", "clock-size", "calendar", "help", "version"})
        if (name == known) return true;
    return false;
}

// "-name" or "-name=value" for one of the screensaver's options: its long
// spelling; anything else as it is.
std::string longSpelling(const std::string& arg) {
    if (arg.size() < 2 || arg[0] != '-' || arg[1] == '-') return arg;
    const std::string::size_type eq = arg.find('=');
    return isScreensaverOptionName(arg.substr(1, eq == std::string::npos ? std::string::npos : eq - 1)) ? "-" + arg
                                                                                                       : arg;
}

}  // namespace

bool parseWindowIdText(const std::string& text, std::uint64_t* id) {
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
    return firstArg.compare(0, 2, "--") == 0 || isHelpOption(firstArg) || isVersionOption(firstArg) ||
           longSpelling(firstArg) != firstArg;
}

bool parseOptions(const std::vector<std::string>& args, OptionUser user, ParsedOptions* out, std::string* error) {
    const bool saver = user == OptionUser::Screensaver;
    auto fail = [&](const std::string& message) {
        *error = message;
        return false;
    };
    *out = ParsedOptions();
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string arg = saver ? longSpelling(args[i]) : args[i];
        if (isHelpOption(arg)) {
            out->help = true;
            continue;
        }
        if (isVersionOption(arg)) {
            out->version = true;
            continue;
        }
        if (arg.compare(0, 2, "--") != 0 || arg.size() == 2) return fail("unexpected argument '" + arg + "'");
        const std::string::size_type eq = arg.find('=');
        const std::string name = arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
        const bool hasValue = eq != std::string::npos;
        if ((name == "reset" && !saver) || (name == "root" && saver)) {
            if (hasValue) return fail("--" + name + " takes no value");
            if (name == "reset")
                out->changes.push_back([](Settings& s) { s.resetToDefaults(); });
            else
                out->root = true;
            continue;
        }
        if (!takesValue(name, user)) return fail("unknown option '--" + name + "'");
        std::string value;
        if (hasValue) {
            value = arg.substr(eq + 1);
        } else if (saver && name == "fps" && (i + 1 >= args.size() || (args[i + 1] != "on" && args[i + 1] != "off"))) {
            // "--fps" alone, as screensaver hosts pass it.
            value = "on";
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return fail("--" + name + " needs a value");
        }
        if (name == "window-id") {
            if (!parseWindowIdText(value, &out->windowId))
                return fail("'" + value + "' is not a window id: use 0x and hex digits, or decimal");
            out->windowIdGiven = true;
            continue;
        }
        if (name == "max-fps") {
            if (!parseCount(value, &out->maxFps))
                return fail("bad value '" + value + "' for --max-fps: a whole number of frames per second, 0 for no cap");
            out->maxFpsGiven = true;
            continue;
        }
        Change change;
        if (!settingChange(name, value, &change)) {
            if (name == "resolution") return fail("'" + value + "' is not a resolution: use " + resolutionChoices());
            return fail("bad value '" + value + "' for --" + name);
        }
        out->changes.push_back(change);
    }
    return true;
}
