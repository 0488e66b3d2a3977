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
    std::vector<unsigned char> bytes;
    platform::ReadFailure failure;
    if (!platform::readRegularFileStart(path, Settings::fileSize, &bytes, &failure)) {
        loaded.source = failure.missing ? SettingsSource::Missing : SettingsSource::Unreadable;
        loaded.reason = failure.reason;
        return loaded;
    }
    loaded.source = loaded.settings.parse(bytes.data(), bytes.size()) ? SettingsSource::File : SettingsSource::Invalid;
    return loaded;
}
