// The settings file as the settings program reads and saves it, shared by
// its command line and (on Windows) its dialog: one way to load, and one
// locked read-change-replace cycle to save.
#pragma once

#include "formats/Settings.h"

#include <functional>
#include <string>

enum class SettingsSource { File, Missing, Invalid, Unreadable, NoFolder };

struct LoadedSettings {
    Settings settings;  // the defaults unless source is File
    SettingsSource source = SettingsSource::Missing;
    std::string reason;  // why the file could not be read
};

// The settings as the screensaver would take them from the file at path
// (empty: no settings folder).
LoadedSettings loadSettings(const std::string& path);

// How long a save waits for another holder of the settings folder's lock
// (which, in ~/.config, need not be this program).
constexpr int settingsLockWaitMs = 5000;

// Under the settings folder's lock, so that changes made by several runs at
// once all land: reads the file again, applies the change and replaces the
// file atomically. False with one line in *error, the file untouched; a file
// that exists but cannot be read is not written over (its other fields
// would be lost), nor is anything when another run holds the folder's lock
// for longer than settingsLockWaitMs. *path receives the file's path.
bool saveSettings(const std::function<void(Settings&)>& change, std::string* path, std::string* error);
