#include "tvx.h"

#include "TvxAdapter.h"

namespace {

TvxAdapter* g_installed = nullptr;

constexpr int kNoAdapter = -1;

}  // namespace

void tvxInstallAdapter(TvxAdapter* adapter) { g_installed = adapter; }

TvxAdapter* tvxInstalledAdapter() { return g_installed; }

int tvxFindControllers() { return g_installed ? g_installed->FindControllers() : 0; }

int tvxGetSerialNumber(int index, char* serial)
{
    return g_installed ? g_installed->GetSerialNumber(index, serial) : kNoAdapter;
}

// The vendor library reports a failed open as handle 0.
int tvxOpen(char* serial) { return g_installed ? g_installed->Open(serial) : 0; }

int tvxFirmwareVersion_Read(int handle, unsigned char* buffer, int size)
{
    return g_installed ? g_installed->FirmwareVersionRead(handle, buffer, size) : kNoAdapter;
}

int tvxI2C_Control(int handle, int a, int b, int c)
{
    return g_installed ? g_installed->I2cControl(handle, a, b, c) : kNoAdapter;
}

int tvxGPIO_WriteControl(int handle, int v1, int v2, int v3, int v4, int v5, int v6, int v7,
                         int v8, int v9, int v10, int v11, int v12, int v13)
{
    if (!g_installed)
        return kNoAdapter;
    return g_installed->GpioWriteControl(
        handle, {v1, v2, v3, v4, v5, v6, v7, v8, v9, v10, v11, v12, v13});
}

int tvxPower_WriteControl(int handle, int a, int b)
{
    return g_installed ? g_installed->PowerWriteControl(handle, a, b) : kNoAdapter;
}

int tvxI2C_RegisterRead(int handle, uint16_t address, uint8_t reg)
{
    return g_installed ? g_installed->RegisterRead(handle, address, reg) : kNoAdapter;
}

// Register writes report failure as any non-zero answer, so this one is positive.
int tvxI2C_RegisterWrite(int handle, uint16_t address, uint8_t reg, uint8_t value)
{
    return g_installed ? g_installed->RegisterWrite(handle, address, reg, value) : 1;
}
