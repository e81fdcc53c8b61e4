#include "FieldWrite.h"

#include "FieldValues.h"

#include <algorithm>

namespace chip {
namespace {

bool HasBitsIn(const NamedField& field, uint8_t reg)
{
    return std::ranges::any_of(field.parts,
                               [reg](const FieldPart& part) { return part.field->reg == reg; });
}

std::string AccessRefusal(const NamedField& field)
{
    for (const FieldPart& part : field.parts) {
        const RegisterInfo* info = FindRegister(part.field->reg);
        const std::string where = std::string(field.name) + " is in register " +
            AddressText(part.field->reg) + " (" + info->name + "), ";
        if (info->access == Access::ReadOnly) return where + "which is read only";
        if (info->access == Access::EepromBurn) return where + "which only the burn steps write";
    }
    return {};
}

bool ShareBits(const NamedField& a, const NamedField& b)
{
    for (const FieldPart& pa : a.parts)
        for (const FieldPart& pb : b.parts)
            if (pa.field->reg == pb.field->reg && (FieldMask(*pa.field) & FieldMask(*pb.field)))
                return true;
    return false;
}

}  // namespace

FieldRefusal CheckAssignments(std::span<const FieldAssignment> assignments)
{
    for (size_t i = 0; i < assignments.size(); ++i) {
        const NamedField& field = *assignments[i].field;
        if (std::string refusal = AccessRefusal(field); !refusal.empty()) return {i, refusal};
        if (assignments[i].value > field.Max())
            return {i,
                    std::to_string(assignments[i].value) + " is out of range for " + field.name +
                        " (0-" + std::to_string(field.Max()) + ")"};
        for (size_t before = 0; before < i; ++before) {
            const NamedField& earlier = *assignments[before].field;
            if (&earlier == &field) return {i, std::string(field.name) + " is given twice"};
            if (ShareBits(earlier, field))
                return {i,
                        std::string(field.name) + " shares bits with " + earlier.name +
                            ", given before it"};
        }
    }
    return {};
}

ResolvedFields ResolveFields(std::span<const FieldText> texts)
{
    std::vector<FieldAssignment> assignments;
    for (size_t i = 0; i < texts.size(); ++i) {
        const FieldLookup lookup = LookUpField(texts[i].name);
        if (!lookup.field) return {{}, {i, lookup.error}};
        const ValueReading reading = ReadFieldValue(*lookup.field, texts[i].value);
        if (!reading.value) return {{}, {i, reading.error}};
        assignments.push_back({lookup.field, *reading.value});
    }
    if (FieldRefusal refusal = CheckAssignments(assignments); !refusal.message.empty())
        return {{}, refusal};
    return {assignments, {}};
}

std::vector<uint8_t> RegistersToWrite(std::span<const FieldAssignment> assignments)
{
    std::vector<uint8_t> order;
    for (const FieldAssignment& a : assignments)
        for (const FieldPart& part : a.field->parts)
            if (std::ranges::find(order, part.field->reg) == order.end())
                order.push_back(part.field->reg);
    // A register named earlier by another field must not put a compound
    // field's parts out of their order: its registers take the places they
    // hold, in its order.
    for (const FieldAssignment& a : assignments) {
        if (a.field->parts.size() < 2) continue;
        std::vector<size_t> places;
        for (const FieldPart& part : a.field->parts)
            places.push_back(size_t(std::ranges::find(order, part.field->reg) - order.begin()));
        std::ranges::sort(places);
        for (size_t p = 0; p < places.size(); ++p) order[places[p]] = a.field->parts[p].field->reg;
    }
    return order;
}

std::vector<PlannedWrite> PlanWrites(std::span<const FieldAssignment> assignments,
                                     const RegisterValues& current)
{
    std::vector<PlannedWrite> writes;
    for (uint8_t reg : RegistersToWrite(assignments)) {
        PlannedWrite write{reg, current.at(reg), current.at(reg), {}};
        for (const FieldAssignment& a : assignments) {
            if (!HasBitsIn(*a.field, reg)) continue;
            for (const FieldPart& part : a.field->parts)
                if (part.field->reg == reg)
                    write.after = WithField(*part.field, write.after, a.value >> part.shift);
            write.fields.push_back(a.field);
        }
        writes.push_back(write);
    }
    return writes;
}

}  // namespace chip
