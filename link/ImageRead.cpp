#include "ImageRead.h"

#include <algorithm>

RegisterImage ReadRegisterImage(std::span<const uint8_t> registers, const RegisterReader& read)
{
    RegisterImage image;
    for (const uint8_t reg : registers) image.values[reg] = read(reg);
    return image;
}

bool HoldsAll(const RegisterImage& image, std::span<const uint8_t> registers)
{
    return std::ranges::all_of(registers,
                               [&](uint8_t reg) { return image.values[reg].has_value(); });
}
