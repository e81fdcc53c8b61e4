#pragma once

#include "RegisterMap.h"

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The fields a user sets and reads by name: every field of the register map,
// and the compound fields that span registers (the 12-bit LED current).
namespace chip {

struct NamedField {
    const char* name;                  // "PWM Frequency", as the map names it
    std::string key;                   // "pwm-frequency", the name as typed on a command line
    const char* meaning;               // what the field is
    std::span<const FieldPart> parts;  // in write order; one part for a register's field
    Access access;                     // read/write only when every register of it is

    unsigned Max() const;
    // The register field when the field has one part, else null.
    const FieldInfo* Single() const;
    // Entry n names value n; empty when the values are plain numbers.
    std::span<const char* const> ValueNames() const;
};

// Register by register in address order, each register's fields from the
// highest bit down, a compound field after the fields of its first register.
std::span<const NamedField> AllNamedFields();

struct FieldLookup {
    const NamedField* field = nullptr;
    std::string error;  // when field is null: "no field 'x'; did you mean y?", x escaped
};
// The field whose name matches typed when case, blanks and punctuation are
// ignored: "pwm-frequency", "PWM_FREQUENCY" and "PWM Frequency" are one. A
// name holding anything but printable ASCII is refused, never matched.
FieldLookup LookUpField(std::string_view typed);
// The field whose name is most like typed, when one is close enough to suggest.
const NamedField* NearestField(std::string_view typed);
// The named field that is exactly this register field.
const NamedField* NamedFieldOf(const FieldInfo& field);
// Every named field with bits in the register, in AllNamedFields order.
std::vector<const NamedField*> FieldsInRegister(uint8_t reg);

// "A5": a register's address as every text writes it.
std::string AddressText(uint8_t reg);
// "A5 bits 3-0", "02 bit 7"; a compound field from its highest part down,
// as the value's bits go: "A1 bits 3-0, A0 bits 7-0".
std::string LocationText(const NamedField& field);

// Register address -> value.
using RegisterValues = std::map<uint8_t, uint8_t>;
// The field's value in the registers; each register of the field must be there.
unsigned ValueIn(const NamedField& field, const RegisterValues& registers);
// The value's name, or null when the field does not name it.
const char* ValueNameOf(const NamedField& field, unsigned value);
// The value's name, or the value in decimal.
std::string MeaningOf(const NamedField& field, unsigned value);

}  // namespace chip
