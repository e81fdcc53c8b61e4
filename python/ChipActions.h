#pragma once

#include "Session.h"

#include <cstdint>
#include <string>

// What zr5130ctl's restore, load and burn do, on an open chip, with the
// same checks and read-back; a failure is an exception (Errors.h).

// Writes each register the panel writes that dump holds, in the order
// restore writes them, reading each back. Every one is tried (a stuck bus
// ends it); then the first that failed throws BusFailure, else the first
// that read back otherwise MismatchFailure, each message counting the rest.
// A dump holding none of them, or a value that is not a byte, throws
// std::invalid_argument before anything is written.
void Restore(ChipSession& chip, const RegisterReadings& dump);

// The panel's Load of a Config list entry ("E08"): register 01 read, then
// written with the backlight bit cleared, then the entry's preset, each read
// back; the first that fails ends it (BusFailure, MismatchFailure naming
// what was written before it). An unknown entry throws
// std::invalid_argument, and a register 01 that cannot be read BusFailure,
// before anything is written. Answers the panel's status text.
std::string Load(ChipSession& chip, const std::string& entry);

// One EEPROM burn step, "prepare" or "complete": 80 to the burn register
// 72, which is acknowledged rather than compared, then 72 read back, whose
// value is the answer. Without confirm, or with another step,
// std::invalid_argument and nothing is written.
uint8_t Burn(ChipSession& chip, const std::string& step, bool confirm);
