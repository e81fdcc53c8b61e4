#include "ConfigLoad.h"

#include <algorithm>

std::optional<LoadWrite> LoadResult::FirstFailed() const
{
    const auto failed = std::ranges::find(writes, false, &LoadWrite::ok);
    if (failed == writes.end()) return std::nullopt;
    return *failed;
}

const char* LoadResult::StatusText() const
{
    return FirstFailed() ? choice.failedText : choice.loadedText;
}

LoadResult LoadConfig(int entry, uint8_t control, const RegisterWriter& write)
{
    LoadResult load{ChooseConfig(entry), chip::WithField(chip::kEnableBacklight, control, 0), {}};
    const auto make = [&](uint8_t reg, uint8_t value) {
        load.writes.push_back({reg, value, write(reg, value)});
    };
    make(chip::kEnableBacklight.reg, load.control);
    if (load.choice.preset)
        for (const RegisterValue& rv : load.choice.preset->values) make(rv.reg, rv.value);
    return load;
}
