#include "DeviceLink.h"

#include "Trace.h"
#include "TvxAdapter.h"
#include "tvx.h"

#include <cstring>

int32_t g_adapterHandle = 0;

namespace {

char g_serial[kTvxSerialSize] = {};
uint8_t g_ffwMajor = 0;
uint8_t g_ffwMinor = 0;

constexpr int kFirmwareAnswerSize = 5;

// A minor of 16 or more carries into the major digit; that is how the panel
// has always shown it.
uint8_t PackVersion(uint8_t major, uint8_t minor)
{
    return static_cast<uint8_t>((major * 16 + minor) % 256);
}

uint16_t BusAddress(unsigned address) { return static_cast<uint16_t>(address & 0xFF); }

}  // namespace

int AdapterOpen(uint8_t& rfw)
{
    // Without an adapter or a serial number the handle stays as it is; the
    // firmware read below then fails and reports the problem.
    if (tvxFindControllers() != 0 && tvxGetSerialNumber(0, g_serial) >= 0)
        g_adapterHandle = tvxOpen(g_serial);

    unsigned char firmware[kFirmwareAnswerSize] = {};
    if (tvxFirmwareVersion_Read(g_adapterHandle, firmware, kFirmwareAnswerSize) < 0)
        return kAdapterFirmwareFailed;
    g_ffwMajor = firmware[2];
    g_ffwMinor = firmware[3];
    rfw = PackVersion(firmware[0], firmware[1]);

    // Every set-up step runs even after an earlier one failed.
    const bool i2cFailed = tvxI2C_Control(g_adapterHandle, 0, 0, 1) < 0;
    const bool gpioFailed =
        tvxGPIO_WriteControl(g_adapterHandle, 0, 0, 1, 1, 1, 1, 2, 1, 0, 0, 0, 0, 0) < 0;
    const bool powerFailed = tvxPower_WriteControl(g_adapterHandle, 1, 0) < 0;

    if (powerFailed)
        return kAdapterPowerFailed;
    if (gpioFailed)
        return kAdapterGpioFailed;
    if (i2cFailed)
        return kAdapterI2cFailed;
    return kAdapterOk;
}

int AdapterFfwVersion(uint8_t& ffw)
{
    ffw = PackVersion(g_ffwMajor, g_ffwMinor);
    return 0;
}

int RegRead(unsigned address, uint8_t reg, uint8_t& value)
{
    const int answer = tvxI2C_RegisterRead(g_adapterHandle, BusAddress(address), reg);
    const bool ok = answer >= 0;
    if (ok)
        value = static_cast<uint8_t>(answer & 0xFF);
    TraceRead(reg, value, ok);
    return ok ? 0 : 1;
}

int RegWrite(unsigned address, uint8_t reg, uint8_t value)
{
    const bool ok = tvxI2C_RegisterWrite(g_adapterHandle, BusAddress(address), reg, value) == 0;
    TraceWrite(reg, value, ok);
    return ok ? 0 : 1;
}

const std::string* LinkStuckCause()
{
    const TvxAdapter* adapter = tvxInstalledAdapter();
    return adapter ? adapter->StuckBusCause() : nullptr;
}

void LinkClearStuck()
{
    if (TvxAdapter* adapter = tvxInstalledAdapter())
        adapter->ClearStuckBus();
}

std::string LinkAccessFailure()
{
    const TvxAdapter* adapter = tvxInstalledAdapter();
    return adapter ? adapter->AccessFailure() : std::string();
}

LinkSession LinkSaveSession()
{
    return {g_adapterHandle, std::string(g_serial, strnlen(g_serial, sizeof g_serial)), g_ffwMajor,
            g_ffwMinor};
}

void LinkRestoreSession(const LinkSession& session)
{
    g_adapterHandle = session.handle;
    std::memset(g_serial, 0, sizeof g_serial);
    session.serial.copy(g_serial, sizeof g_serial - 1);
    g_ffwMajor = session.ffwMajor;
    g_ffwMinor = session.ffwMinor;
}

void LinkResetSession()
{
    g_adapterHandle = 0;
    std::memset(g_serial, 0, sizeof g_serial);
    g_ffwMajor = 0;
    g_ffwMinor = 0;
}
