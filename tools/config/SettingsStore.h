// The settings file as the settings program saves it, shared by its command
// line and (on Windows) its dialog: one locked read-change-replace cycle.
// It loads the file as the screensaver does (formats/SettingsFile.h).
#pragma once

#include "formats/Settings.h"
#include "formats/SettingsFile.h"
#include "platform/Result.h"

#include <functional>
#include <string>

// How long a save waits for another holder of the settings folder's lock
// (which, in ~/.config, need not be this program).
constexpr int settingsLockWaitMs = 5000;

// Under the settings folder's lock, so that changes made by several runs at
// once all land: reads the file again, applies the change and replaces the
// file atomically; gives the file's path. On an error (one line) the file is
// untouched: a file that exists but cannot be read is not written over (its
// other fields would be lost), nor is anything when another run holds the
// folder's lock for longer than settingsLockWaitMs.
Result<std::string> saveSettings(const std::function<void(Settings&)>& change);
