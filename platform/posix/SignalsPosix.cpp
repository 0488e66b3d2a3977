// POSIX implementation of the platform layer's stop signals. Covers every
// system with sigaction.
#include "platform/Platform.h"

#include <csignal>
#include <unistd.h>

namespace platform {

namespace {

volatile std::sig_atomic_t stopFlag = 0;
volatile std::sig_atomic_t deferred = 0;
const int stopSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGUSR1};

void onStopSignal(int) {
    if (!deferred) _exit(0);
    stopFlag = 1;
}

}  // namespace

void installStopSignals() {
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : stopSignals) sigaction(sig, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

void deferStopSignals() { deferred = 1; }

bool stopRequested() { return stopFlag != 0; }

}  // namespace platform
