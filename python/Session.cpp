#include "Session.h"

#include "AdapterMemory.h"
#include "DeviceLink.h"
#include "Errors.h"
#include "Fields.h"
#include "HexInput.h"
#include "RegisterMap.h"
#include "Trace.h"
#include "TvxAdapter.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

constexpr std::string_view kEnvironmentName = "ZR5130_ADAPTER";
constexpr std::string_view kSimFilePrefix = "ZR5130_ADAPTER=sim:";

ChipSession* g_open = nullptr;

constexpr const char* kHowToChoose =
    "zr5130.open(\"sim\") for the simulated board, zr5130.adapters() for the list, or set "
    "ZR5130_ADAPTER";

// The adapter setting and where it came from, for messages.
struct Chosen {
    std::string setting;
    std::string source;   // "adapter", "ZR5130_ADAPTER" or "remembered adapter"
    std::string busName;  // a remembered bus node's adapter name
};

Chosen ChooseSetting(const std::optional<std::string>& adapter)
{
    if (adapter) {
        if (adapter->empty())
            throw std::invalid_argument(
                "the adapter is empty; give one, for example \"sim\" or \"/dev/i2c-7\" (see "
                "zr5130.adapters()), or None to take ZR5130_ADAPTER");
        return {*adapter, "adapter", {}};
    }
    if (const char* environment = std::getenv("ZR5130_ADAPTER"); environment && *environment)
        return {environment, std::string(kEnvironmentName), {}};
    const RecalledAdapter recalled = RecallAdapter();
    if (!recalled.refusal.empty())
        throw AdapterFailure(recalled.refusal + "; " + kHowToChoose +
                             ", or choose again under Adapter in zr5130-eval's window menu");
    if (recalled.setting.empty())
        throw AdapterFailure("no adapter chosen" +
                             (recalled.note.empty() ? "" : " (" + recalled.note + ")") + ": " +
                             kHowToChoose);
    return {recalled.setting, "remembered adapter", recalled.busName};
}

// ChooseAdapter's refusal, naming what the script used.
[[noreturn]] void Refuse(const Chosen& chosen, std::string error)
{
    const std::string& setting = chosen.setting;
    const bool simFile = setting.starts_with("sim:") && setting.size() > 4;
    if (simFile && error.starts_with(kSimFilePrefix))
        throw DumpFailure(setting.substr(4), error.substr(kSimFilePrefix.size()));
    if (error.starts_with(kEnvironmentName))
        error.replace(0, kEnvironmentName.size(), chosen.source);
    throw AdapterFailure(error);
}

}  // namespace

ChipSession::ChipSession(std::string setting) : m_setting(std::move(setting)) { }

ChipSession::~ChipSession() { Close(); }

std::shared_ptr<ChipSession> ChipSession::Open(const std::optional<std::string>& adapter)
{
    const Chosen chosen = ChooseSetting(adapter);
    const std::string& setting = chosen.setting;
    AdapterChoice choice = ChooseRecalledAdapter(setting, chosen.busName);
    if (!choice.error.empty()) Refuse(chosen, choice.error);

    if (g_open) {
        g_open->m_closedBecause =
            "this chip was closed when zr5130.open() opened another: one chip is open at a time";
        g_open->Close();
    }
    std::shared_ptr<ChipSession> session(new ChipSession(setting));
    session->m_adapter = std::move(choice.adapter);
    tvxInstallAdapter(session->m_adapter.get());
    session->m_adapterInstalled = true;
    g_open = session.get();

    uint8_t rfw = 0;
    if (AdapterOpen(rfw) == kAdapterOk) return session;
    std::string problem = session->m_adapter ? session->m_adapter->OpenFailure() : std::string();
    session->Close();
    if (setting == "none")
        throw AdapterFailure("no adapter connected (" + chosen.source + " none): " + kHowToChoose);
    if (problem.empty())
        problem = "the adapter " + setting +
            " did not come up (USB Initialization Error); "
            "check its cable and the board's supply";
    throw AdapterFailure(problem);
}

void ChipSession::Close()
{
    if (!m_adapterInstalled) return;
    TraceClose();
    tvxInstallAdapter(nullptr);
    LinkResetSession();
    m_adapter.reset();
    m_adapterInstalled = false;
    m_tracePath.reset();
    if (g_open == this) g_open = nullptr;
}

void ChipSession::Begin()
{
    if (!m_adapterInstalled) throw ModuleFailure(m_closedBecause);
    LinkClearStuck();
}

void ChipSession::End()
{
    if (!m_tracePath || m_traceLostTold || !TraceLost()) return;
    m_traceLostTold = true;
    throw ModuleFailure("the trace " + *m_tracePath +
                        " could not be written and stops there (the cause is on standard "
                        "error); the register accesses themselves were made");
}

std::string ChipSession::Where() const
{
    char address[8];
    std::snprintf(address, sizeof address, "0x%02x", chip::kChipAddress);
    return address + (" on " + m_setting);
}

void ChipSession::AccessFailed(uint8_t reg, std::string cause)
{
    if (const std::string* stuck = LinkStuckCause()) cause = *stuck;
    throw BusFailure(reg, std::move(cause));
}

uint8_t ChipSession::ReadOnce(uint8_t reg)
{
    uint8_t value = 0;
    if (RegRead(chip::kChipAddress, reg, value) != 0)
        AccessFailed(reg, "no answer from " + Where());
    return value;
}

void ChipSession::WriteOnce(uint8_t reg, uint8_t value)
{
    if (RegWrite(chip::kChipAddress, reg, value) != 0)
        AccessFailed(reg,
                     "the write of " + HexByteText(value) + " was not acknowledged by " + Where());
}

uint8_t ChipSession::Read(uint8_t reg)
{
    Begin();
    const uint8_t value = ReadOnce(reg);
    End();
    return value;
}

void ChipSession::Write(uint8_t reg, uint8_t value)
{
    if (reg == chip::kBurn.reg)
        throw std::invalid_argument("register 72 is the EEPROM burn register; burn with the "
                                    "panel's burn helper or zr5130ctl burn");
    Begin();
    WriteOnce(reg, value);
    End();
}

RegisterReadings ChipSession::Dump()
{
    Begin();
    RegisterReadings values;
    for (const chip::RegisterInfo& info : chip::AllRegisters()) {
        uint8_t value = 0;
        if (RegRead(chip::kChipAddress, info.address, value) == 0)
            values[info.address] = value;
        else if (const std::string* stuck = LinkStuckCause())
            throw BusFailure(info.address, *stuck);
        else
            values[info.address] = std::nullopt;
    }
    End();
    return values;
}

void ChipSession::Trace(const std::optional<std::string>& path)
{
    if (!m_adapterInstalled) throw ModuleFailure(m_closedBecause);
    TraceClose();
    m_tracePath.reset();
    m_traceLostTold = false;
    if (!path) return;
    std::string error;
    if (!TraceOpen(*path, error)) throw FileFailure(error);
    m_tracePath = path;
}
