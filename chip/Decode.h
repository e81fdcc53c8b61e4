#pragma once

#include "RegisterMap.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Register values in words: each field with its bits and what its value means.
namespace chip {

struct DecodedField {
    const FieldInfo* field;
    std::string bits;     // "bit 7", "bits 6-4"
    unsigned value;       // the field's bits shifted down
    std::string meaning;  // the value's name, or the value in decimal
    bool named;           // meaning is a value name
};

// "bit 7" or "bits 6-4".
std::string BitsText(const FieldInfo& field);
// The value's name, or null where the field does not name it.
const char* ValueName(const FieldInfo& field, unsigned value);
// The value's name where the field names it, otherwise the number.
std::string ValueMeaning(const FieldInfo& field, unsigned value);
DecodedField DecodeField(const FieldInfo& field, uint8_t byte);
// One line: PWM Direct (bit 7) = 1 (1 = direct PWM), or
// Phase Shift Mode (bits 6-4) = "2 PH 6 DR".
std::string FieldLine(const DecodedField& decoded);

// The register's fields, highest bits first; empty when the address is not
// described or no field of it is known.
std::vector<DecodedField> DecodeRegister(uint8_t address, uint8_t value);

struct DecodedRegister {
    const RegisterInfo* info;
    std::optional<uint8_t> value;  // nothing: not read
    std::vector<DecodedField> fields;
};
// Every described register of an image, in address order. values holds one
// entry per address, nothing for a register that was not read.
std::vector<DecodedRegister> DecodeImage(std::span<const std::optional<uint8_t>, 256> values);

struct FieldChange {
    DecodedField before;
    DecodedField after;
};
// The fields whose value differs between two values of one register.
std::vector<FieldChange> DiffFields(uint8_t address, uint8_t before, uint8_t after);

}  // namespace chip
