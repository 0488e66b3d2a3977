// Windows implementation of the platform layer's stop requests: the
// console's Ctrl-C, Ctrl-Break and close events, and the log-off and
// shut-down events a console receives. Covers every Windows console; a GUI
// program started without a console gets none of them (it ends on its own
// window's input).
#include "platform/Platform.h"

#include <windows.h>

namespace platform {

namespace {

struct SignalState {
    volatile LONG stopFlag = 0;
    volatile LONG deferred = 0;
    // Set with the flag, so a wait wakes on it; it lives as long as the
    // process.
    HANDLE stopEvent = nullptr;
};

SignalState state;

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI onConsoleEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            break;
        default:
            return FALSE;
    }
    // At once, as _exit would: nothing has been changed yet that needs
    // undoing, and the main thread may be blocked inside a library.
    if (!state.deferred) TerminateProcess(GetCurrentProcess(), 0);
    InterlockedExchange(&state.stopFlag, 1);
    if (state.stopEvent) SetEvent(state.stopEvent);
    // The system ends the process when the handler returns from these
    // three; waiting lets the main loop end in order first (the system
    // allows a few seconds).
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) Sleep(4000);
    return TRUE;
}

}  // namespace

void installStopSignals() {
    if (!state.stopEvent) state.stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

void deferStopSignals() { InterlockedExchange(&state.deferred, 1); }

bool stopRequested() { return state.stopFlag != 0; }

bool sleepUnlessStopped(double seconds) {
    const double end = monotonicSeconds() + seconds;
    for (;;) {
        if (state.stopFlag) return true;
        const double left = end - monotonicSeconds();
        if (left <= 0) return false;
        const DWORD ms = static_cast<DWORD>(left * 1000.0) + 1;
        if (state.stopEvent)
            WaitForSingleObject(state.stopEvent, ms);
        else
            Sleep(ms);
    }
}

}  // namespace platform
