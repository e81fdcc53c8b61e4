#include "Tool.h"

#include "AdapterMemory.h"
#include "AdapterSelect.h"
#include "DeviceLink.h"
#include "HexInput.h"
#include "LinuxI2cAdapter.h"
#include "Quote.h"
#include "RegisterMap.h"
#include "Trace.h"
#include "tvx.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

constexpr std::string_view kEnvironmentName = "ZR5130_ADAPTER";

// An adapter setting and where it came from, as messages name it.
struct ChosenAdapter {
    std::string setting;  // empty: none chosen
    std::string source;
    std::string busName;  // a remembered bus node's adapter name, held at every open
    std::string refusal;  // the remembered choice is not used, and why
    bool remembered = false;
};

// --adapter, then ZR5130_ADAPTER (empty counts as unset), then the adapter
// chosen in the panel's Adapter list, if it is still the one chosen.
ChosenAdapter ChosenSetting(const Tool& tool)
{
    if (tool.adapterGiven) return {tool.adapter, "--adapter", {}, {}, false};
    if (const char* value = std::getenv("ZR5130_ADAPTER"); value && *value)
        return {value, std::string(kEnvironmentName), {}, {}, false};
    const RecalledAdapter recalled = RecallAdapter();
    return {recalled.setting, "the adapter remembered by zr5130-eval", recalled.busName,
            recalled.refusal, true};
}

// Text from the command line or the environment, shown as it is unless a
// terminal would act on some of it.
std::string Shown(const std::string& text)
{
    const bool plain = std::ranges::all_of(text, [](char c) {
        return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F;
    });
    return plain ? text : Quoted(text);
}

std::string AdapterNameOf(const std::string& setting)
{
    return setting == "sim" ? "the simulated board" : Shown(setting);
}

}  // namespace

void Problem(const std::string& message)
{
    std::fprintf(stderr, "%s: %s\n", kProgramName, message.c_str());
}

std::string RegisterList(const std::vector<uint8_t>& registers)
{
    std::string text = registers.size() == 1 ? "register " : "registers ";
    for (size_t i = 0; i < registers.size(); ++i)
        text += (i ? ", " : "") + HexByteText(registers[i]);
    return text;
}

Tool::~Tool()
{
    TraceClose();
    tvxInstallAdapter(nullptr);
}

int Tool::CheckOptions() const
{
    if (adapterGiven && adapter.empty()) {
        Problem("--adapter is empty; give sim for the simulated board, or one that '" +
                std::string(kProgramName) + " adapters' lists");
        return kExitBadInput;
    }
    return kExitDone;
}

bool Tool::ClaimStandardInput(const std::string& who)
{
    if (m_standardInputTaker.empty()) {
        m_standardInputTaker = who;
        return true;
    }
    const std::string takers =
        who == m_standardInputTaker ? who + " twice" : m_standardInputTaker + " and " + who;
    Problem(takers + ": standard input can be read only once; save it to a file and name that");
    return false;
}

int Tool::StartTrace()
{
    const char* path = trace.empty() ? std::getenv("ZR5130_TRACE") : trace.c_str();
    if (!path || !*path) return kExitDone;
    std::string error;
    if (TraceOpen(path, error, (trace.empty() ? "ZR5130_TRACE=" : "--trace=") + std::string(path)))
        return kExitDone;
    Problem(error);
    return kExitBadInput;
}

int Tool::OpenChip()
{
    if (m_open) return kExitDone;
    const ChosenAdapter chosen = ChosenSetting(*this);
    if (!chosen.refusal.empty()) {
        Problem(chosen.refusal + "; give --adapter, or choose again under Adapter in "
                                 "zr5130-eval's window menu");
        return kExitBadInput;
    }
    if (chosen.setting.empty()) {
        Problem("no adapter chosen; give --adapter sim for the simulated board, or one that '" +
                std::string(kProgramName) +
                " adapters' lists (or set ZR5130_ADAPTER, or choose one under Adapter in "
                "zr5130-eval's window menu)");
        return kExitBadInput;
    }
    // Standard input is for the one who runs the command, never a setting kept.
    AdapterOptions options = AdapterOptionsFromEnvironment();
    options.dash = chosen.remembered ? Dash::IsAFile : Dash::IsStandardInput;
    if (options.dash == Dash::IsStandardInput && chosen.setting == "sim:-" &&
        !ClaimStandardInput(chosen.source + "=sim:-"))
        return kExitBadInput;
    AdapterChoice choice = ChooseRecalledAdapter(chosen.setting, chosen.busName, options);
    if (!choice.error.empty()) {
        // The same values as the panel's environment setting; name what was used.
        std::string error = choice.error;
        if (error.starts_with(kEnvironmentName))
            error.replace(0, kEnvironmentName.size(), chosen.source);
        Problem(error);
        return kExitBadInput;
    }
    if (const int status = StartTrace(); status != kExitDone) return status;

    m_adapter = std::move(choice.adapter);
    m_adapterName = AdapterNameOf(chosen.setting);
    tvxInstallAdapter(m_adapter.get());
    uint8_t rfw = 0;
    if (AdapterOpen(rfw) != kAdapterOk) {
        Problem(m_adapter ? "the adapter did not come up (USB Initialization Error); check its "
                            "cable and the board's supply"
                          : "no adapter connected (" + chosen.source +
                                " is none); choose one with --adapter");
        return kExitFailed;
    }
    m_open = true;
    return kExitDone;
}

bool Tool::Reopen(std::string& why)
{
    ClearStuck();
    uint8_t rfw = 0;
    if (AdapterOpen(rfw) == kAdapterOk) return true;
    why = m_adapter ? m_adapter->OpenFailure() : std::string();
    if (why.empty()) why = m_adapterName + " did not come up again";
    return false;
}

std::optional<uint8_t> Tool::Read(uint8_t reg)
{
    uint8_t value = 0;
    if (RegRead(chip::kChipAddress, reg, value) == 0) return value;
    m_failedReads.push_back({reg, FailureCause()});
    return std::nullopt;
}

bool Tool::Write(uint8_t reg, uint8_t value) { return RegWrite(chip::kChipAddress, reg, value) == 0; }

std::string Tool::FailureCause() const
{
    if (const std::string* stuck = LinkStuckCause()) return *stuck;
    return "no answer from " + HexAddress(chip::kChipAddress) + " on " + m_adapterName;
}

bool Tool::BusStuck() const { return LinkStuckCause() != nullptr; }

void Tool::ClearStuck() { LinkClearStuck(); }

void Tool::TellFailedReads(const std::string& prefix, const std::string& suffix)
{
    while (!m_failedReads.empty()) {
        const std::string cause = m_failedReads.front().cause;
        std::vector<uint8_t> registers;
        std::erase_if(m_failedReads, [&](const FailedRead& failed) {
            if (failed.cause != cause) return false;
            if (std::ranges::find(registers, failed.reg) == registers.end())
                registers.push_back(failed.reg);
            return true;
        });
        Problem(prefix + RegisterList(registers) + ": " + cause + suffix);
    }
}
