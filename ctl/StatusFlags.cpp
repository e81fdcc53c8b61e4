#include "StatusFlags.h"

#include "RegisterMap.h"

FlagChange StatusFlagChange(std::optional<uint8_t> before, std::optional<uint8_t> now)
{
    FlagChange change;
    if (!now) return change;
    for (const chip::FieldInfo& flag : chip::FindRegister(chip::kStatusRegister)->fields) {
        const bool was = before && chip::FieldValue(flag, *before) != 0;
        const bool is = chip::FieldValue(flag, *now) != 0;
        if (is && !was) change.on.push_back(flag.name);
        if (was && !is) change.off.push_back(flag.name);
    }
    return change;
}
