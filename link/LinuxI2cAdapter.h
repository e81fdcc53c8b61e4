#pragma once

#include "I2cDev.h"
#include "TvxAdapter.h"

#include <cstdint>
#include <memory>
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
// carrying -errno, and their causes as data (OpenProblem, AccessProblem):
// nothing is printed here. A transfer that times out or finds the bus busy
// answers -ETIMEDOUT or -EBUSY, from which the chip object marks the bus
// stuck.
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
    LinkProblem OpenProblem() const override { return m_openProblem; }
    LinkProblem AccessProblem() const override { return m_accessProblem; }

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
    // Keeps why the access failed: the panel's sentence, the cause in words
    // and what to do; answers error.
    int AccessFailed(int error, std::string text, std::string cause = {}, std::string hint = {});
    // Keeps why the open failed.
    void Report(const std::string& line, int error = 0);
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
    bool m_usbBridge = false;  // sysfs puts the bus below a USB device
    LinkProblem m_openProblem;    // since the last FindControllers
    LinkProblem m_accessProblem;  // of the last register access that failed
};

// The adapter for node over the real system calls.
std::unique_ptr<TvxAdapter> MakeLinuxI2cAdapter(const std::string& node);

// A device address as messages and i2c-tools write it: "0x2c".
std::string HexAddress(uint16_t address);
