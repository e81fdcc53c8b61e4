#include "Tool.h"

#include "AdapterSelect.h"
#include "DeviceLink.h"
#include "RegisterMap.h"
#include "Trace.h"
#include "tvx.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

constexpr std::string_view kEnvironmentName = "ZR5130_ADAPTER";

const char* Setting(const std::string& option, const char* environment)
{
    if (!option.empty()) return option.c_str();
    return std::getenv(environment);
}

}  // namespace

void Problem(const std::string& message)
{
    std::fprintf(stderr, "%s: %s\n", kProgramName, message.c_str());
}

Tool::~Tool()
{
    TraceClose();
    tvxInstallAdapter(nullptr);
}

int Tool::StartTrace()
{
    const char* path = Setting(trace, "ZR5130_TRACE");
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
    AdapterChoice choice = ChooseAdapter(Setting(adapter, "ZR5130_ADAPTER"));
    if (!choice.error.empty()) {
        // The same values as the panel's environment setting; name what was used.
        std::string error = choice.error;
        if (!adapter.empty() && error.starts_with(kEnvironmentName))
            error.replace(0, kEnvironmentName.size(), "--adapter");
        Problem(error);
        return kExitBadInput;
    }
    if (const int status = StartTrace(); status != kExitDone) return status;

    m_adapter = std::move(choice.adapter);
    tvxInstallAdapter(m_adapter.get());
    uint8_t rfw = 0;
    if (AdapterOpen(rfw) != kAdapterOk) {
        Problem(m_adapter ? "the adapter did not come up (USB Initialization Error); check its "
                            "cable and the board's supply"
                          : "no adapter connected; choose one with --adapter sim, sim:FILE or "
                            "/dev/i2c-N");
        return kExitFailed;
    }
    m_open = true;
    return kExitDone;
}

bool Tool::Checked(bool ok)
{
    if (!ok && !m_stuckTold) {
        if (const std::string* cause = LinkStuckCause()) {
            Problem(*cause);
            m_stuckTold = true;
        }
    }
    return ok;
}

bool Tool::Read(uint8_t reg, uint8_t& value)
{
    return Checked(RegRead(chip::kChipAddress, reg, value) == 0);
}

bool Tool::Write(uint8_t reg, uint8_t value)
{
    return Checked(RegWrite(chip::kChipAddress, reg, value) == 0);
}
