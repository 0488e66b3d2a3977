#include "platform/common/TemporaryNames.h"

namespace platform {

bool isTemporaryOf(const std::string& entry, const std::string& base) {
    if (entry.size() != base.size() + 7 || entry.compare(0, base.size(), base) != 0 || entry[base.size()] != '.')
        return false;
    for (std::size_t i = base.size() + 1; i < entry.size(); ++i) {
        const char c = entry[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

}  // namespace platform
