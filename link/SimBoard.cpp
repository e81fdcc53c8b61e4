#include "SimBoard.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

namespace {

constexpr int kFailed = -1;
constexpr int kNoAnswer = -ENXIO;
constexpr int kTimedOut = -ETIMEDOUT;
constexpr unsigned char kFirmware[] = {2, 5, 1, 0, 0};  // RFW 2.5, FFW 1.0
constexpr int kFirmwareMinimum = 4;                     // RFW and FFW pairs
constexpr uint8_t kBlankStatus = 0x30;

}  // namespace

SimBoard::SimBoard()
{
    m_image.values.fill(0x00);
    m_image.values[chip::kStatusRegister] = kBlankStatus;
    m_ignoresWrites[chip::kStatusRegister] = true;
}

void SimBoard::Load(const RegisterImage& image) { m_image = image; }

std::optional<uint8_t> SimBoard::Peek(uint8_t reg) const { return m_image.values[reg]; }

void SimBoard::Poke(uint8_t reg, std::optional<uint8_t> value) { m_image.values[reg] = value; }

void SimBoard::SetStatusSequence(std::vector<StatusAnswer> answers)
{
    m_statusSequence = std::move(answers);
    m_statusStep = 0;
}

void SimBoard::IgnoreWrites(const std::vector<uint8_t>& registers)
{
    for (uint8_t reg : registers) m_ignoresWrites[reg] = true;
}

bool SimBoard::NextStatusAnswer()
{
    const StatusAnswer answer = m_statusSequence[m_statusStep++ % m_statusSequence.size()];
    switch (answer.kind) {
    case StatusAnswer::Kind::Value: m_image.values[chip::kStatusRegister] = answer.value; return true;
    case StatusAnswer::Kind::NoAnswer: m_problem = {}; return false;
    case StatusAnswer::Kind::Timeout:
        std::this_thread::sleep_for(m_timeout);
        m_problem = {};
        m_problem.text = "the simulated board's bus timed out (as ZR5130_SIM_STATUS asks)";
        m_problem.error = ETIMEDOUT;
        return false;
    case StatusAnswer::Kind::Replug:
        m_problem = {};
        Unplug();
        PlugIn();
        return false;
    }
    return false;
}

void SimBoard::Unplug()
{
    m_plugged = false;
    m_sessionLost = true;
}

void SimBoard::PlugIn() { m_plugged = true; }

bool SimBoard::IsLive(int handle) const { return handle == kHandle && !m_sessionLost; }

int SimBoard::FindControllers() { return m_plugged ? 1 : 0; }

int SimBoard::GetSerialNumber(int index, char* serial)
{
    if (index != 0 || !serial || !m_plugged)
        return kFailed;
    std::strncpy(serial, kSerial, kTvxSerialSize - 1);
    serial[kTvxSerialSize - 1] = '\0';
    return 0;
}

// An unknown serial number opens nothing: handle 0, which every later call refuses.
int SimBoard::Open(const char* serial)
{
    if (!m_plugged || !serial || std::strcmp(serial, kSerial) != 0)
        return 0;
    m_sessionLost = false;
    return kHandle;
}

int SimBoard::FirmwareVersionRead(int handle, unsigned char* buffer, int size)
{
    if (!IsLive(handle) || !buffer || size < kFirmwareMinimum)
        return kFailed;
    const int count = std::min(size, static_cast<int>(sizeof kFirmware));
    std::memcpy(buffer, kFirmware, static_cast<size_t>(count));
    return count;
}

int SimBoard::I2cControl(int handle, int, int, int) { return IsLive(handle) ? 0 : kFailed; }

int SimBoard::GpioWriteControl(int handle, const std::array<int, 13>&)
{
    return IsLive(handle) ? 0 : kFailed;
}

int SimBoard::PowerWriteControl(int handle, int, int) { return IsLive(handle) ? 0 : kFailed; }

int SimBoard::NoAnswer()
{
    m_problem = {};
    m_problem.error = ENXIO;
    return kNoAnswer;
}

int SimBoard::RegisterRead(int handle, uint16_t address, uint8_t reg)
{
    if (faultInjector && faultInjector(false, reg))
        return NoAnswer();
    if (!IsLive(handle) || address != chip::kChipAddress)
        return NoAnswer();
    const std::optional<uint8_t>& value = m_image.values[reg];
    if (reg == chip::kStatusRegister && !m_statusSequence.empty() && value && !NextStatusAnswer())
        return m_problem.error == ETIMEDOUT ? kTimedOut : NoAnswer();
    return value ? *value : NoAnswer();
}

int SimBoard::RegisterWrite(int handle, uint16_t address, uint8_t reg, uint8_t value)
{
    if (faultInjector && faultInjector(true, reg))
        return NoAnswer();
    if (!IsLive(handle) || address != chip::kChipAddress)
        return NoAnswer();
    if (!m_image.values[reg])
        return NoAnswer();
    // The status register acknowledges a write like any other and ignores it.
    if (!m_ignoresWrites[reg])
        m_image.values[reg] = value;
    return 0;
}
