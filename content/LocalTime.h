// The wall clock as the overlays read it: afresh on every call, as local time.
#pragma once

#include <ctime>

inline std::tm localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}
