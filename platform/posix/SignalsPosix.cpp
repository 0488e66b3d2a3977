// POSIX implementation of the platform layer's stop signals. Covers every
// system with sigaction and ppoll.
#include "platform/Platform.h"
#include "platform/posix/InheritedSignals.h"

#include <cerrno>
#include <csignal>
#include <cmath>
#include <fcntl.h>
#include <poll.h>
#include <time.h>
#include <unistd.h>

namespace platform {

namespace {

const int stopSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGUSR1};

struct SignalState {
    volatile std::sig_atomic_t stopFlag = 0;
    volatile std::sig_atomic_t deferred = 0;
    // Written by the handler, so a wait wakes on a stop whichever thread the
    // signal lands on. It lives as long as the process: a signal may come
    // at any moment.
    int wakePipe[2] = {-1, -1};
};

SignalState state;

// Seconds the orderly end may take after a stop signal: a driver stuck on
// a window its host has just destroyed must not keep the saver running.
const unsigned stopGraceSeconds = 2;

void onStopGraceOver(int) { _exit(0); }

void onStopSignal(int) {
    if (!state.deferred) _exit(0);
    if (!state.stopFlag) alarm(stopGraceSeconds);
    state.stopFlag = 1;
    if (state.wakePipe[1] >= 0) {
        const int saved = errno;
        const ssize_t ignored = write(state.wakePipe[1], "", 1);
        (void)ignored;
        errno = saved;
    }
}

}  // namespace

bool keepsInheritedIgnore(int sig) {
    // SIGTERM is how hosts and service managers end a saver; one ignored by
    // accident of inheritance would leave it on the screen for good. The
    // others stay ignored: nohup ignores SIGHUP, a shell's background job
    // SIGINT, on purpose.
    if (sig == SIGTERM) return false;
    struct sigaction current = {};
    return sigaction(sig, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

void installStopSignals() {
    if (state.wakePipe[0] < 0 && pipe2(state.wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        state.wakePipe[0] = state.wakePipe[1] = -1;
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : stopSignals)
        if (!keepsInheritedIgnore(sig)) sigaction(sig, &action, nullptr);
    action.sa_handler = onStopGraceOver;
    sigaction(SIGALRM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

void deferStopSignals() { state.deferred = 1; }

bool stopRequested() { return state.stopFlag != 0; }

bool sleepUnlessStopped(double seconds) {
    const double end = monotonicSeconds() + seconds;
    for (;;) {
        if (state.stopFlag) return true;
        const double left = end - monotonicSeconds();
        if (left <= 0) return false;
        timespec ts{};
        ts.tv_sec = static_cast<time_t>(left);
        ts.tv_nsec = static_cast<long>((left - std::floor(left)) * 1e9);
        if (state.wakePipe[0] < 0) {
            nanosleep(&ts, nullptr);
            continue;
        }
        pollfd wake{state.wakePipe[0], POLLIN, 0};
        if (ppoll(&wake, 1, &ts, nullptr) > 0) {
            char drained[16];
            while (read(state.wakePipe[0], drained, sizeof drained) > 0) {
            }
        }
    }
}

}  // namespace platform
