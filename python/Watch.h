#pragma once

#include "FieldCondition.h"
#include "Session.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// One read of one register in a watch.
struct WatchSample {
    double time = 0;  // when it was read: seconds since the epoch, as time.time()
    uint8_t reg = 0;
    std::optional<uint8_t> value;  // nothing: the read failed
    // The register's fields by name, in the map's order; none when the read failed.
    std::vector<std::pair<std::string, unsigned>> fields;
};

// A watch of one chip (Chip.watch, Chip.wait_for): the registers that tell
// the until fields (else the status register 02) read every interval from
// the first sample on, each read a sample, a failed read one without a
// value. It ends after the samples of the round in which the until fields
// hold, or once the timeout has passed, after a last round at its end.
// Reads and pauses let the interpreter's lock go.
class ChipWatch {
public:
    // timeoutS: nothing for no end.
    ChipWatch(std::shared_ptr<ChipSession> chip, double intervalS, std::optional<double> timeoutS,
              std::vector<chip::FieldCondition> until);

    // The next sample, nothing once the watch is over. Called with the
    // interpreter's lock held. Raises TimeoutError when the until fields did
    // not hold by the timeout, what a signal's handler raises
    // (KeyboardInterrupt) during a pause, and Error for a closed chip; a
    // watch that another thread is reading with raises ValueError, as a
    // generator does.
    std::optional<WatchSample> Next();

private:
    using Clock = std::chrono::steady_clock;

    std::optional<WatchSample> Step();
    void ReadRound();
    // Waits for the next round; false when the watch is over.
    bool Pause();
    [[noreturn]] void RaiseTimeout() const;

    std::shared_ptr<ChipSession> m_chip;
    Clock::duration m_interval;
    std::optional<std::chrono::duration<double>> m_timeout;
    std::vector<chip::FieldCondition> m_until;
    std::vector<uint8_t> m_regs;
    std::deque<WatchSample> m_pending;
    chip::RegisterValues m_last;  // what each register read last, while it answers
    std::string m_lastFailure;    // why the last round's failed read failed; empty: none did
    bool m_started = false;
    bool m_over = false;
    bool m_busy = false;  // a thread is in Next
    Clock::time_point m_next;
    std::optional<Clock::time_point> m_end;
};

// The fields and values to wait for, as set() takes them. Raises KeyError
// for a name the map does not know, ValueError for a value it refuses.
std::vector<chip::FieldCondition> ConditionsOf(const std::vector<chip::FieldText>& texts);
