#pragma once

#include "I2cDev.h"
#include "TvxAdapter.h"

#include <cstdint>
#include <memory>
#include <set>
#include <span>
#include <string>

// The tvx operations over a Linux i2c-dev bus (/dev/i2c-N), as provided by
// USB-to-I2C bridges such as the CP2112, MCP2221, FT260 or i2c-tiny-usb.
// The bus is the one "controller"; its sysfs name stands in for the serial
// number. There is no adapter firmware, GPIO or supply to set up: the board
// is powered separately. A register is reached with SMBus byte-data
// transfers, or, where the bus's driver offers only plain I2C transfers, as
// I2C_RDWR messages.
//
// Failures come back as the tvx results (negative, or non-zero for writes)
// carrying -errno. Each cause is also told once on standard error and then
// kept quiet until a register access succeeds again, so a readback of an
// unpowered board gives one line, not one per register.
//
// A transfer that times out or finds the bus busy marks the bus stuck: each
// further one would wait out the bridge's timeout again (a second or more).
// While marked, register accesses fail at once with the same error; the
// cause is not told here but asked for (StuckBusCause) by whoever runs the
// action, and the mark is cleared when the next action starts.
class LinuxI2cAdapter : public TvxAdapter {
public:
    LinuxI2cAdapter(std::string node, I2cDevSys& sys);
    LinuxI2cAdapter(std::string node, std::unique_ptr<I2cDevSys> sys);
    ~LinuxI2cAdapter() override;
    LinuxI2cAdapter(const LinuxI2cAdapter&) = delete;
    LinuxI2cAdapter& operator=(const LinuxI2cAdapter&) = delete;

    // A bus chosen by its adapter's name (see FindI2cBusByName): every
    // FindControllers looks the name up again, so a bridge that comes back
    // under another bus number after a replug is found there.
    void FollowBusName(std::string namePart, std::string sysClassDir);
    // A bus chosen by its node where another bus carries the same name:
    // every FindControllers checks that the node's adapter name is still
    // busName, so that after a replug the node of another bus (the PC's own
    // SMBus) is never opened in its place.
    void RequireBusName(std::string busName, std::string sysClassDir);

    int FindControllers() override;
    int GetSerialNumber(int index, char* serial) override;
    int Open(const char* serial) override;
    int FirmwareVersionRead(int handle, unsigned char* buffer, int size) override;
    int I2cControl(int handle, int a, int b, int c) override;
    int GpioWriteControl(int handle, const std::array<int, 13>& values) override;
    int PowerWriteControl(int handle, int a, int b) override;
    int RegisterRead(int handle, uint16_t address, uint8_t reg) override;
    int RegisterWrite(int handle, uint16_t address, uint8_t reg, uint8_t value) override;
    const std::string* StuckBusCause() const override;
    void ClearStuckBus() override;
    std::string OpenFailure() const override { return m_lastProblem; }
    std::string AccessFailure() const override;

private:
    bool IsOpenHandle(int handle) const;
    // Why the node is not the bus required; empty when it is (or none is).
    std::string NameMismatch() const;
    int SelectAddress(uint16_t address);
    // One register access as the bus takes it; 0 or -errno.
    int ReadByte(uint16_t address, uint8_t reg, uint8_t& value);
    int WriteByte(uint16_t address, uint8_t reg, uint8_t value);
    int SendMessages(std::span<i2c_msg> messages);
    int TransferFailed(uint16_t address, int error);
    int AccessFailed(int error, const std::string& cause);
    void Report(const std::string& line);
    void ForgetReports();
    void CloseBus();

    std::string m_node;
    std::string m_busName;  // followed when not empty
    std::string m_requiredName;  // the node's adapter name must be this, when not empty
    std::string m_sysClassDir;
    std::unique_ptr<I2cDevSys> m_ownedSys;
    I2cDevSys& m_sys;
    int m_fd = -1;
    int m_selectedAddress = -1;  // the I2C_SLAVE address now set on m_fd
    bool m_plainI2c = false;  // the bus lacks byte-data access: registers go as I2C_RDWR messages
    std::set<std::string> m_reported;  // causes told on standard error since the last success
    int m_stuckError = 0;  // -ETIMEDOUT or -EBUSY while the bus is marked stuck
    std::string m_stuckCause;
    std::string m_lastProblem;  // the last cause told, since the last FindControllers
    std::string m_accessProblem;  // why the last register access that failed did
};

// The adapter for node over the real system calls.
std::unique_ptr<TvxAdapter> MakeLinuxI2cAdapter(const std::string& node);

// A device address as messages and i2c-tools write it: "0x2c".
std::string HexAddress(uint16_t address);
