// Windows implementation of covering every monitor. "/s" starts one
// screensaver per monitor, each told its monitor through QUESSANTA_MONITOR
// and drawing full screen there in a window of its own: OpenGL cannot draw
// into another process's window (Windows refuses its pixel format, and
// under Wine a window of ours inside it never shows), and so each monitor's
// program also takes that monitor's input itself, by the same rules as a
// single full-screen run. The first one to end, for whatever reason, ends
// the others with a close request. All are held in one job tied to the
// launcher, so killing it leaves none behind. Covers 64-bit Windows 7 and
// later, and Wine (which reads RandR or Xinerama); at most 64 monitors are
// covered, what one wait can watch.
#include "platform/Platform.h"
#include "platform/win32/ProgramStart.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace platform {

namespace {

const char* const monitorVariable = "QUESSANTA_MONITOR";

struct Monitor {
    ScreenArea area;
    bool primary = false;
};

BOOL CALLBACK addMonitor(HMONITOR handle, HDC, LPRECT, LPARAM data) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(handle, &info)) return TRUE;
    Monitor m;
    m.area.x = info.rcMonitor.left;
    m.area.y = info.rcMonitor.top;
    m.area.width = info.rcMonitor.right - info.rcMonitor.left;
    m.area.height = info.rcMonitor.bottom - info.rcMonitor.top;
    m.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
    if (m.area.width > 0 && m.area.height > 0) reinterpret_cast<std::vector<Monitor>*>(data)->push_back(m);
    return TRUE;
}

// The monitors, the primary first: its program starts first and takes the
// keyboard focus first. An area met twice is covered once (Wine 10 reports
// every monitor Xinerama gives it on the primary's area).
std::vector<ScreenArea> monitorAreas() {
    std::vector<Monitor> found;
    EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&found));
    std::stable_partition(found.begin(), found.end(), [](const Monitor& m) { return m.primary; });
    std::vector<ScreenArea> areas;
    for (const Monitor& m : found) {
        const bool seen = std::any_of(areas.begin(), areas.end(), [&](const ScreenArea& a) {
            return a.x == m.area.x && a.y == m.area.y && a.width == m.area.width && a.height == m.area.height;
        });
        if (!seen) areas.push_back(m.area);
    }
    if (areas.size() > MAXIMUM_WAIT_OBJECTS) areas.resize(MAXIMUM_WAIT_OBJECTS);
    return areas;
}

// The visible windows only: the hidden ones a program keeps for itself
// (the input method's, say) are not its to close.
BOOL CALLBACK askToClose(HWND window, LPARAM data) {
    const std::vector<DWORD>& ids = *reinterpret_cast<const std::vector<DWORD>*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (IsWindowVisible(window) && std::find(ids.begin(), ids.end(), owner) != ids.end())
        PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// Asks every program still running to close, as Alt+F4 would (a message box
// one of them shows closes too), again and again since a program may not
// have its window yet; after five seconds the job ends what is left.
void endTheOthers(const std::vector<HANDLE>& processes, HANDLE job) {
    const DWORD start = GetTickCount();
    for (;;) {
        std::vector<HANDLE> running;
        std::vector<DWORD> ids;
        for (HANDLE p : processes) {
            if (WaitForSingleObject(p, 0) == WAIT_TIMEOUT) {
                running.push_back(p);
                ids.push_back(GetProcessId(p));
            }
        }
        if (running.empty()) return;
        if (GetTickCount() - start > 5000) break;
        EnumWindows(askToClose, reinterpret_cast<LPARAM>(&ids));
        WaitForMultipleObjects(static_cast<DWORD>(running.size()), running.data(), TRUE, 250);
    }
    if (job) {
        TerminateJobObject(job, 0);
    } else {
        for (HANDLE p : processes) TerminateProcess(p, 0);
    }
}

}  // namespace

Result<int> launchOnEveryMonitor(const std::string& fileName) {
    // The system let this process take the foreground when it started it
    // as the screensaver: its programs may too.
    AllowSetForegroundWindow(ASFW_ANY);
    const std::vector<ScreenArea> areas = monitorAreas();
    if (areas.size() < 2) return launchProgram(fileName, true);
    int exitStatus = 0;
    Error error;
    const HANDLE job = win32::makeTyingJob();
    SetConsoleCtrlHandler(win32::ignoreWhileWaiting, TRUE);
    std::vector<HANDLE> processes;
    bool started = true;
    for (const ScreenArea& area : areas) {
        putEnv(monitorVariable, screenAreaText(area).c_str());
        const Result<HANDLE> process = win32::startProgram(fileName, job);
        if (!process) {
            error = process.error();
            started = false;
            break;
        }
        processes.push_back(*process);
    }
    // Gone again from this process's environment (the C library's copy and
    // the system's): not inherited by anything it starts later.
    putEnv(monitorVariable, "");
    SetEnvironmentVariableW(L"QUESSANTA_MONITOR", nullptr);
    if (started) {
        const DWORD first =
            WaitForMultipleObjects(static_cast<DWORD>(processes.size()), processes.data(), FALSE, INFINITE);
        DWORD code = 1;
        if (first >= WAIT_OBJECT_0 + processes.size() || !GetExitCodeProcess(processes[first - WAIT_OBJECT_0], &code))
            code = 1;
        exitStatus = static_cast<int>(code);
    }
    endTheOthers(processes, job);
    SetConsoleCtrlHandler(win32::ignoreWhileWaiting, FALSE);
    for (HANDLE p : processes) CloseHandle(p);
    if (job) CloseHandle(job);
    if (!started) return error;
    return exitStatus;
}

Result<std::optional<ScreenArea>> assignedMonitor() {
    const std::string text = getEnv(monitorVariable);
    if (text.empty()) return std::optional<ScreenArea>();
    ScreenArea area;
    if (parseScreenArea(text, &area)) return std::optional<ScreenArea>(area);
    return failure(std::string(monitorVariable) + "='" + text + "' is not a monitor's area (X,Y,WIDTHxHEIGHT)");
}

}  // namespace platform
