#pragma once

#include "LinkProblem.h"

#include <array>
#include <cstdint>
#include <string>

// Something that answers the nine adapter operations: the simulated board,
// a Linux I2C bus, or a scripted adapter in the tests. The tvx... free
// functions (tvx.h) forward to the adapter installed with tvxInstallAdapter.
// Return conventions are those of the adapter vendor's library: negative
// means failure, except RegisterWrite where anything but 0 is a failure.
// An adapter does not print: what went wrong is data (LinkProblem).
class TvxAdapter {
public:
    virtual ~TvxAdapter() = default;

    virtual int FindControllers() = 0;
    // serial points at a buffer of kTvxSerialSize bytes.
    virtual int GetSerialNumber(int index, char* serial) = 0;
    virtual int Open(const char* serial) = 0;
    virtual int FirmwareVersionRead(int handle, unsigned char* buffer, int size) = 0;
    virtual int I2cControl(int handle, int a, int b, int c) = 0;
    virtual int GpioWriteControl(int handle, const std::array<int, 13>& values) = 0;
    virtual int PowerWriteControl(int handle, int a, int b) = 0;
    virtual int RegisterRead(int handle, uint16_t address, uint8_t reg) = 0;
    virtual int RegisterWrite(int handle, uint16_t address, uint8_t reg, uint8_t value) = 0;

    // Why the last register access that failed did; empty when the
    // adapter cannot tell. A transfer that timed out or found the bus busy
    // answers -ETIMEDOUT or -EBUSY: the chip object (ChipLink) then marks the
    // bus stuck, with this problem's text as the cause.
    virtual LinkProblem AccessProblem() const { return {}; }
    // Why the last open failed, with what to do about it ("cannot open
    // /dev/i2c-7: Permission denied; add yourself to the i2c group"); empty
    // when the adapter cannot tell.
    virtual LinkProblem OpenProblem() const { return {}; }

    std::string AccessFailure() const { return AccessProblem().text; }
    std::string OpenFailure() const { return OpenProblem().text; }
};

inline constexpr int kTvxSerialSize = 80;

// Installs the adapter that answers the tvx operations, the adapter of the
// panel's chip object (see DeviceLink.h); not owned. nullptr means no
// adapter is connected: tvxFindControllers answers 0 and every other
// operation fails.
void tvxInstallAdapter(TvxAdapter* adapter);
TvxAdapter* tvxInstalledAdapter();
