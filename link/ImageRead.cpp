#include "ImageRead.h"

#include <algorithm>

RegisterImage ReadRegisterImage(std::span<const uint8_t> registers, const RegisterReader& read)
{
    RegisterImage image;
    image.values.fill(RegisterImage::kAbsent);
    for (const uint8_t reg : registers)
        if (const std::optional<uint8_t> value = read(reg))
            image.values[reg] = *value;
    return image;
}

bool HoldsAll(const RegisterImage& image, std::span<const uint8_t> registers)
{
    return std::ranges::all_of(registers,
                               [&](uint8_t reg) { return image.values[reg] != RegisterImage::kAbsent; });
}
