#include "FieldCondition.h"

#include "FieldValues.h"
#include "HexInput.h"

#include <algorithm>

namespace chip {

ConditionReading ReadConditions(std::span<const FieldText> texts)
{
    ConditionReading reading;
    for (const FieldText& text : texts) {
        const FieldLookup lookup = LookUpField(text.name);
        if (!lookup.field) return {{}, lookup.error};
        const ValueReading value = ReadFieldValue(*lookup.field, text.value);
        if (!value.value) return {{}, value.error};
        if (std::ranges::any_of(reading.conditions, [&](const FieldCondition& c) {
                return c.field == lookup.field;
            }))
            return {{}, std::string(lookup.field->name) + " is given twice"};
        reading.conditions.push_back({lookup.field, *value.value});
    }
    return reading;
}

std::vector<uint8_t> ConditionRegisters(std::span<const FieldCondition> conditions)
{
    std::vector<uint8_t> regs;
    for (const FieldCondition& condition : conditions)
        for (const FieldPart& part : condition.field->parts)
            if (std::ranges::find(regs, part.field->reg) == regs.end())
                regs.push_back(part.field->reg);
    return regs;
}

bool ConditionsHold(std::span<const FieldCondition> conditions, const RegisterValues& registers)
{
    return std::ranges::all_of(conditions, [&](const FieldCondition& condition) {
        const bool known = std::ranges::all_of(condition.field->parts, [&](const FieldPart& part) {
            return registers.contains(part.field->reg);
        });
        return known && ValueIn(*condition.field, registers) == condition.value;
    });
}

std::string ConditionsText(std::span<const FieldCondition> conditions)
{
    std::string text;
    for (const FieldCondition& condition : conditions)
        text += (text.empty() ? "" : ", ") + std::string(condition.field->name) + " = " +
            MeaningOf(*condition.field, condition.value);
    return text;
}

std::string NotSeenText(std::span<const FieldCondition> conditions, const RegisterValues& last,
                        const std::string& within)
{
    std::string read;
    for (const uint8_t reg : ConditionRegisters(conditions)) {
        const auto value = last.find(reg);
        read += (read.empty() ? "" : ", ") + AddressText(reg) + " = " +
            (value == last.end() ? "--" : HexByteText(value->second));
    }
    return ConditionsText(conditions) + " not seen " + within + "; last read " + read;
}

}  // namespace chip
