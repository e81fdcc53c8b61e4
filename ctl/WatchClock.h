#pragma once

#include <chrono>
#include <optional>

// The cadence of a watch: a read every interval from the start, an end
// after --timeout, and pauses in which a reader of standard output that has
// gone away is noticed at once.
class WatchClock {
public:
    using Clock = std::chrono::steady_clock;

    // timeout: from now to the end; nothing: no end.
    explicit WatchClock(std::optional<std::chrono::duration<double>> timeout);

    // Waits until the next read is due: interval after the last was due, or
    // after now when that is past (a slow read brings no burst of reads), but
    // not past the end. Returns early on a stop signal. False when the reader
    // of standard output went away meanwhile (grep -m1 done).
    bool Wait(std::chrono::milliseconds interval);
    bool PastEnd() const { return m_end && Clock::now() >= *m_end; }

private:
    Clock::time_point m_next = Clock::now();
    std::optional<Clock::time_point> m_end;
};
