#include "FieldObjects.h"

FieldFacts FactsOf(const chip::NamedField& field)
{
    FieldFacts facts{field.name,
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
        facts.registers.push_back(part.field->reg);
        facts.masks[part.field->reg] = chip::FieldMask(*part.field);
    }
    for (const char* name : field.ValueNames()) facts.values.emplace_back(name);
    return facts;
}

FieldReading ReadingOf(const chip::NamedField& field, unsigned number)
{
    return {FactsOf(field), number, chip::MeaningOf(field, number)};
}

std::vector<FieldFacts> AllFields()
{
    std::vector<FieldFacts> fields;
    for (const chip::NamedField& field : chip::AllNamedFields()) fields.push_back(FactsOf(field));
    return fields;
}
