#include "Session.h"

#include "AdapterMemory.h"
#include "AdapterOrder.h"
#include "Errors.h"
#include "HexInput.h"
#include "Fields.h"
#include "RegisterMap.h"
#include "Shown.h"

namespace {

constexpr const char* kHowToChoose =
    "zr5130.open(\"sim\") for the simulated board, zr5130.adapters() for the list, or set "
    "ZR5130_ADAPTER";
constexpr const char* kClosed = "this chip was closed; zr5130.open() opens it again";

AdapterSetting ChooseSetting(const std::optional<std::string>& adapter)
{
    if (adapter && adapter->empty())
        throw std::invalid_argument(
            "the adapter is empty; give one, for example \"sim\" or \"/dev/i2c-7\" (see "
            "zr5130.adapters()), or None to take ZR5130_ADAPTER");
    AdapterSetting chosen = FindAdapterSetting(adapter, "adapter");
    if (!chosen.refusal.empty())
        throw AdapterFailure(chosen.refusal + "; " + kHowToChoose +
                             ", or choose again under Adapter in zr5130-eval's window menu");
    if (chosen.setting.empty())
        throw AdapterFailure("no adapter chosen" +
                             (chosen.note.empty() ? "" : " (" + chosen.note + ")") + ": " +
                             kHowToChoose);
    return chosen;
}


}  // namespace

ChipSession::ChipSession(std::string setting) : m_setting(std::move(setting)) { }

ChipSession::~ChipSession() { Close(); }

std::shared_ptr<ChipSession> ChipSession::Open(const std::optional<std::string>& adapter)
{
    const AdapterSetting chosen = ChooseSetting(adapter);
    AdapterChoice choice = ChooseRecalledAdapter(chosen.setting, chosen.busName,
                                                 AdapterOptionsFromEnvironment(), chosen.source);
    if (!choice.dumpFile.empty())
        throw DumpFailure(choice.dumpFile, choice.dumpError, choice.dumpLine);
    if (!choice.error.empty()) throw AdapterFailure(choice.error);

    std::shared_ptr<ChipSession> session(new ChipSession(chosen.setting));
    ChipLink& link = session->m_link;
    const bool connected = choice.adapter != nullptr;
    link.Own(std::move(choice.adapter));
    link.SetName(AdapterShownName(chosen.setting));
    link.AddTrace(session->m_trace);
    if (link.Open()) {
        session->m_open = true;
        return session;
    }
    if (!connected)
        throw AdapterFailure("no adapter connected (" + chosen.source + " is none): " +
                             kHowToChoose);
    throw AdapterFailure(link.OpenFailureLine());
}

void ChipSession::Close()
{
    std::lock_guard lock(m_link.BusLock());
    if (!m_open) return;
    m_trace.Close();
    m_link.Close();
    m_open = false;
    m_tracePath.reset();
}

bool ChipSession::IsOpen() const
{
    std::lock_guard lock(m_link.BusLock());
    return m_open;
}

ChipSession::ActionLock ChipSession::Begin()
{
    ActionLock lock(m_link.BusLock());
    if (!m_open) throw ModuleFailure(kClosed);
    m_link.ClearStuck();
    return lock;
}

void ChipSession::End()
{
    if (!m_tracePath || m_traceLostTold || !m_trace.IsLost()) return;
    m_traceLostTold = true;
    throw ModuleFailure("the trace " + Shown(*m_tracePath) + " stopped: " + m_trace.LostReason() +
                        "; the register accesses themselves were made");
}

void ChipSession::AccessFailed(uint8_t reg)
{
    throw BusFailure(reg, m_link.FailureCause(), m_link.FailureErrno());
}

uint8_t ChipSession::ReadOnce(uint8_t reg)
{
    const std::optional<uint8_t> value = m_link.Read(reg);
    if (!value) AccessFailed(reg);
    return *value;
}

WriteCheck ChipSession::WriteCheckedOnce(uint8_t reg, uint8_t value)
{
    const WriteCheck check = m_link.WriteVerified(reg, value);
    switch (check.outcome) {
    case WriteCheck::Outcome::Refused: {
        const chip::RegisterInfo* info = chip::FindRegister(reg);
        throw std::invalid_argument("register 0x" + HexByteText(reg) + " (" + info->name +
                                    ") is read-only; nothing was written");
    }
    case WriteCheck::Outcome::WriteFailed:
    case WriteCheck::Outcome::ReadFailed: AccessFailed(reg);
    case WriteCheck::Outcome::Done:
    case WriteCheck::Outcome::Differs: break;
    }
    return check;
}

void ChipSession::WriteOnce(uint8_t reg, uint8_t value)
{
    const WriteCheck check = WriteCheckedOnce(reg, value);
    if (check.outcome == WriteCheck::Outcome::Differs)
        throw MismatchFailure(reg, value, *check.read, "");
}

uint8_t ChipSession::Read(uint8_t reg)
{
    const ActionLock action = Begin();
    const uint8_t value = ReadOnce(reg);
    End();
    return value;
}

void ChipSession::Write(uint8_t reg, uint8_t value)
{
    if (reg == chip::kBurn.reg)
        throw std::invalid_argument("register 72 is the EEPROM burn register; burn with the "
                                    "panel's burn helper or zr5130ctl burn");
    const ActionLock action = Begin();
    WriteOnce(reg, value);
    End();
}

RegisterReadings ChipSession::Dump()
{
    const ActionLock action = Begin();
    RegisterReadings values;
    for (const chip::RegisterInfo& info : chip::AllRegisters()) {
        values[info.address] = m_link.Read(info.address);
        if (!values[info.address] && m_link.StuckCause()) AccessFailed(info.address);
    }
    End();
    return values;
}

void ChipSession::Trace(const std::optional<std::string>& path)
{
    const ActionLock action = Begin();
    m_trace.Close();
    m_tracePath.reset();
    m_traceLostTold = false;
    if (!path) return;
    std::string error;
    if (!m_trace.Open(*path, error, {}, TraceFile::PipeWait::Allowed)) throw FileFailure(error);
    m_tracePath = path;
}

std::optional<std::string> ChipSession::TracePath() const
{
    std::lock_guard lock(m_link.BusLock());
    return m_tracePath;
}
