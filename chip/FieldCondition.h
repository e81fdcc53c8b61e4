#pragma once

#include "FieldWrite.h"
#include "NamedFields.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Fields at given values: what a watch waits for (zr5130ctl watch --until,
// chip.wait_for in Python).
namespace chip {

struct FieldCondition {
    const NamedField* field;
    unsigned value;
};

struct ConditionReading {
    std::vector<FieldCondition> conditions;
    std::string error;  // when refused: what, naming the field; conditions is then empty
};

// Each text read as set reads it (LookUpField, ReadFieldValue), but any
// field of the map will do, read-only ones first of all: the status flags
// are what one waits for. A field given twice is refused.
ConditionReading ReadConditions(std::span<const FieldText> texts);

// The registers that tell whether the conditions hold, each once, in the
// order the fields name them.
std::vector<uint8_t> ConditionRegisters(std::span<const FieldCondition> conditions);

// Whether every field holds its value; false while a register of one is
// not in registers (not read, or its read failed).
bool ConditionsHold(std::span<const FieldCondition> conditions, const RegisterValues& registers);

// "Over Voltage = 1, PWM Frequency = 9616 Hz", each value as get prints it.
std::string ConditionsText(std::span<const FieldCondition> conditions);

// "Over Voltage = 1 not seen within 5 s; last read 02 = 30": the conditions,
// then within, then what their registers read last ("--" for one missing
// from last: not read, or its read failed).
std::string NotSeenText(std::span<const FieldCondition> conditions, const RegisterValues& last,
                        const std::string& within);

}  // namespace chip
