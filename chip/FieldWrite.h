#pragma once

#include "NamedFields.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Writing by field: from the registers' current values and the fields'
// new values, the bytes to write, every other bit kept.
namespace chip {

struct FieldAssignment {
    const NamedField* field;
    unsigned value;
};

// A field and its value as the user typed them ("pwm-frequency", "9616hz").
struct FieldText {
    std::string name;
    std::string value;
};

struct FieldRefusal {
    size_t index = 0;     // the assignment or text refused
    std::string message;  // empty: nothing refused
};

// Refuses, naming the first assignment at fault: a field in a read-only
// register or in the EEPROM burn register 72, a value beyond the field, a
// field given twice or sharing bits with one given before it.
FieldRefusal CheckAssignments(std::span<const FieldAssignment> assignments);

// Each text's field and value (see LookUpField and ReadFieldValue), checked
// as CheckAssignments does. On a refusal, assignments is empty.
struct ResolvedFields {
    std::vector<FieldAssignment> assignments;
    FieldRefusal refusal;
};
ResolvedFields ResolveFields(std::span<const FieldText> texts);

// The registers the assignments change, each once, in the order they are
// written: as first named, but a compound field's registers in its own order
// (the LED current's A0 before A1).
std::vector<uint8_t> RegistersToWrite(std::span<const FieldAssignment> assignments);

struct PlannedWrite {
    uint8_t reg;
    uint8_t before;
    uint8_t after;
    std::vector<const NamedField*> fields;  // the assigned fields with bits in reg
};
// One write per register of RegistersToWrite, in that order, each with all
// its assigned fields. current holds each of those registers as read; the
// assignments must have passed CheckAssignments.
std::vector<PlannedWrite> PlanWrites(std::span<const FieldAssignment> assignments,
                                     const RegisterValues& current);

}  // namespace chip
