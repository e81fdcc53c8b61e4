#include "Decode.h"

namespace chip {

std::string BitsText(const FieldInfo& field)
{
    const int msb = field.lsb + field.width - 1;
    if (field.width == 1) return "bit " + std::to_string(msb);
    return "bits " + std::to_string(msb) + "-" + std::to_string(field.lsb);
}

const char* ValueName(const FieldInfo& field, unsigned value)
{
    const unsigned entry = EntryOf(field, value);
    return entry < field.valueNames.size() ? field.valueNames[entry] : nullptr;
}

std::string ValueMeaning(const FieldInfo& field, unsigned value)
{
    const char* name = ValueName(field, value);
    return name ? std::string(name) : std::to_string(value);
}

DecodedField DecodeField(const FieldInfo& field, uint8_t byte)
{
    const unsigned value = FieldValue(field, byte);
    const char* name = ValueName(field, value);
    return {&field, BitsText(field), value, name ? std::string(name) : std::to_string(value),
            name != nullptr};
}

std::string FieldLine(const DecodedField& decoded)
{
    std::string line = std::string(decoded.field->name) + " (" + decoded.bits + ") = ";
    if (decoded.named) return line + '"' + decoded.meaning + '"';
    return line + decoded.meaning + " (" + decoded.field->meaning + ")";
}

std::vector<DecodedField> DecodeRegister(uint8_t address, uint8_t value)
{
    std::vector<DecodedField> fields;
    if (const RegisterInfo* info = FindRegister(address))
        for (const FieldInfo& field : info->fields) fields.push_back(DecodeField(field, value));
    return fields;
}

std::vector<DecodedRegister> DecodeImage(std::span<const std::optional<uint8_t>, 256> values)
{
    std::vector<DecodedRegister> registers;
    for (const RegisterInfo& info : AllRegisters()) {
        const std::optional<uint8_t> value = values[info.address];
        registers.push_back(
            {&info, value, value ? DecodeRegister(info.address, *value) : std::vector<DecodedField>{}});
    }
    return registers;
}

std::vector<FieldChange> DiffFields(uint8_t address, uint8_t before, uint8_t after)
{
    std::vector<FieldChange> changes;
    if (const RegisterInfo* info = FindRegister(address))
        for (const FieldInfo& field : info->fields)
            if (FieldValue(field, before) != FieldValue(field, after))
                changes.push_back({DecodeField(field, before), DecodeField(field, after)});
    return changes;
}

}  // namespace chip
