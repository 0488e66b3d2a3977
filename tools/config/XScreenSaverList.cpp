#include "tools/config/XScreenSaverList.h"

#include "formats/CommandLine.h"
#include "formats/XScreenSaverPrograms.h"
#include "platform/Platform.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

const char* const xscreensaverBackupSuffix = ".before-quessanta";

namespace {

// XScreenSaver's settings files are a few kilobytes; anything far beyond is
// not one.
constexpr std::uint64_t largestFile = 1 << 20;

// The line Quessanta runs from: with an OpenGL visual, drawing into
// XScreenSaver's window, found on the PATH XScreenSaver gives its programs.
const char* const visual = "GL";
const char* const command = "quessanta --root";

int fail(const std::string& message) {
    platform::showFatalError(programName() + ": " + message);
    return 1;
}

struct TextFile {
    std::string path;
    bool exists = false;
    std::string text;
};

// The file's text; false with one line in *error when it exists but cannot
// be read.
bool readText(const std::string& path, TextFile* file, std::string* error) {
    file->path = path;
    std::vector<unsigned char> bytes;
    platform::ReadFailure failure;
    if (!platform::readRegularFile(path, &bytes, &failure, largestFile)) {
        if (failure.missing) return true;
        *error = "cannot read " + path + ": " + failure.reason;
        return false;
    }
    file->exists = true;
    file->text.assign(bytes.begin(), bytes.end());
    return true;
}

bool userFile(TextFile* file, std::string* error) {
    const std::string home = platform::getEnv("HOME");
    if (home.empty()) {
        *error = "HOME is not set, so there is no ~/.xscreensaver to change";
        return false;
    }
    return readText(home + (home.back() == '/' ? "" : "/") + ".xscreensaver", file, error);
}

// Replaces the file with the edited text, keeping the old one the first
// time; false with one line in *error, the file unchanged.
bool save(const TextFile& file, const std::string& text, std::string* error) {
    if (file.exists) {
        const std::string backup = file.path + xscreensaverBackupSuffix;
        std::vector<unsigned char> head;
        platform::ReadFailure failure;
        if (!platform::readRegularFileStart(backup, 0, &head, &failure) && failure.missing &&
            !platform::replaceFile(backup, reinterpret_cast<const unsigned char*>(file.text.data()), file.text.size(),
                                   platform::FileMode::Ordinary, error))
            return false;
    }
    return platform::replaceFile(file.path, reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                                 platform::FileMode::Ordinary, error);
}

}  // namespace

int addToXScreenSaver() {
    const std::string defaultsPath = platform::xscreensaverDefaultsFile();
    if (defaultsPath.empty()) return fail("XScreenSaver does not run on this system");
    TextFile defaults, user;
    std::string error;
    if (!readText(defaultsPath, &defaults, &error)) return fail(error);
    if (!defaults.exists) return fail("XScreenSaver is not installed (there is no " + defaultsPath + ")");
    if (!userFile(&user, &error)) return fail(error);

    const ProgramsEdit edit = addProgram(user.text, defaults.text, visual, command);
    switch (edit.outcome) {
        case ProgramsEdit::Outcome::Refused:
            return fail((user.exists ? user.path : defaultsPath) + " is left as it is: " + edit.reason);
        case ProgramsEdit::Outcome::Unchanged:
            std::printf("XScreenSaver's list in %s already has Quessanta\n", user.path.c_str());
            return 0;
        case ProgramsEdit::Outcome::Changed:
            break;
    }
    if (!save(user, edit.text, &error)) return fail(error);
    if (user.exists)
        std::printf("Added Quessanta to XScreenSaver's list in %s (the file as it was: %s%s)\n", user.path.c_str(),
                    user.path.c_str(), xscreensaverBackupSuffix);
    else
        std::printf("Wrote %s: XScreenSaver's list of programs and Quessanta\n", user.path.c_str());
    return 0;
}

int removeFromXScreenSaver() {
    if (platform::xscreensaverDefaultsFile().empty()) return fail("XScreenSaver does not run on this system");
    TextFile user;
    std::string error;
    if (!userFile(&user, &error)) return fail(error);
    const ProgramsEdit edit = removeProgram(user.text, "quessanta");
    switch (edit.outcome) {
        case ProgramsEdit::Outcome::Refused:
            return fail(user.path + " is left as it is: " + edit.reason);
        case ProgramsEdit::Outcome::Unchanged:
            std::printf("XScreenSaver's list%s%s has no Quessanta\n", user.exists ? " in " : "",
                        user.exists ? user.path.c_str() : "");
            return 0;
        case ProgramsEdit::Outcome::Changed:
            break;
    }
    if (!save(user, edit.text, &error)) return fail(error);
    std::printf("Took Quessanta off XScreenSaver's list in %s\n", user.path.c_str());
    return 0;
}
