#include "tvx.h"

#include "DeviceLink.h"
#include "TvxAdapter.h"

namespace {

constexpr int kNoAdapter = -1;

TvxAdapter* Installed() { return LinkChip().Adapter(); }

}  // namespace

void tvxInstallAdapter(TvxAdapter* adapter) { LinkChip().Borrow(adapter); }

TvxAdapter* tvxInstalledAdapter() { return Installed(); }

int tvxFindControllers()
{
    TvxAdapter* adapter = Installed();
    return adapter ? adapter->FindControllers() : 0;
}

int tvxGetSerialNumber(int index, char* serial)
{
    TvxAdapter* adapter = Installed();
    return adapter ? adapter->GetSerialNumber(index, serial) : kNoAdapter;
}

// The vendor library reports a failed open as handle 0.
int tvxOpen(char* serial)
{
    TvxAdapter* adapter = Installed();
    return adapter ? adapter->Open(serial) : 0;
}

int tvxFirmwareVersion_Read(int handle, unsigned char* buffer, int size)
{
    TvxAdapter* adapter = Installed();
    return adapter ? adapter->FirmwareVersionRead(handle, buffer, size) : kNoAdapter;
}

int tvxI2C_Control(int handle, int a, int b, int c)
{
    TvxAdapter* adapter = Installed();
    return adapter ? adapter->I2cControl(handle, a, b, c) : kNoAdapter;
}

int tvxGPIO_WriteControl(int handle, int v1, int v2, int v3, int v4, int v5, int v6, int v7,
                         int v8, int v9, int v10, int v11, int v12, int v13)
{
    TvxAdapter* adapter = Installed();
    if (!adapter)
        return kNoAdapter;
    return adapter->GpioWriteControl(handle,
                                     {v1, v2, v3, v4, v5, v6, v7, v8, v9, v10, v11, v12, v13});
}

int tvxPower_WriteControl(int handle, int a, int b)
{
    TvxAdapter* adapter = Installed();
    return adapter ? adapter->PowerWriteControl(handle, a, b) : kNoAdapter;
}

int tvxI2C_RegisterRead(int handle, uint16_t address, uint8_t reg)
{
    TvxAdapter* adapter = Installed();
    return adapter ? adapter->RegisterRead(handle, address, reg) : kNoAdapter;
}

// Register writes report failure as any non-zero answer, so this one is positive.
int tvxI2C_RegisterWrite(int handle, uint16_t address, uint8_t reg, uint8_t value)
{
    TvxAdapter* adapter = Installed();
    return adapter ? adapter->RegisterWrite(handle, address, reg, value) : 1;
}
