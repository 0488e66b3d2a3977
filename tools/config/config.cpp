// The settings program: shows the settings in force, or changes the fields
// its options name and replaces the settings file atomically, so that a
// failed or interrupted write never leaves a torn file behind. On Windows,
// started without arguments (as "/c" starts it), it is the settings dialog.
#include "formats/CommandLine.h"
#include "formats/Options.h"
#include "formats/Settings.h"
#include "platform/Platform.h"
#include "tools/config/SettingsDialog.h"
#include "tools/config/SettingsStore.h"
#include "tools/config/XScreenSaverList.h"

#include <cstdio>
#include <new>
#include <string>
#include <vector>

namespace {

void printUsage() {
    const char* n = programName().c_str();
    std::printf("Usage: %s [OPTION]...\n"
                "Without options, shows the screensaver's settings and where they come from.\n"
                "With options, changes the settings they name (from left to right), keeps the\n"
                "others as the file has them, and saves the settings file.\n"
                "\n"
                "  --fps=on|off                     frames-per-second counter\n"
                "  --clock=off|12h|24h|analog       no clock, digital 12-hour, digital 24-hour,\n"
                "                                   or the analogue dial\n"
                "  --clock-size=large|small         the clock's size\n"
                "  --calendar=off|english|russian   the month calendar and its language\n"
                "  --exit-on-mouse=on|off           mouse motion ends the screensaver (from\n"
                "                                   three seconds after its first frame)\n"
                "  --resolution=desktop|WIDTHxHEIGHT  the video mode: the desktop's, or one of\n"
                "                                   640x480 800x600 1024x768 1152x864 1280x800\n"
                "                                   1280x960 1280x1024 1400x1050 1600x1200\n"
                "  --reset                          every setting back to its default\n"
                "  --add-to-xscreensaver            add Quessanta to your own XScreenSaver list\n"
                "                                   of programs in ~/.xscreensaver (given alone)\n"
                "  --remove-from-xscreensaver       take it off that list again (given alone)\n"
                "  -h, --help                       this text\n"
                "  -V, --version                    the version\n"
                "\n"
                "A value may also follow as the next argument (--clock 24h).\n"
                "Exit status: 0 when done, 1 when the settings or the list cannot be saved,\n"
                "2 for a bad option.\n",
                n);
}

// A failure to save: one line on stderr (and where that is not seen, in a
// message box), exit 1; the settings file is not touched.
int fail(const std::string& message) {
    platform::showFatalError(programName() + ": " + message);
    return 1;
}

std::string onOff(std::uint8_t flag) { return flag ? "on" : "off"; }

void show(const std::string& path, const std::string& folderProblem, const LoadedSettings& loaded) {
    const Settings& s = loaded.settings;
    switch (loaded.source) {
        case SettingsSource::File:
            std::printf("Settings from %s\n", path.c_str());
            break;
        case SettingsSource::Missing:
            std::printf("Defaults: there is no settings file %s yet\n", path.c_str());
            break;
        case SettingsSource::Invalid:
            std::printf("Defaults: the settings file %s is not valid (wrong marker or too short)\n", path.c_str());
            break;
        case SettingsSource::Unreadable:
            std::printf("Defaults: the settings file %s cannot be read (%s)\n", path.c_str(), loaded.reason.c_str());
            break;
        case SettingsSource::NoFolder:
            std::printf("Defaults: %s\n", folderProblem.c_str());
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
    std::printf("\nChange a setting with its option, for example: %s --clock=24h\n"
                "%s --help lists every option.\n",
                programName().c_str(), programName().c_str());
}

int run(const std::vector<std::string>& args) {
    // XScreenSaver's list is no setting of this program's file: a command
    // of its own.
    for (const std::string& arg : args) {
        if (arg != "--add-to-xscreensaver" && arg != "--remove-from-xscreensaver") continue;
        if (args.size() > 1) {
            std::string text = usageErrorText(arg + " goes alone");
            text.pop_back();
            platform::showFatalError(text);
            return 2;
        }
        return arg == "--add-to-xscreensaver" ? addToXScreenSaver() : removeFromXScreenSaver();
    }
    ParsedOptions options;
    std::string parseError;
    if (!parseOptions(args, OptionUser::SettingsProgram, &options, &parseError)) {
        std::string text = usageErrorText(parseError);
        if (!text.empty() && text.back() == '\n') text.pop_back();
        platform::showFatalError(text);
        return 2;
    }
    if (options.help) {
        printUsage();
        return 0;
    }
    if (options.version) {
        std::printf("%s\n", versionLine().c_str());
        return 0;
    }
    const auto& changes = options.changes;

    if (changes.empty()) {
        std::string folderProblem;
        const std::string path = platform::settingsFilePath(&folderProblem);
        show(path, folderProblem, loadSettings(path));
        return 0;
    }
    std::string path, error;
    if (!saveSettings([&](Settings& s) { options.applyTo(s); }, &path, &error)) return fail(error);
    std::printf("Saved %s\n", path.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Installed it is called quessanta-config, and its messages say so.
    setProgramName(argc > 0 ? argv[0] : nullptr, "config");
    try {
        const std::vector<std::string> args = platform::commandLineArguments(argc, argv);
#ifdef _WIN32
        // "/c" starts it without arguments: the dialog. With arguments it is
        // the command-line program, as everywhere.
        if (args.empty()) return runSettingsDialog();
        attachToParentConsole();
#endif
        return run(args);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: out of memory\n", programName().c_str());
        return 1;
    }
}
