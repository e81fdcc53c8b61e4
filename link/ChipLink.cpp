#include "ChipLink.h"

#include "LinuxI2cAdapter.h"
#include "Trace.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr int kFirmwareAnswerSize = 5;

// A minor of 16 or more carries into the major digit; that is how the panel
// has always shown it.
uint8_t PackVersion(uint8_t major, uint8_t minor)
{
    return static_cast<uint8_t>((major * 16 + minor) % 256);
}

uint16_t BusAddress(unsigned address) { return static_cast<uint16_t>(address & 0xFF); }

bool StuckAnswer(int answer) { return answer == -ETIMEDOUT || answer == -EBUSY; }

}  // namespace

ChipLink::ChipLink(std::string name) : m_name(std::move(name)) {}

ChipLink::ChipLink(std::unique_ptr<TvxAdapter> adapter, std::string name) : m_name(std::move(name))
{
    Own(std::move(adapter));
}

ChipLink::~ChipLink() = default;

void ChipLink::Own(std::unique_ptr<TvxAdapter> adapter)
{
    std::lock_guard lock(m_lock);
    m_owned = std::move(adapter);
    m_adapter = m_owned.get();
    m_stuck = false;
}

void ChipLink::Borrow(TvxAdapter* adapter)
{
    std::lock_guard lock(m_lock);
    m_owned.reset();
    m_adapter = adapter;
    m_stuck = false;
}

int ChipLink::Open(uint8_t& rfw)
{
    std::lock_guard lock(m_lock);
    m_stuck = false;
    if (!m_adapter)
        return kAdapterFirmwareFailed;
    char serial[kTvxSerialSize] = {};
    if (m_adapter->FindControllers() != 0 && m_adapter->GetSerialNumber(0, serial) >= 0) {
        m_session.serial.assign(serial, strnlen(serial, sizeof serial));
        m_session.handle = m_adapter->Open(serial);
    }
    const int32_t handle = m_session.handle;
    unsigned char firmware[kFirmwareAnswerSize] = {};
    if (m_adapter->FirmwareVersionRead(handle, firmware, kFirmwareAnswerSize) < 0)
        return kAdapterFirmwareFailed;
    m_session.ffwMajor = firmware[2];
    m_session.ffwMinor = firmware[3];
    rfw = PackVersion(firmware[0], firmware[1]);

    const bool i2cFailed = m_adapter->I2cControl(handle, 0, 0, 1) < 0;
    const bool gpioFailed =
        m_adapter->GpioWriteControl(handle, {0, 0, 1, 1, 1, 1, 2, 1, 0, 0, 0, 0, 0}) < 0;
    const bool powerFailed = m_adapter->PowerWriteControl(handle, 1, 0) < 0;

    if (powerFailed)
        return kAdapterPowerFailed;
    if (gpioFailed)
        return kAdapterGpioFailed;
    if (i2cFailed)
        return kAdapterI2cFailed;
    return kAdapterOk;
}

bool ChipLink::Open()
{
    uint8_t rfw = 0;
    return Open(rfw) == kAdapterOk;
}

LinkProblem ChipLink::OpenProblem() const
{
    std::lock_guard lock(m_lock);
    return m_adapter ? m_adapter->OpenProblem() : LinkProblem{};
}

std::string ChipLink::OpenFailureLine() const
{
    const LinkProblem problem = OpenProblem();
    std::string line = problem.text.empty() ? m_name + " did not come up" : problem.text;
    if (problem.usbBridge) line += "; check the bridge's USB cable and the board's supply";
    return line;
}

void ChipLink::Close()
{
    std::lock_guard lock(m_lock);
    m_owned.reset();
    m_adapter = nullptr;
    m_session = {};
    m_stuck = false;
}

LinkSession ChipLink::Session() const
{
    std::lock_guard lock(m_lock);
    return m_session;
}

void ChipLink::RestoreSession(const LinkSession& session)
{
    std::lock_guard lock(m_lock);
    m_session = session;
}

uint8_t ChipLink::PackedFfw() const
{
    std::lock_guard lock(m_lock);
    return PackVersion(m_session.ffwMajor, m_session.ffwMinor);
}

