#include "StopSignals.h"

#include <csignal>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t g_signal = 0;

void Stop(int signal) { g_signal = signal; }

}  // namespace

// Without SA_RESTART, so that a sleep or a blocking read is interrupted
// rather than restarted. A signal ignored from the start (nohup, a
// background job) stays ignored.
void CatchStopSignals()
{
    struct sigaction action = {};
    action.sa_handler = Stop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    for (const int signal : {SIGINT, SIGTERM}) {
        struct sigaction before = {};
        if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
        sigaction(signal, &action, nullptr);
    }
}

int StopSignal() { return g_signal; }

void EndByStopSignal()
{
    const int signal = g_signal;
    if (signal == 0) return;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
