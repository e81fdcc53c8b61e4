#include "AdapterOrder.h"

#include "AdapterList.h"
#include "AdapterMemory.h"
#include "Quote.h"

#include <algorithm>

AdapterSetting FindAdapterSetting(const std::optional<std::string>& argument,
                                  const std::string& argumentName, const char* environment,
                                  const AdapterOptions& options)
{
    AdapterSetting chosen;
    if (argument) {
        chosen.setting = *argument;
        chosen.source = argumentName;
    } else if (environment && *environment) {
        chosen.setting = environment;
        chosen.source = kAdapterVariable;
    } else {
        const RecalledAdapter recalled = RecallAdapter(options);
        chosen = {.setting = recalled.setting,
                  .source = kRememberedAdapter,
                  .remembered = true,
                  .busName = recalled.busName,
                  .refusal = recalled.refusal,
                  .note = recalled.note};
    }
    return chosen;
}

std::string AdapterShownName(const std::string& setting)
{
    if (setting == kSimSetting) return "the simulated board";
    const bool plain = std::ranges::all_of(setting, [](char c) {
        return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F;
    });
    return plain ? setting : Quoted(setting);
}
