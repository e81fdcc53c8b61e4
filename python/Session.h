#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

class TvxAdapter;

// A register and what it read: nothing when it did not answer.
using RegisterReadings = std::map<int, std::optional<int>>;

// One chip reached through the device link, as zr5130.Chip shows it. The
// device link serves one adapter per process, so one session is open at a
// time: opening another closes the one before, and the closed one refuses
// every further call, saying why.
//
// Every public call is one action: a bus marked stuck by the call before is
// tried again once, so a stuck bus costs one timeout per call.
class ChipSession {
public:
    // The adapter as zr5130ctl chooses it: adapter when given, then
    // ZR5130_ADAPTER (empty counts as unset), then the panel's remembered
    // choice. Throws std::invalid_argument, AdapterFailure or DumpFailure.
    static std::shared_ptr<ChipSession> Open(const std::optional<std::string>& adapter);
    ~ChipSession();
    ChipSession(const ChipSession&) = delete;
    ChipSession& operator=(const ChipSession&) = delete;

    void Close();
    bool IsOpen() const { return m_adapterInstalled; }
    // The adapter setting that was used ("sim", "/dev/i2c-7", ...).
    const std::string& Adapter() const { return m_setting; }

    uint8_t Read(uint8_t reg);
    // The burn register 0x72 is refused (std::invalid_argument).
    void Write(uint8_t reg, uint8_t value);
    // Every register of the map; nothing for one that does not answer.
    RegisterReadings Dump();

    // Appends the trace lines of every further access to path; nothing: stop.
    void Trace(const std::optional<std::string>& path);
    const std::optional<std::string>& TracePath() const { return m_tracePath; }

    // The parts of an action, for callers that make several accesses in one:
    // Begin first, then the accesses (each throws BusFailure), then End.
    void Begin();
    uint8_t ReadOnce(uint8_t reg);
    void WriteOnce(uint8_t reg, uint8_t value);
    void End();

private:
    explicit ChipSession(std::string setting);
    [[noreturn]] void AccessFailed(uint8_t reg, std::string cause);
    std::string Where() const;

    std::string m_setting;
    std::unique_ptr<TvxAdapter> m_adapter;
    bool m_adapterInstalled = false;
    std::string m_closedBecause = "this chip was closed; zr5130.open() opens it again";
    std::optional<std::string> m_tracePath;
    bool m_traceLostTold = false;
};
