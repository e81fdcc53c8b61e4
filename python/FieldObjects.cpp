#include "FieldObjects.h"

FieldSpec SpecOf(const chip::NamedField& field)
{
    FieldSpec spec{field.name,
                   field.key,
                   field.parts.front().field->reg,
                   {},
                   chip::LocationText(field),
                   {},
                   field.Max(),
                   field.meaning,
                   {},
                   chip::AccessText(field.access)};
    for (const chip::FieldPart& part : field.parts) {
        spec.registers.push_back(part.field->reg);
        spec.masks[part.field->reg] = chip::FieldMask(*part.field);
    }
    for (const char* name : field.ValueNames()) spec.values.emplace_back(name);
    return spec;
}

FieldReading ReadingOf(const chip::NamedField& field, unsigned number)
{
    return {SpecOf(field), number, chip::MeaningOf(field, number)};
}

std::vector<FieldSpec> AllFields()
{
    std::vector<FieldSpec> fields;
    for (const chip::NamedField& field : chip::AllNamedFields()) fields.push_back(SpecOf(field));
    return fields;
}
