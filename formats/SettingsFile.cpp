#include "formats/SettingsFile.h"

#include "platform/Platform.h"

#include <vector>

LoadedSettings loadSettings(const std::string& path) {
    LoadedSettings loaded;
    if (path.empty()) {
        loaded.source = SettingsSource::NoFolder;
        return loaded;
    }
    // Only a regular file is read: a FIFO or a device in its place must not
    // block or flood the program.
    const Result<std::vector<unsigned char>> bytes = platform::readRegularFileStart(path, Settings::fileSize);
    if (!bytes) {
        loaded.source = bytes.error().kind == ErrorKind::Missing ? SettingsSource::Missing : SettingsSource::Unreadable;
        loaded.reason = bytes.message();
        return loaded;
    }
    loaded.source = loaded.settings.parse(bytes->data(), bytes->size()) ? SettingsSource::File : SettingsSource::Invalid;
    return loaded;
}
