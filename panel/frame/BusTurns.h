#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

// Whose turn it is on the panel's bus: the window's actions, or Watch
// Status's reader thread. Both go through the chip object's lock; an action
// says that it waits before it takes the lock, and the reader starts no read
// while one does, so an action waits at most for the read in flight (one bus
// timeout), never for a queue of them.
class BusTurns {
public:
    using Hold = std::unique_lock<std::recursive_mutex>;

    // The bus for an action of the window: blocks until the read in flight,
    // if any, is done.
    Hold ForAction();
    // The bus for one read, when no action waits for it and nobody has it;
    // otherwise an empty hold, and the reader looks again later.
    Hold TryForRead();
    // How many actions have had the bus: a read made before an action
    // started is older than what that action learned.
    uint64_t ActionsStarted() const { return m_started.load(); }

private:
    std::atomic<int> m_waiting{0};
    std::atomic<uint64_t> m_started{0};
};

// The turns on the panel's chip object (LinkChip).
BusTurns& PanelBusTurns();
