#include "FieldObjects.h"

FieldSpec SpecOf(const chip::RegisterInfo& reg, const chip::FieldInfo& field)
{
    FieldSpec spec{field.name,    field.reg,   chip::BitsText(field),
                   field.lsb,     field.width, chip::FieldMax(field),
                   field.meaning, {},          chip::AccessText(reg.access)};
    if (field.valueNames)
        for (const char* name : *field.valueNames) spec.values.emplace_back(name);
    return spec;
}

FieldReading ReadingOf(const chip::RegisterInfo& reg, const chip::DecodedField& decoded)
{
    return {SpecOf(reg, *decoded.field), decoded.value, decoded.meaning};
}

std::vector<FieldSpec> AllFields()
{
    std::vector<FieldSpec> fields;
    for (const chip::RegisterInfo& reg : chip::AllRegisters())
        for (const chip::FieldInfo& field : reg.fields) fields.push_back(SpecOf(reg, field));
    return fields;
}
