#pragma once

#include "TvxAdapter.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Exit statuses of zr5130ctl, shared with the panel's conventions.
enum ExitStatus : int {
    kExitDone = 0,
    kExitFailed = 1,    // the chip, the bus or the output failed, or a check found a difference
    kExitBadInput = 2,  // usage error, bad input or no confirmation; nothing was written
};

inline constexpr const char* kProgramName = "zr5130ctl";

// One line on standard error: "zr5130ctl: message".
void Problem(const std::string& message);

// "register A5", or "registers 03, 04, A5".
std::string RegisterList(const std::vector<uint8_t>& registers);

// The global options and the chip they lead to. The adapter is chosen and
// opened only when a command needs the chip, after it has checked its input.
class Tool {
public:
    std::string adapter;        // --adapter
    bool adapterGiven = false;  // --adapter was given, even empty
    std::string trace;          // --trace; empty means ZR5130_TRACE
    bool json = false;
    bool yes = false;  // --yes: no confirmation asked

    Tool() = default;
    ~Tool();
    Tool(const Tool&) = delete;
    Tool& operator=(const Tool&) = delete;

    // kExitDone when the options make sense before any command runs.
    int CheckOptions() const;

    // Standard input can be read once: the first to claim it ("-" as a dump,
    // or --adapter sim:-) has it; a second is refused, naming what took it.
    bool ClaimStandardInput(const std::string& who);

    // kExitDone when the chip can be reached; otherwise the problem has been
    // told and the result is the status to end with.
    int OpenChip();
    // Opens the adapter again, as after a replug (a bus chosen by i2c:NAME is
    // looked up again); why it did not come up otherwise.
    bool Reopen(std::string& why);
    // How messages name the adapter in use: "/dev/i2c-7", "sim:board.txt".
    const std::string& AdapterName() const { return m_adapterName; }

    // Every register access of every command passes through these. A failed
    // read is kept, to be told by TellFailedReads unless the command tells
    // it itself; a failed write is the command's to tell, with FailureCause.
    std::optional<uint8_t> Read(uint8_t reg);
    bool Write(uint8_t reg, uint8_t value);
    // Why the last access failed: the stuck bus's cause, or that the chip
    // did not answer, naming the address and the adapter.
    std::string FailureCause() const;
    // The bus timed out or stayed busy: every further access fails at once,
    // and the command should end (with kExitFailed) rather than go on.
    bool BusStuck() const;
    // Lets the next access try the bus again.
    void ClearStuck();

    // One line per cause for the reads that failed since the last call:
    // "register 03: no answer from ADDRESS on /dev/i2c-7", or "registers 03,
    // 04: ..." when several failed alike, between prefix and suffix.
    void TellFailedReads(const std::string& prefix = {}, const std::string& suffix = {});
    void ForgetFailedReads() { m_failedReads.clear(); }

private:
    struct FailedRead {
        uint8_t reg;
        std::string cause;
    };

    int StartTrace();

    std::unique_ptr<TvxAdapter> m_adapter;
    std::string m_adapterName;
    bool m_open = false;
    std::string m_standardInputTaker;
    std::vector<FailedRead> m_failedReads;
};
