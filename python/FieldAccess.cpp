#include "FieldAccess.h"

#include "Errors.h"
#include "HexInput.h"

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
    const ChipSession::ActionLock action = chip.Begin();
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

    const ChipSession::ActionLock action = chip.Begin();
    chip::RegisterValues current;
    for (uint8_t reg : chip::RegistersToWrite(resolved.assignments))
        current[reg] = chip.ReadOnce(reg);
    std::string written;
    const auto before = [&] {
        return written.empty() ? "nothing was written before it" : "written before it: " + written;
    };
    for (const chip::PlannedWrite& write : chip::PlanWrites(resolved.assignments, current)) {
        WriteCheck check;
        try {
            check = chip.WriteCheckedOnce(write.reg, write.after);
        } catch (const BusFailure& failure) {
            throw BusFailure(failure.reg, failure.cause + "; " + before(), failure.error);
        }
        if (check.outcome == WriteCheck::Outcome::Differs) {
            const std::string fields = FieldsNotTaken(write, *check.read);
            throw MismatchFailure(write.reg, write.after, *check.read,
                                  fields + (fields.empty() ? "" : "; ") + before());
        }
        written += (written.empty() ? "0x" : ", 0x") + HexByteText(write.reg);
    }
    chip.End();
}
