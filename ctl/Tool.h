#pragma once

#include "TvxAdapter.h"

#include <cstdint>
#include <memory>
#include <string>

// Exit statuses of zr5130ctl, shared with the panel's conventions.
enum ExitStatus : int {
    kExitDone = 0,
    kExitFailed = 1,    // the chip or the bus failed, or a check found a difference
    kExitBadInput = 2,  // usage error or bad input; nothing was written
};

inline constexpr const char* kProgramName = "zr5130ctl";

// One line on standard error: "zr5130ctl: message".
void Problem(const std::string& message);

// The global options and the chip they lead to. The adapter is chosen and
// opened only when a command needs the chip, after it has checked its input.
class Tool {
public:
    std::string adapter;  // --adapter; empty means ZR5130_ADAPTER
    std::string trace;    // --trace; empty means ZR5130_TRACE
    bool json = false;

    Tool() = default;
    ~Tool();
    Tool(const Tool&) = delete;
    Tool& operator=(const Tool&) = delete;

    // kExitDone when the chip can be reached; otherwise the problem has been
    // told and the result is the status to end with.
    int OpenChip();

    // Every register access of every command passes through these two.
    // A failed access is in the trace; the caller decides what to tell,
    // except a stuck bus, which is told here once.
    bool Read(uint8_t reg, uint8_t& value);
    bool Write(uint8_t reg, uint8_t value);
    // The bus timed out or stayed busy: every further access fails at once,
    // and the command should end (with kExitFailed) rather than go on.
    bool BusStuck() const { return m_stuckTold; }

private:
    int StartTrace();
    bool Checked(bool ok);

    std::unique_ptr<TvxAdapter> m_adapter;
    bool m_open = false;
    bool m_stuckTold = false;
};
