// A fixed wall clock for the whole test program, like faketime but in
// process: this header defines the C library's time(), so every reading of
// the wall clock in the program (the overlays' and the clock hands') sees
// the time set here. Include it from exactly one source file of a program.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace testsupport {

inline bool fakeClockSet = false;
inline std::time_t fakeClockNow = 0;

// Fixes the local time (UTC is made the local zone, so the reading is
// exact). Format "YYYY-MM-DD hh:mm:ss"; false when it does not parse.
inline bool setLocalTime(const char* text) {
    std::tm t{};
    if (std::sscanf(text, "%d-%d-%d %d:%d:%d", &t.tm_year, &t.tm_mon, &t.tm_mday, &t.tm_hour, &t.tm_min,
                    &t.tm_sec) != 6)
        return false;
    t.tm_year -= 1900;
    t.tm_mon -= 1;
    setenv("TZ", "UTC0", 1);
    tzset();
    fakeClockNow = timegm(&t);
    fakeClockSet = true;
    return true;
}

}  // namespace testsupport

extern "C" std::time_t time(std::time_t* out) noexcept {
    std::time_t now;
    if (testsupport::fakeClockSet) {
        now = testsupport::fakeClockNow;
    } else {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        now = ts.tv_sec;
    }
    if (out) *out = now;
    return now;
}
