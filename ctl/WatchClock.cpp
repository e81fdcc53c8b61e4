#include "WatchClock.h"

#include "StopSignals.h"

#include <algorithm>
#include <poll.h>
#include <unistd.h>

namespace {

// Sleeps until the time, or a stop signal; false when standard output's
// reader went away. A pipe whose reader closed it reports POLLERR to its
// writer, a socket or a terminal POLLHUP; both come without asking for any
// event, and a file or /dev/null reports neither, so this is a plain sleep
// for them. Without it a watch of a register that never changes would
// learn of a closed pipe only at its next line, which may never come.
bool SleepWatchingOutput(WatchClock::Clock::time_point until)
{
    using namespace std::chrono;
    pollfd output{STDOUT_FILENO, 0, 0};
    for (auto now = WatchClock::Clock::now(); !StopSignal() && now < until;
         now = WatchClock::Clock::now()) {
        const nanoseconds left = until - now;
        const timespec wait{time_t(duration_cast<seconds>(left).count()),
                            long((left % seconds(1)).count())};
        if (ppoll(&output, 1, &wait, nullptr) > 0 && (output.revents & (POLLERR | POLLHUP)))
            return false;
    }
    return true;
}

}  // namespace

WatchClock::WatchClock(std::optional<std::chrono::duration<double>> timeout)
{
    if (timeout) m_end = m_next + std::chrono::duration_cast<Clock::duration>(*timeout);
}

bool WatchClock::Wait(std::chrono::milliseconds interval)
{
    m_next = std::max(m_next + interval, Clock::now());
    if (m_end) m_next = std::min(m_next, *m_end);
    return SleepWatchingOutput(m_next);
}
