#include "tools/config/SettingsStore.h"

#include "platform/Platform.h"

bool saveSettings(const std::function<void(Settings&)>& change, std::string* path, std::string* error) {
    *path = platform::settingsFilePath(error);
    if (path->empty()) return false;
    const platform::FolderLock lock(platform::commonAppDataDir(), settingsLockWaitMs);
    if (!lock.held()) {
        *error = lock.error();
        return false;
    }
    LoadedSettings loaded = loadSettings(*path);
    if (loaded.source == SettingsSource::Unreadable) {
        *error = "cannot read " + *path + ": " + loaded.reason;
        return false;
    }
    change(loaded.settings);
    unsigned char bytes[Settings::fileSize];
    loaded.settings.serialise(bytes);
    return platform::replaceFile(*path, bytes, sizeof bytes, platform::FileMode::ReadableByAll, error);
}
