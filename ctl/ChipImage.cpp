#include "ChipImage.h"

#include "ImageRead.h"
#include "RegisterMap.h"
#include "TextInput.h"
#include "Tool.h"

#include <algorithm>
#include <vector>

std::span<const uint8_t> MapRegisters()
{
    static const std::vector<uint8_t> registers = [] {
        std::vector<uint8_t> addresses;
        for (const chip::RegisterInfo& info : chip::AllRegisters()) addresses.push_back(info.address);
        return addresses;
    }();
    return registers;
}

bool InMap(uint8_t reg) { return std::ranges::binary_search(MapRegisters(), reg); }

RegisterImage ReadChipImage(Tool& tool)
{
    return ReadRegisterImage(MapRegisters(), [&tool](uint8_t reg) { return tool.Read(reg); });
}

int LoadDump(Tool& tool, const std::string& path, const std::string& command, RegisterImage& image)
{
    if (path == kStandardInputPath && !tool.ClaimStandardInput(command + " -")) return kExitBadInput;
    std::string error;
    if (LoadRegisterImage(path, image, error, Dash::IsStandardInput)) return kExitDone;
    Problem(command + ": " + error);
    return kExitBadInput;
}
