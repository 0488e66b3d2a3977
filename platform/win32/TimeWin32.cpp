// Windows implementation of the platform layer's clocks and memory figures:
// the performance counter, the C library's localtime_s, the working set as
// the resident memory, and the C library's heap compaction for memory freed
// after start-up. Covers every Windows; lacks nothing.
#include "platform/Platform.h"

#include <windows.h>
#include <psapi.h>

#include <ctime>
#include <malloc.h>
#include <time.h>

namespace platform {

namespace {

bool memoryCounters(PROCESS_MEMORY_COUNTERS* counters) {
    counters->cb = sizeof *counters;
    return GetProcessMemoryInfo(GetCurrentProcess(), counters, sizeof *counters) != 0;
}

}  // namespace

double monotonicSeconds() {
    static const double ticksPerSecond = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart);
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerSecond;
}

std::time_t wallTime() { return std::time(nullptr); }

bool localTime(std::time_t moment, std::tm* out) { return localtime_s(out, &moment) == 0; }

long residentKilobytes() {
    PROCESS_MEMORY_COUNTERS counters;
    return memoryCounters(&counters) ? static_cast<long>(counters.WorkingSetSize / 1024) : -1;
}

long peakResidentKilobytes() {
    PROCESS_MEMORY_COUNTERS counters;
    return memoryCounters(&counters) ? static_cast<long>(counters.PeakWorkingSetSize / 1024) : -1;
}

void returnFreedMemory() { _heapmin(); }

}  // namespace platform
