// POSIX implementation of the platform layer's clocks and memory figures.
// Covers Linux (memory from /proc/self/status, freed memory given back by
// glibc's malloc_trim); elsewhere the memory figures are -1 and nothing is
// given back.
#include "platform/Platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <time.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace platform {

namespace {

long statusKilobytes(const char* field) {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return -1;
    const std::size_t length = std::strlen(field);
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, field, length) == 0) {
            kb = std::strtol(line + length, nullptr, 10);
            break;
        }
    std::fclose(status);
    return kb;
}

}  // namespace

double monotonicSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

std::time_t wallTime() { return std::time(nullptr); }

bool localTime(std::time_t moment, std::tm* out) { return localtime_r(&moment, out) != nullptr; }

long residentKilobytes() { return statusKilobytes("VmRSS:"); }
long peakResidentKilobytes() { return statusKilobytes("VmHWM:"); }

void returnFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

}  // namespace platform
