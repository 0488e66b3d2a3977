// The settings program: shows the settings in force, or changes the fields
// its options name and replaces the settings file atomically, so that a
// failed or interrupted write never leaves a torn file behind.
#include "formats/Options.h"
#include "formats/Settings.h"
#include "platform/Platform.h"

#include <cstdio>
#include <new>
#include <string>
#include <vector>

namespace {

const char* const usageText =
    "Usage: config [OPTION]...\n"
    "Without options, shows the screensaver's settings and where they come from.\n"
    "With options, changes the settings they name (from left to right), keeps the\n"
    "others as the file has them, and saves the settings file.\n"
    "\n"
    "  --fps=on|off                     frames-per-second counter\n"
    "  --clock=off|12h|24h|analog       no clock, digital 12-hour, digital 24-hour,\n"
    "                                   or the analogue dial\n"
    "  --clock-size=large|small         the clock's size\n"
    "  --calendar=off|english|russian   the month calendar and its language\n"
    "  --exit-on-mouse=on|off           mouse motion ends the screensaver (after\n"
    "                                   its first three seconds)\n"
    "  --resolution=desktop|WIDTHxHEIGHT  the video mode: the desktop's, or one of\n"
    "                                   640x480 800x600 1024x768 1152x864 1280x800\n"
    "                                   1280x960 1280x1024 1400x1050 1600x1200\n"
    "  --reset                          every setting back to its default\n"
    "  --help                           this text\n"
    "\n"
    "A value may also follow as the next argument (--clock 24h).\n";

// One line on stderr, then a non-zero exit: the settings file is not touched.
int fail(const std::string& message) {
    std::fprintf(stderr, "config: %s\n", message.c_str());
    return 2;
}

enum class Source { File, Missing, Invalid, Unreadable, NoFolder };

struct Loaded {
    Settings settings;
    Source source = Source::Missing;
    std::string reason;  // why the file could not be read
};

// The settings as the screensaver would take them from the file at path.
Loaded load(const std::string& path) {
    Loaded loaded;
    if (path.empty()) {
        loaded.source = Source::NoFolder;
        return loaded;
    }
    // Only a regular file is read: a FIFO or a device in its place must not
    // block or flood the program.
    std::vector<unsigned char> bytes;
    platform::ReadFailure failure;
    if (!platform::readRegularFileStart(path, Settings::fileSize, &bytes, &failure)) {
        loaded.source = failure.missing ? Source::Missing : Source::Unreadable;
        loaded.reason = failure.reason;
        return loaded;
    }
    loaded.source = loaded.settings.parse(bytes.data(), bytes.size()) ? Source::File : Source::Invalid;
    return loaded;
}

std::string onOff(std::uint8_t flag) { return flag ? "on" : "off"; }

void show(const std::string& path, const Loaded& loaded) {
    const Settings& s = loaded.settings;
    switch (loaded.source) {
        case Source::File:
            std::printf("Settings from %s\n", path.c_str());
            break;
        case Source::Missing:
            std::printf("Defaults: there is no settings file %s yet\n", path.c_str());
            break;
        case Source::Invalid:
            std::printf("Defaults: the settings file %s is not valid (wrong marker or too short)\n", path.c_str());
            break;
        case Source::Unreadable:
            std::printf("Defaults: the settings file %s cannot be read (%s)\n", path.c_str(), loaded.reason.c_str());
            break;
        case Source::NoFolder:
            std::printf("Defaults: the settings folder cannot be determined or created\n");
            break;
    }
    const char* clock = !s.showClock ? "off" : s.analogClock ? "analog" : s.clock24h ? "24h" : "12h";
    const char* calendar = !s.showCalendar ? "off" : s.russianCalendar ? "russian" : "english";
    std::string resolution = "desktop";
    if (s.resolutionIndex > 0 && s.resolutionIndex < Settings::resolutionCount)
        resolution = std::to_string(s.screenWidth()) + "x" + std::to_string(s.screenHeight());
    else if (s.resolutionIndex != 0)
        resolution += " (row " + std::to_string(s.resolutionIndex) + " is not in the table)";
    std::printf("  --fps=%s\n", onOff(s.showFps).c_str());
    std::printf("  --clock=%s\n", clock);
    std::printf("  --clock-size=%s\n", s.largeClock ? "large" : "small");
    std::printf("  --calendar=%s\n", calendar);
    std::printf("  --exit-on-mouse=%s\n", onOff(s.exitOnMouseMove).c_str());
    std::printf("  --resolution=%s\n", resolution.c_str());
    std::printf("\nChange a setting with its option, for example: config --clock=24h\n"
                "config --help lists every option.\n");
}

int run(int argc, char** argv) {
    ParsedOptions options;
    std::string parseError;
    if (!parseOptions(std::vector<std::string>(argv + 1, argv + argc), OptionUser::SettingsProgram, "config", &options,
                      &parseError))
        return fail(parseError);
    if (options.help) {
        std::fputs(usageText, stdout);
        return 0;
    }
    const auto& changes = options.changes;

    const std::string path = platform::settingsFilePath();
    if (changes.empty()) {
        show(path, load(path));
        return 0;
    }
    if (path.empty())
        return fail("cannot determine or create the settings folder "
                    "(QUESSANTA_COMMON_APPDATA, else XDG_CONFIG_HOME, else HOME/.config)");
    // Read, change and write under the folder's lock, so that changes made
    // by two runs at once both land.
    const platform::FolderLock lock(platform::commonAppDataDir());
    if (!lock.held()) return fail(lock.error());
    Loaded loaded = load(path);
    // Writing over a file that cannot be read would lose the fields that are
    // not being changed.
    if (loaded.source == Source::Unreadable) return fail("cannot read " + path + ": " + loaded.reason);

    options.applyTo(loaded.settings);
    unsigned char bytes[Settings::fileSize];
    loaded.settings.serialise(bytes);
    std::string error;
    if (!platform::replaceFile(path, bytes, sizeof bytes, platform::FileMode::ReadableByAll, &error))
        return fail(error);
    std::printf("Saved %s\n", path.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("config: out of memory\n", stderr);
        return 1;
    }
}
