#include "tools/config/SettingsStore.h"

#include "platform/Platform.h"

Result<std::string> saveSettings(const std::function<void(Settings&)>& change) {
    const Result<std::string> folder = platform::commonAppDataDir();
    const Result<std::string> path = platform::settingsFilePath();
    if (!folder) return folder.error();
    if (!path) return path.error();
    const platform::FolderLock lock(*folder, settingsLockWaitMs);
    if (!lock.held()) return failure(lock.error());
    LoadedSettings loaded = loadSettings(*path);
    if (loaded.source == SettingsSource::Unreadable) return failure("cannot read " + *path + ": " + loaded.reason);
    change(loaded.settings);
    unsigned char bytes[Settings::fileSize];
    loaded.settings.serialise(bytes);
    const Result<void> replaced = platform::replaceFile(*path, bytes, sizeof bytes, platform::FileMode::ReadableByAll);
    if (!replaced) return replaced.error();
    return path;
}
