#include "ScriptedAdapter.h"

#include "DeviceLink.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

std::string Hex2(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

}  // namespace

std::string ScriptedAdapter::WriteLog() const
{
    std::string log;
    for (const auto& [reg, value] : writes) {
        if (!log.empty())
            log += ' ';
        log += Hex2(reg) + '=' + Hex2(value);
    }
    return log;
}

void ScriptedAdapter::ClearRecords()
{
    calls.clear();
    writes.clear();
    reads.clear();
}

int ScriptedAdapter::FindControllers()
{
    calls.push_back("FindControllers");
    return controllers;
}

int ScriptedAdapter::GetSerialNumber(int index, char* buffer)
{
    calls.push_back("GetSerialNumber " + std::to_string(index));
    if (serialResult >= 0) {
        const size_t length = std::min(serial.size(), static_cast<size_t>(kTvxSerialSize - 1));
        std::memcpy(buffer, serial.data(), length);
        buffer[length] = '\0';
    }
    return serialResult;
}

int ScriptedAdapter::Open(const char* buffer)
{
    calls.push_back(std::string("Open ") + buffer);
    return openHandle;
}

int ScriptedAdapter::FirmwareVersionRead(int handle, unsigned char* buffer, int size)
{
    calls.push_back("FirmwareVersion_Read " + std::to_string(handle) + ' ' + std::to_string(size));
    if (firmwareResult >= 0)
        std::memcpy(buffer, firmware.data(), std::min(static_cast<size_t>(size), firmware.size()));
    return firmwareResult;
}

int ScriptedAdapter::I2cControl(int handle, int a, int b, int c)
{
    calls.push_back("I2C_Control " + std::to_string(handle) + ' ' + std::to_string(a) + ' ' +
                    std::to_string(b) + ' ' + std::to_string(c));
    return i2cResult;
}

int ScriptedAdapter::GpioWriteControl(int handle, const std::array<int, 13>& values)
{
    std::string call = "GPIO_WriteControl " + std::to_string(handle);
    for (int value : values)
        call += ' ' + std::to_string(value);
    calls.push_back(call);
    return gpioResult;
}

int ScriptedAdapter::PowerWriteControl(int handle, int a, int b)
{
    calls.push_back("Power_WriteControl " + std::to_string(handle) + ' ' + std::to_string(a) +
                    ' ' + std::to_string(b));
    return powerResult;
}

int ScriptedAdapter::RegisterRead(int handle, uint16_t address, uint8_t reg)
{
    calls.push_back("RegisterRead " + std::to_string(handle) + ' ' + Hex2(address) + ' ' +
                    Hex2(reg));
    reads.push_back(reg);
    if (failReads.contains(reg))
        return readFailureResult;
    return regs[reg];
}

int ScriptedAdapter::RegisterWrite(int handle, uint16_t address, uint8_t reg, uint8_t value)
{
    calls.push_back("RegisterWrite " + std::to_string(handle) + ' ' + Hex2(address) + ' ' +
                    Hex2(reg) + ' ' + Hex2(value));
    writes.emplace_back(reg, value);
    if (failWrites.contains(reg))
        return writeFailureResult;
    if (!keepValues.contains(reg)) regs[reg] = value;
    if (deafAfterWrite.contains(reg)) failReads.insert(reg);
    return 0;
}

ScopedAdapter::ScopedAdapter(TvxAdapter* adapter) : m_previous(tvxInstalledAdapter())
{
    tvxInstallAdapter(adapter);
    LinkResetSession();
}

ScopedAdapter::~ScopedAdapter()
{
    tvxInstallAdapter(m_previous);
    LinkResetSession();
}
