// The settings file read as every program reads it: the screensaver, which
// only reads it, and the settings program, which also saves it.
#pragma once

#include "formats/Settings.h"

#include <string>

enum class SettingsSource { File, Missing, Invalid, Unreadable, NoFolder };

struct LoadedSettings {
    Settings settings;  // the defaults unless source is File
    SettingsSource source = SettingsSource::Missing;
    std::string reason;  // why the file could not be read
};

// The settings from the file at path (empty: no settings folder).
LoadedSettings loadSettings(const std::string& path);
