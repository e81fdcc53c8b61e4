#pragma once

#include "RegisterImage.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

// Reads one register; nothing when it could not be read.
using RegisterReader = std::function<std::optional<uint8_t>(uint8_t reg)>;

// The image of a chip whose registers were read one by one, in the order
// given: what a dump or a comparison holds. Every register not listed, or
// not read, is absent.
RegisterImage ReadRegisterImage(std::span<const uint8_t> registers, const RegisterReader& read);

// Whether every listed register is present in the image.
bool HoldsAll(const RegisterImage& image, std::span<const uint8_t> registers);
