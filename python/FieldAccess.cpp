#include "FieldAccess.h"

#include "Errors.h"

#include <stdexcept>

namespace {

const chip::NamedField& Known(const std::string& name)
{
    const chip::FieldLookup lookup = chip::LookUpField(name);
    if (!lookup.field) throw UnknownName(lookup.error);
    return *lookup.field;
}

// The written fields whose bits in the register read back otherwise: "PWM Frequency".
std::string FieldsNotTaken(const chip::PlannedWrite& write, uint8_t read)
{
    std::string names;
    for (const chip::NamedField* field : write.fields)
        for (const chip::FieldPart& part : field->parts)
            if (part.field->reg == write.reg &&
                chip::FieldValue(*part.field, read) != chip::FieldValue(*part.field, write.after))
                names += (names.empty() ? "" : ", ") + std::string(field->name);
    return names;
}

}  // namespace

FieldReading GetField(ChipSession& chip, const std::string& name)
{
    const chip::NamedField& field = Known(name);
    chip.Begin();
    chip::RegisterValues registers;
    for (const chip::FieldPart& part : field.parts)
        if (!registers.contains(part.field->reg))
            registers[part.field->reg] = chip.ReadOnce(part.field->reg);
    chip.End();
    return ReadingOf(field, chip::ValueIn(field, registers));
}

void SetFields(ChipSession& chip, const std::vector<chip::FieldText>& fields)
{
    if (fields.empty()) throw std::invalid_argument("no field to set");
    for (const chip::FieldText& text : fields) Known(text.name);
    const chip::ResolvedFields resolved = chip::ResolveFields(fields);
    if (!resolved.refusal.message.empty()) throw std::invalid_argument(resolved.refusal.message);

    chip.Begin();
    chip::RegisterValues current;
    for (uint8_t reg : chip::RegistersToWrite(resolved.assignments))
        current[reg] = chip.ReadOnce(reg);
    for (const chip::PlannedWrite& write : chip::PlanWrites(resolved.assignments, current)) {
        chip.WriteOnce(write.reg, write.after);
        const uint8_t read = chip.ReadOnce(write.reg);
        if (read != write.after)
            throw MismatchFailure(write.reg, write.after, read, FieldsNotTaken(write, read));
    }
    chip.End();
}
