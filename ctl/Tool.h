#pragma once

#include "ChipLink.h"
#include "Trace.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Exit statuses of zr5130ctl, shared with the panel's conventions.
enum ExitStatus : int {
    kExitDone = 0,
    kExitFailed = 1,    // the chip, the bus or the output failed, or a check found a difference
    kExitBadInput = 2,  // usage error, bad input or no confirmation; nothing was written
};

inline constexpr const char* kProgramName = "zr5130ctl";
// --trace's name for standard output.
inline constexpr std::string_view kStandardOutputTrace = "-";

// One line on standard error: "zr5130ctl: message"; with the register it is
// about, for --json's error object.
void Problem(const std::string& message);
void Problem(const std::string& message, uint8_t reg);

// "register A5", or "registers 03, 04, A5".
std::string RegisterList(const std::vector<uint8_t>& registers);

// The global options and the chips they lead to: one board, or with --each
// one per board, on which a command runs in turn. A board's adapter is
// chosen and opened only when the command needs the chip, after it has
// checked its input.
class Tool {
public:
    std::string adapter;        // --adapter
    bool adapterGiven = false;  // --adapter was given, even empty
    std::vector<std::string> each;  // --each, once per board
    std::string trace;          // --trace; empty means ZR5130_TRACE, "-" standard output
    bool json = false;
    bool yes = false;  // --yes: no confirmation asked

    Tool() = default;
    ~Tool();
    Tool(const Tool&) = delete;
    Tool& operator=(const Tool&) = delete;

    // kExitDone when the options make sense before any command runs.
    int CheckOptions();

    // Standard input can be read once: the first to claim it ("-" as a dump,
    // or --adapter sim:-) has it; a second is refused, naming what took it.
    bool ClaimStandardInput(const std::string& who);

    // The boards a command runs on: 1, or one per --each.
    size_t Boards() const { return m_boards.size(); }
    bool Each() const { return !each.empty(); }
    // The board the command runs on now.
    void SelectBoard(size_t index) { m_current = index; }
    // Whether the command asked for the board's chip (a command that never
    // does, as decode FILE, runs once however many boards there are).
    bool BoardTried(size_t index) const { return m_boards[index].tried; }
    // The command covers every board at once (watch, a diff of two live
    // boards): it runs once, without a `==>` line per board.
    void AllBoardsDone() { m_allDone = true; }
    bool AllDone() const { return m_allDone; }
    // How --each named the board now selected ("sim:A"); empty without --each.
    std::string BoardLabel() const;

    // kExitDone when the chip can be reached; otherwise the problem has been
    // told and the result is the status to end with. With --each, the first
    // call for a board prints its `==> ADAPTER <==` line before anything else.
    int OpenChip();
    // Opens the adapter again, as after a replug (a bus chosen by i2c:NAME is
    // looked up again); why it did not come up otherwise.
    bool Reopen(std::string& why);
    // How messages name the adapter in use: "/dev/i2c-7", "sim:board.txt".
    const std::string& AdapterName() const { return Chip().Name(); }
    ChipLink& Chip() const { return *m_boards[m_current].chip; }

    // Every register access of every command passes through these. A failed
    // read is kept, to be told by TellFailedReads unless the command tells
    // it itself; a failed write is the command's to tell, with FailureCause.
    std::optional<uint8_t> Read(uint8_t reg);
    // Written, read back and compared as the map says (ChipLink::WriteVerified).
    WriteCheck Write(uint8_t reg, uint8_t value);
    // Why the last access failed: the stuck bus's cause, or that the chip
    // did not answer, naming the address and the adapter.
    std::string FailureCause() const { return Chip().FailureCause(); }
    // The bus timed out or stayed busy: every further access fails at once,
    // and the command should end (with kExitFailed) rather than go on.
    bool BusStuck() const { return Chip().StuckCause() != nullptr; }
    // Lets the next access try the bus again.
    void ClearStuck() { Chip().ClearStuck(); }

    // One line per cause for the reads that failed since the last call:
    // "register 03: no answer from ADDRESS on /dev/i2c-7", or "registers 03,
    // 04: ..." when several failed alike, between prefix and suffix.
    void TellFailedReads(const std::string& prefix = {}, const std::string& suffix = {});
    void ForgetFailedReads() { m_failedReads.clear(); }

    // The trace file (--trace or ZR5130_TRACE) stopped on a write error.
    bool TraceLost() const { return m_trace.IsLost(); }
    void CloseTrace() { m_trace.Close(); }

private:
    struct FailedRead {
        uint8_t reg;
        std::string cause;
    };
    struct Board {
        std::string setting;  // --each's value; empty: chosen as without --each
        std::unique_ptr<ChipLink> chip = std::make_unique<ChipLink>();
        bool tried = false;
        int openStatus = kExitDone;
    };

    int StartTrace();
    int OpenBoard(Board& board);

    std::vector<Board> m_boards = std::vector<Board>(1);
    size_t m_current = 0;
    bool m_allDone = false;
    bool m_traceStarted = false;
    TraceFile m_trace;
    std::string m_standardInputTaker;
    std::vector<FailedRead> m_failedReads;
};