bool ChipLink::Read(uint8_t reg, uint8_t& value, unsigned address)
{
    std::lock_guard lock(m_lock);
    int answer = -EIO;
    if (m_stuck) [[unlikely]]
        answer = -ETIMEDOUT;
    else if (m_adapter)
        answer = m_adapter->RegisterRead(m_session.handle, BusAddress(address), reg);
    const bool ok = answer >= 0;
    if (ok)
        value = static_cast<uint8_t>(answer & 0xFF);
    else
        Failed(false, reg, answer);
    Told(false, reg, value, ok);
    return ok;
}

std::optional<uint8_t> ChipLink::Read(uint8_t reg)
{
    uint8_t value = 0;
    if (Read(reg, value))
        return value;
    return std::nullopt;
}

bool ChipLink::Write(uint8_t reg, uint8_t value, unsigned address)
{
    std::lock_guard lock(m_lock);
    int answer = 1;
    if (m_stuck) [[unlikely]]
        answer = -ETIMEDOUT;
    else if (m_adapter)
        answer = m_adapter->RegisterWrite(m_session.handle, BusAddress(address), reg, value);
    const bool ok = answer == 0;
    if (!ok)
        Failed(true, reg, answer);
    Told(true, reg, value, ok);
    return ok;
}

WriteCheck ChipLink::WriteVerified(uint8_t reg, uint8_t value)
{
    using Outcome = WriteCheck::Outcome;
    const chip::RegisterInfo* info = chip::FindRegister(reg);
    const chip::Access access = info ? info->access : chip::Access::ReadWrite;
    if (access == chip::Access::ReadOnly)
        return {Outcome::Refused, std::nullopt};
    std::lock_guard lock(m_lock);
    if (!Write(reg, value))
        return {Outcome::WriteFailed, std::nullopt};
    if (access == chip::Access::EepromBurn)
        return {Outcome::Done, std::nullopt};
    const std::optional<uint8_t> read = Read(reg);
    if (!read)
        return {Outcome::ReadFailed, std::nullopt};
    return {*read == value ? Outcome::Done : Outcome::Differs, read};
}

// A stuck bus is marked with the adapter's cause at the access that timed
// out; the accesses failed at once after it keep that cause.
void ChipLink::Failed(bool write, uint8_t reg, int answer)
{
    m_failure.write = write;
    m_failure.reg = reg;
    if (m_stuck) {
        m_failure.problem = m_stuckProblem;
        return;
    }
    m_failure.problem = m_adapter ? m_adapter->AccessProblem() : LinkProblem{};
    if (!StuckAnswer(answer))
        return;
    m_stuck = true;
    m_stuckProblem = m_failure.problem;
    if (m_stuckProblem.error == 0)
        m_stuckProblem.error = -answer;
    m_stuckCause = m_stuckProblem.text.empty()
                       ? "the bus of " + m_name + (answer == -EBUSY ? " stays busy" : " timed out")
                       : m_stuckProblem.text;
    m_failure.problem = m_stuckProblem;
}

void ChipLink::Told(bool write, uint8_t reg, uint8_t value, bool ok)
{
    for (TraceFile* file : m_traces) {
        if (write)
            file->Write(reg, value, ok);
        else
            file->Read(reg, value, ok);
    }
    if (m_observer) [[unlikely]]
        m_observer({std::chrono::system_clock::now(), write, reg, ok || write ? value : uint8_t(0),
                    ok});
}

std::string ChipLink::FailureCause() const
{
    std::lock_guard lock(m_lock);
    const LinkProblem& problem = m_failure.problem;
    if (!problem.cause.empty()) {
        std::string line = problem.cause + " at " + HexAddress(chip::kChipAddress) + " on " +
                           (problem.bus.empty() ? m_name : problem.bus);
        return problem.hint.empty() ? line : line + "; " + problem.hint;
    }
    if (m_stuck)
        return m_stuckCause;
    return "no answer from " + HexAddress(chip::kChipAddress) + " on " + m_name;
}

void ChipLink::AddTrace(TraceFile& file)
{
    std::lock_guard lock(m_lock);
    if (std::ranges::find(m_traces, &file) == m_traces.end())
        m_traces.push_back(&file);
}

void ChipLink::RemoveTrace(TraceFile& file)
{
    std::lock_guard lock(m_lock);
    std::erase(m_traces, &file);
}
