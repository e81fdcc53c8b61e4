#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>

// Watch Status's read of the status register, made on a thread of its own so
// that a bus that waits out its timeout never holds the window. It takes its
// turn on the bus as BusTurns gives it: never while an action of the window
// waits, and then for one read only, which tries the bus once as an action
// does. What the read found goes to done, called on the reader's thread after
// the bus is let go.
class CStatusReader {
public:
    struct Result {
        std::optional<uint8_t> value;  // nothing: the read failed
        std::string cause;             // the adapter's, of a failed read
        uint64_t actionsBefore = 0;    // BusTurns::ActionsStarted when it read
    };
    using Done = std::function<void(const Result&)>;

    explicit CStatusReader(Done done);
    // Stops.
    ~CStatusReader();
    CStatusReader(const CStatusReader&) = delete;
    CStatusReader& operator=(const CStatusReader&) = delete;

    // One read, as soon as the bus is free; a request while one is pending
    // is the same request.
    void Request();
    // Waits for a read in flight to end; a pending request is dropped. Request
    // starts the thread again.
    void Stop();

private:
    void Run(std::stop_token stop);
    Result ReadOnce();

    Done m_done;
    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    bool m_requested = false;
    std::jthread m_thread;
};
