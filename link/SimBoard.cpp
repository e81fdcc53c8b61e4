#include "SimBoard.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kFailed = -1;
constexpr int kWriteNack = 1;
constexpr unsigned char kFirmware[] = {2, 5, 1, 0, 0};  // RFW 2.5, FFW 1.0
constexpr int kFirmwareMinimum = 4;                     // RFW and FFW pairs
constexpr uint8_t kBlankStatus = 0x30;

}  // namespace

SimBoard::SimBoard()
{
    m_image.values.fill(0x00);
    m_image.values[kStatusRegister] = kBlankStatus;
}

void SimBoard::Load(const RegisterImage& image) { m_image = image; }

int SimBoard::Peek(uint8_t reg) const { return m_image.values[reg]; }

void SimBoard::Poke(uint8_t reg, int value)
{
    m_image.values[reg] = value == RegisterImage::kAbsent ? value : (value & 0xFF);
}

int SimBoard::FindControllers() { return 1; }

int SimBoard::GetSerialNumber(int index, char* serial)
{
    if (index != 0 || !serial)
        return kFailed;
    std::strncpy(serial, kSerial, kTvxSerialSize - 1);
    serial[kTvxSerialSize - 1] = '\0';
    return 0;
}

// An unknown serial number opens nothing: handle 0, which every later call refuses.
int SimBoard::Open(const char* serial)
{
    return serial && std::strcmp(serial, kSerial) == 0 ? kHandle : 0;
}

int SimBoard::FirmwareVersionRead(int handle, unsigned char* buffer, int size)
{
    if (handle != kHandle || !buffer || size < kFirmwareMinimum)
        return kFailed;
    const int count = std::min(size, static_cast<int>(sizeof kFirmware));
    std::memcpy(buffer, kFirmware, static_cast<size_t>(count));
    return count;
}

int SimBoard::I2cControl(int handle, int, int, int) { return handle == kHandle ? 0 : kFailed; }

int SimBoard::GpioWriteControl(int handle, const std::array<int, 13>&)
{
    return handle == kHandle ? 0 : kFailed;
}

int SimBoard::PowerWriteControl(int handle, int, int) { return handle == kHandle ? 0 : kFailed; }

int SimBoard::RegisterRead(int handle, uint16_t address, uint8_t reg)
{
    if (faultInjector && faultInjector(false, reg))
        return kFailed;
    if (handle != kHandle || address != kChipAddress)
        return kFailed;
    const int value = m_image.values[reg];
    return value == RegisterImage::kAbsent ? kFailed : value;
}

int SimBoard::RegisterWrite(int handle, uint16_t address, uint8_t reg, uint8_t value)
{
    if (faultInjector && faultInjector(true, reg))
        return kWriteNack;
    if (handle != kHandle || address != kChipAddress)
        return kWriteNack;
    if (m_image.values[reg] == RegisterImage::kAbsent)
        return kWriteNack;
    // The status register acknowledges a write like any other and ignores it.
    if (reg != kStatusRegister)
        m_image.values[reg] = value;
    return 0;
}
