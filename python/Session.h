#pragma once

#include "ChipLink.h"
#include "Trace.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

// A register and what it read: nothing when it did not answer.
using RegisterReadings = std::map<int, std::optional<int>>;

// One chip on its own adapter, as zr5130.Chip shows it: any number may be
// open at once, each independent of the others. Its calls may come from
// several threads; the chip object's lock serializes them, and the caller
// (Module.cpp) lets the interpreter's lock go while they wait on the bus.
//
// Every public call is one action: a bus marked stuck by the call before is
// tried again once, so a stuck bus costs one timeout per call.
class ChipSession {
public:
    // The adapter in the order every program takes it (AdapterOrder.h):
    // adapter when given, then ZR5130_ADAPTER, then the panel's remembered
    // choice. Throws std::invalid_argument, AdapterFailure or DumpFailure.
    static std::shared_ptr<ChipSession> Open(const std::optional<std::string>& adapter);
    ~ChipSession();
    ChipSession(const ChipSession&) = delete;
    ChipSession& operator=(const ChipSession&) = delete;

    void Close();
    bool IsOpen() const;
    // The adapter setting that was used ("sim", "/dev/i2c-7", ...).
    const std::string& Adapter() const { return m_setting; }

    uint8_t Read(uint8_t reg);
    // Written, read back and compared (MismatchFailure when it reads
    // otherwise). A register the map calls read-only, and the burn register
    // 0x72, are refused (std::invalid_argument).
    void Write(uint8_t reg, uint8_t value);
    // Every register of the map; nothing for one that does not answer.
    RegisterReadings Dump();

    // Appends the trace lines of every further access to path; nothing: stop.
    void Trace(const std::optional<std::string>& path);
    std::optional<std::string> TracePath() const;

    // The parts of an action, for callers that make several accesses in one:
    // Begin first (it holds the chip's lock until the action ends), then the
    // accesses (each throws BusFailure), then End.
    using ActionLock = std::unique_lock<std::recursive_mutex>;
    [[nodiscard]] ActionLock Begin();
    uint8_t ReadOnce(uint8_t reg);
    // Written, read back and compared as the map says; a failed access
    // throws BusFailure, a read-only register std::invalid_argument. What it
    // read back is the caller's to compare.
    WriteCheck WriteCheckedOnce(uint8_t reg, uint8_t value);
    // WriteCheckedOnce, and MismatchFailure when it reads back otherwise.
    void WriteOnce(uint8_t reg, uint8_t value);
    // The bus timed out or stayed busy in this action: further accesses fail at once.
    bool Stuck() const { return m_link.StuckCause() != nullptr; }
    void End();

private:
    explicit ChipSession(std::string setting);
    [[noreturn]] void AccessFailed(uint8_t reg);

    std::string m_setting;
    ChipLink m_link;
    bool m_open = false;
    TraceFile m_trace;
    std::optional<std::string> m_tracePath;
    bool m_traceLostTold = false;
};
