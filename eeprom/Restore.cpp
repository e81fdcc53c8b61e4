#include "Restore.h"

#include "Fields.h"

#include <algorithm>

namespace {

constexpr size_t kLastOnes = 3;

constexpr std::array<uint8_t, chip::kConfigurationRegisters.size() + kLastOnes> kRestoreOrder = [] {
    std::array<uint8_t, chip::kConfigurationRegisters.size() + kLastOnes> order{};
    std::ranges::copy(chip::kConfigurationRegisters, order.begin());
    const uint8_t last[kLastOnes] = {chip::kLed1.reg, chip::kBrightness.reg,
                                     chip::kEnableBacklight.reg};
    std::ranges::copy(last, order.end() - kLastOnes);
    return order;
}();

}  // namespace

std::span<const uint8_t> RestoreOrder() { return kRestoreOrder; }

std::vector<RegisterValue> RestoreWrites(std::span<const std::optional<uint8_t>, 256> values)
{
    std::vector<RegisterValue> writes;
    for (uint8_t reg : kRestoreOrder)
        if (const std::optional<uint8_t> value = values[reg]) writes.push_back({reg, *value});
    return writes;
}
