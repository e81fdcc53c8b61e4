#pragma once

#include "RegisterImage.h"

#include <cstdint>
#include <span>
#include <string>

class Tool;

// Every register of the register map, in address order: what dump reads,
// and what decode, diff and restore cover.
std::span<const uint8_t> MapRegisters();
bool InMap(uint8_t reg);

// The map's registers as the chip reads them now; failed reads are absent,
// and the tool's to tell.
RegisterImage ReadChipImage(Tool& tool);

// The dump a command names, "-" for standard input. kExitDone, or the
// problem has been told as "command: ..." and the result is the status.
int LoadDump(Tool& tool, const std::string& path, const std::string& command,
             RegisterImage& image);
