#pragma once

#include "RegisterValue.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// What restoring a dump writes, for zr5130ctl restore and Chip.restore:
// the registers the panel itself writes, never the status register or the
// EEPROM burn register; the configuration first, in the presets' order, then
// the LED enables, the brightness and last the brightness control, so that
// the backlight comes on only once everything else is in place.
std::span<const uint8_t> RestoreOrder();

// Each register of RestoreOrder that values holds (by address), with its
// value, in that order; empty when it holds none of them.
std::vector<RegisterValue> RestoreWrites(std::span<const std::optional<uint8_t>, 256> values);
