#pragma once

#include "RegisterImage.h"
#include "RegisterMap.h"
#include "TvxAdapter.h"

#include <bitset>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The simulated evaluation board: one adapter ("SIM-ZR5130") with a ZR5130
// register model at the chip's I2C address. Power-on state of a blank chip
// unless an image is loaded.
class SimBoard : public TvxAdapter {
public:
    static constexpr int kHandle = 0x5130;
    static constexpr const char* kSerial = "SIM-ZR5130";

    SimBoard();
    void Load(const RegisterImage& image);

    // Direct access for tests and tools; bypasses the I2C model.
    std::optional<uint8_t> Peek(uint8_t reg) const;  // nothing when it does not answer
    void Poke(uint8_t reg, std::optional<uint8_t> value);

    // One answer of the status register in a sequence: a value, or a fault
    // of the bus at that read.
    struct StatusAnswer {
        enum class Kind {
            Value,
            NoAnswer,  // the chip does not acknowledge this read
            Timeout,   // the bus times out: this read waits out the timeout (SetTimeout), then fails
            Replug,    // the cable is pulled and plugged back: this read fails,
                       // and the session with it until the board is opened again
        };
        constexpr StatusAnswer(uint8_t v) : value(v) {}
        constexpr StatusAnswer(Kind k) : kind(k) {}
        Kind kind = Kind::Value;
        uint8_t value = 0;
    };

    // From now on each read of the status register answers the next of
    // answers, starting over after the last: a board whose fault flags come
    // and go, or whose bus fails now and then. Empty: the register keeps its
    // value.
    void SetStatusSequence(std::vector<StatusAnswer> answers);

    // How long a read waits before it times out (ZR5130_SIM_TIMEOUT); none
    // by default, so that tests of a stuck bus run at once.
    void SetTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

    // These registers acknowledge a write and keep their value, as the status
    // register always does: a chip whose register does not take a write.
    void IgnoreWrites(const std::vector<uint8_t>& registers);

    // A pulled USB cable: nothing is found and every call fails. Plugged in
    // again, the board is found, but a session opened before the unplug
    // stays dead until the board is opened again.
    void Unplug();
    void PlugIn();

    // Called before every register access; returning true makes it fail as a
    // NACK would. A failed access answers -ENXIO, or -ETIMEDOUT when the bus
    // timed out. Used to inject bus faults.
    std::function<bool(bool isWrite, uint8_t reg)> faultInjector;

    int FindControllers() override;
    int GetSerialNumber(int index, char* serial) override;
    int Open(const char* serial) override;
    int FirmwareVersionRead(int handle, unsigned char* buffer, int size) override;
    int I2cControl(int handle, int a, int b, int c) override;
    int GpioWriteControl(int handle, const std::array<int, 13>& values) override;
    int PowerWriteControl(int handle, int a, int b) override;
    int RegisterRead(int handle, uint16_t address, uint8_t reg) override;
    int RegisterWrite(int handle, uint16_t address, uint8_t reg, uint8_t value) override;
    LinkProblem AccessProblem() const override { return m_problem; }

private:
    bool IsLive(int handle) const;
    // The next answer of the sequence for a read of the status register;
    // false when that read fails.
    bool NextStatusAnswer();
    // A NACK: -ENXIO, and that as the last access's problem.
    int NoAnswer();

    RegisterImage m_image;
    std::bitset<256> m_ignoresWrites;
    std::vector<StatusAnswer> m_statusSequence;
    size_t m_statusStep = 0;
    bool m_plugged = true;
    bool m_sessionLost = false;
    std::chrono::milliseconds m_timeout{0};
    LinkProblem m_problem;  // of the last access that failed
};
