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

#include <cstdio>
#include <new>
#include <string>
#include <vector>

namespace {

// What the program does without options: on Windows "/c" starts it so.
#ifdef _WIN32
const char* const withoutOptions = "Without options, opens the settings dialog (as the screen saver settings'\n"
                                   "Settings button does).\n";
#else
const char* const withoutOptions = "Without options, shows the screensaver's settings and where they come from.\n";
#endif

void printUsage() {
    const char* n = platform::programName().c_str();
    std::printf("Usage: %s [OPTION]...\n"
                "%s"
                "With options, changes the settings they name (from left to right), keeps the\n"
                "others as the file has them, and saves the settings file.\n"
                "\n"
                "%s"
                "\n"
                "A value may also follow as the next argument (--clock 24h).\n"
                "Exit status: 0 when done, 1 when the settings cannot be saved, 2 for a bad\n"
                "option.\n",
                n, withoutOptions, optionsHelp(OptionUser::SettingsProgram).c_str());
}

void show(const std::string& path, const LoadedSettings& loaded) {
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
            std::printf("Defaults: %s\n", loaded.reason.c_str());
            break;
    }
    // Each setting as the option that sets it would write it.
    for (const OptionRow& row : optionTable())
        if (row.current && takenBy(row, OptionUser::SettingsProgram))
            std::printf("  --%s=%s\n", row.name, row.current(loaded.settings).c_str());
    std::printf("\nChange a setting with its option, for example: %s --clock=24h\n"
                "%s --help lists every option.\n",
                platform::programName().c_str(), platform::programName().c_str());
}

int run(const std::vector<std::string>& args) {
    Result<ParsedOptions> parsed = parseOptions(args, OptionUser::SettingsProgram);
    if (!parsed) return reportUsageError(parsed.message());
    const ParsedOptions& options = *parsed;
    if (options.help) {
        printUsage();
        return 0;
    }
    if (options.version) {
        std::printf("%s\n", versionLine().c_str());
        return 0;
    }
    if (options.changes.empty()) {
        const Result<std::string> path = platform::settingsFilePath();
        LoadedSettings loaded = loadSettings(path ? *path : std::string());
        if (!path) loaded.reason = path.message();
        show(path ? *path : std::string(), loaded);
        return 0;
    }
    // A failure to save: one line (and where that is not seen, a message
    // box), exit 1; the settings file is not touched.
    const Result<std::string> saved = saveSettings([&](Settings& s) { options.applyTo(s); });
    if (!saved) {
        platform::showFatalError(saved.message());
        return 1;
    }
    std::printf("Saved %s\n", saved->c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Installed it is called quessanta-config, and its messages say so.
    platform::setProgramName(argc > 0 ? argv[0] : nullptr, "config");
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
        platform::showFatalError("out of memory");
        return 1;
    }
}
