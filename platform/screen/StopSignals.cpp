// The stop signals. The handler only records the signal in a lock-free atomic (all that is
// safe inside a signal handler); the message pump hook, which every pump runs and which
// a waiting GetMessageW runs every 50 ms, turns it into WM_CLOSE.
#include "platform/screen/StopSignals.h"

#include <signal.h>

#include <atomic>

#include "platform/screen/TouchInput.h"
#include "platform/user/Message.h"

namespace platform::screen {

namespace {

std::atomic<int> signalsReceived{0};
std::atomic<int> pendingSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free atomic");

// The default action of the signal, now: the process ends as if no handler were there.
void EndAsTheSignalWould(int number) {
    signal(number, SIG_DFL);
    raise(number);
}

void OnStopSignal(int number) {
    if (signalsReceived.fetch_add(1) > 0) {
        EndAsTheSignalWould(number);
        return;
    }
    pendingSignal.store(number);
}

void ServeStopSignal() {
    const int number = pendingSignal.exchange(0);
    if (number == 0) return;
    if (!CloseTopWindow()) EndAsTheSignalWould(number);
}

}  // namespace

void InstallStopSignals() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    AddMessagePumpHook(&ServeStopSignal);
}

}  // namespace platform::screen
