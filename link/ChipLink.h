#pragma once

#include "LinkProblem.h"
#include "RegisterMap.h"
#include "TvxAdapter.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class TraceFile;

enum AdapterOpenResult : int {
    kAdapterOk = 0,
    kAdapterFirmwareFailed = 2,
    kAdapterI2cFailed = 3,
    kAdapterGpioFailed = 4,
    kAdapterPowerFailed = 5,
};

// The session an open adapter gives: handle, serial number and firmware
// version.
struct LinkSession {
    int32_t handle = 0;
    std::string serial;
    uint8_t ffwMajor = 0;
    uint8_t ffwMinor = 0;
};

// One register access as it happened, for an observer (SetObserver).
struct RegisterAccess {
    std::chrono::system_clock::time_point time;
    bool write = false;
    uint8_t reg = 0;
    uint8_t value = 0;  // written, or read; 0 for a read that failed
    bool ok = false;
};

// A write read back and compared (ChipLink::WriteVerified).
struct WriteCheck {
    enum class Outcome {
        Done,         // written, and reads back as written (the burn register: acknowledged)
        Refused,      // the map calls the register read-only: nothing written
        WriteFailed,  // the write was not acknowledged
        ReadFailed,   // written, but the read back failed
        Differs,      // written, and reads back otherwise
    };
    Outcome outcome = Outcome::Done;
    std::optional<uint8_t> read;  // the value read back, when it was
    bool Ok() const { return outcome == Outcome::Done; }
};

// One open adapter and the ZR5130 on it. Holds everything about that road to
// the chip: the adapter (owned, or borrowed), its session, the last
// failure's cause, the stuck-bus mark, the trace files its accesses go to,
// an observer of every access, and the lock that serializes its bus
// accesses. Any number may be open at once, each on its own adapter.
//
// Every access takes BusLock() for itself; a caller that makes several
// accesses as one action (and reads LastFailure after them) holds it across
// them. It is recursive for that reason: the action's hold and each access's
// own nest.
//
// A transfer that times out or finds the bus busy marks the bus stuck: each
// further one would wait out the bus's timeout again (a second or more).
// While marked, accesses fail at once without reaching the adapter, until
// ClearStuck, which whoever runs the actions calls as the next one starts,
// so that each action tries the bus once.
class ChipLink {
public:
    // name is how messages call the adapter: "/dev/i2c-7", "sim:board.txt",
    // "the simulated board".
    explicit ChipLink(std::string name = {});
    ChipLink(std::unique_ptr<TvxAdapter> adapter, std::string name);
    ~ChipLink();
    ChipLink(const ChipLink&) = delete;
    ChipLink& operator=(const ChipLink&) = delete;

    // The adapter; nullptr: none connected, and everything fails. Setting
    // one clears the stuck mark and keeps the session (see RestoreSession).
    void Own(std::unique_ptr<TvxAdapter> adapter);
    void Borrow(TvxAdapter* adapter);
    TvxAdapter* Adapter() const { return m_adapter; }
    const std::string& Name() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }

    // The adapter vendor's opening: find, serial number, open, firmware
    // version (rfw packed as major * 16 + minor), then the I2C, GPIO and
    // power set-up, every step run even after an earlier one failed. The
    // highest-numbered failure is the result. Without an adapter or a serial
    // number the handle stays as it was.
    int Open(uint8_t& rfw);
    // Open for a front end that needs no versions: whether it came up.
    bool Open();
    // Why the last Open failed, as the adapter tells it.
    LinkProblem OpenProblem() const;
    // The same in one line for standard error or an exception: the adapter's
    // own sentence, else that NAME did not come up; a cable is worth checking
    // only on a USB bridge.
    std::string OpenFailureLine() const;
    // Lets the adapter go (a borrowed one is only forgotten) and forgets the
    // session.
    void Close();

    LinkSession Session() const;
    void RestoreSession(const LinkSession& session);
    void ResetSession() { RestoreSession({}); }
    int32_t Handle() const { return m_session.handle; }
    // The FFW version kept by the last Open, packed as the RFW is.
    uint8_t PackedFfw() const;

    // One register at the chip's address (or another, for the panel's
    // face). Read: false when it failed, value left as it was.
    bool Read(uint8_t reg, uint8_t& value, unsigned address = chip::kChipAddress);
    std::optional<uint8_t> Read(uint8_t reg);
    bool Write(uint8_t reg, uint8_t value, unsigned address = chip::kChipAddress);
    // Writes, reads back and compares, as the map says: a read-only register
    // is refused, the burn register is written without the compare (its
    // steps keep their own checks), any other is read back.
    WriteCheck WriteVerified(uint8_t reg, uint8_t value);

    // The last access that failed.
    struct Failure {
        bool write = false;
        uint8_t reg = 0;
        LinkProblem problem;  // as the adapter told it; the stuck cause when the bus is stuck
    };
    const Failure& LastFailure() const { return m_failure; }
    // Its cause as one line, without the register: from the adapter's parts
    // ("no device answered at 0x2c on /dev/i2c-0"), else the adapter's own
    // sentence for a stuck bus, else "no answer from 0x2c on NAME".
    std::string FailureCause() const;
    // The kernel's errno for it, 0 when there is none.
    int FailureErrno() const { return m_failure.problem.error; }

    const std::string* StuckCause() const { return m_stuck ? &m_stuckCause : nullptr; }
    void ClearStuck() { m_stuck = false; }

    // The files every access is traced to (not owned); none by default.
    void AddTrace(TraceFile& file);
    void RemoveTrace(TraceFile& file);

    // Called for every access, after it, while the bus lock is held.
    using Observer = std::function<void(const RegisterAccess&)>;
    void SetObserver(Observer observer) { m_observer = std::move(observer); }

    std::recursive_mutex& BusLock() const { return m_lock; }

private:
    void Failed(bool write, uint8_t reg, int answer);
    void Told(bool write, uint8_t reg, uint8_t value, bool ok);

    std::unique_ptr<TvxAdapter> m_owned;
    TvxAdapter* m_adapter = nullptr;
    std::string m_name;
    LinkSession m_session;
    Failure m_failure;
    bool m_stuck = false;
    std::string m_stuckCause;
    LinkProblem m_stuckProblem;
    std::vector<TraceFile*> m_traces;
    Observer m_observer;
    mutable std::recursive_mutex m_lock;
};
