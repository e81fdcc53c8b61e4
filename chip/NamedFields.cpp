#include "NamedFields.h"

#include "Decode.h"
#include "Likeness.h"
#include "Quote.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace chip {
namespace {

// "PWM / Current Dimming Threshold" -> "pwm-current-dimming-threshold".
std::string CommandLineKey(std::string_view name)
{
    std::string key;
    bool gap = false;
    for (char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            gap = !key.empty();
            continue;
        }
        if (gap) key += '-';
        gap = false;
        key += char(std::tolower(static_cast<unsigned char>(c)));
    }
    return key;
}

Access Strictest(std::span<const FieldPart> parts)
{
    for (const FieldPart& part : parts)
        if (const RegisterInfo* info = FindRegister(part.field->reg);
            info && info->access != Access::ReadWrite)
            return info->access;
    return Access::ReadWrite;
}

struct Catalogue {
    std::vector<FieldPart> singleParts;  // the one part of each register field
    std::vector<NamedField> fields;
    std::vector<std::string> nameKeys;  // NameKey of each field's name, in field order
};

Catalogue Build()
{
    Catalogue c;
    size_t count = 0;
    for (const RegisterInfo& reg : AllRegisters()) count += reg.fields.size();
    c.singleParts.reserve(count);  // the spans below point into it
    for (const RegisterInfo& reg : AllRegisters()) {
        for (const FieldInfo& field : reg.fields) {
            c.singleParts.push_back({&field, 0});
            const std::span<const FieldPart> parts(&c.singleParts.back(), 1);
            c.fields.push_back(
                {field.name, CommandLineKey(field.name), field.meaning, parts, reg.access});
        }
        for (const CompoundField& compound : CompoundFields())
            if (compound.parts.front().field->reg == reg.address)
                c.fields.push_back({compound.name, CommandLineKey(compound.name), compound.meaning,
                                    compound.parts, Strictest(compound.parts)});
    }
    for (const NamedField& field : c.fields) c.nameKeys.push_back(NameKey(field.name));
    return c;
}

const Catalogue& TheCatalogue()
{
    static const Catalogue catalogue = Build();
    return catalogue;
}

bool SameBits(const FieldInfo& a, const FieldInfo& b)
{
    return a.reg == b.reg && a.lsb == b.lsb && a.width == b.width;
}

}  // namespace

std::string AddressText(uint8_t reg)
{
    char text[3];
    std::snprintf(text, sizeof text, "%02X", reg);
    return text;
}

unsigned NamedField::Max() const
{
    unsigned width = 0;
    for (const FieldPart& part : parts)
        width = std::max(width, unsigned(part.shift + part.field->width));
    return (1u << width) - 1;
}

const FieldInfo* NamedField::Single() const
{
    return parts.size() == 1 ? parts.front().field : nullptr;
}

std::span<const char* const> NamedField::ValueNames() const
{
    const FieldInfo* field = Single();
    return field ? field->valueNames : std::span<const char* const>{};
}

std::span<const NamedField> AllNamedFields() { return TheCatalogue().fields; }

FieldLookup LookUpField(std::string_view typed)
{
    // Every name the map prints is printable ASCII. Anything else is refused
    // whole: the key below drops what is not a letter or digit, and a name
    // with its foreign letters dropped can be another field's.
    const auto foreign = std::ranges::find_if(typed, [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte > 0x7E;
    });
    if (foreign != typed.end())
        return {nullptr,
                "no field " + Quoted(typed) + ": a field name is printable ASCII, and byte " +
                    std::to_string(foreign - typed.begin() + 1) + " (" +
                    Quoted(std::string_view(&*foreign, 1)) + ") is not"};
    const Catalogue& c = TheCatalogue();
    const std::string key = NameKey(typed);
    if (key.empty()) return {nullptr, "no field name in " + Quoted(typed)};
    if (const auto found = std::ranges::find(c.nameKeys, key); found != c.nameKeys.end())
        return {&c.fields[size_t(found - c.nameKeys.begin())], {}};
    if (const NamedField* nearest = NearestField(typed))
        return {nullptr, "no field " + Quoted(typed) + "; did you mean " + nearest->key + "?"};
    return {nullptr, "no field " + Quoted(typed) + ", nor one with a name like it"};
}

const NamedField* NearestField(std::string_view typed)
{
    const Catalogue& c = TheCatalogue();
    const std::optional<size_t> closest = Closest(NameKey(typed), c.nameKeys);
    return closest ? &c.fields[*closest] : nullptr;
}

const NamedField* NamedFieldOf(const FieldInfo& field)
{
    for (const NamedField& named : AllNamedFields())
        if (named.Single() && SameBits(*named.Single(), field)) return &named;
    return nullptr;
}

std::vector<const NamedField*> FieldsInRegister(uint8_t reg)
{
    std::vector<const NamedField*> fields;
    for (const NamedField& named : AllNamedFields())
        if (std::ranges::any_of(named.parts,
                                [reg](const FieldPart& p) { return p.field->reg == reg; }))
            fields.push_back(&named);
    return fields;
}

std::string LocationText(const NamedField& field)
{
    std::vector<FieldPart> parts(field.parts.begin(), field.parts.end());
    std::ranges::sort(parts, std::greater{}, &FieldPart::shift);
    std::string text;
    for (const FieldPart& part : parts) {
        if (!text.empty()) text += ", ";
        text += AddressText(part.field->reg) + " " + BitsText(*part.field);
    }
    return text;
}

unsigned ValueIn(const NamedField& field, const RegisterValues& registers)
{
    unsigned value = 0;
    for (const FieldPart& part : field.parts)
        value |= FieldValue(*part.field, registers.at(part.field->reg)) << part.shift;
    return value;
}

const char* ValueNameOf(const NamedField& field, unsigned value)
{
    const FieldInfo* single = field.Single();
    return single ? ValueName(*single, value) : nullptr;
}

std::string MeaningOf(const NamedField& field, unsigned value)
{
    const char* name = ValueNameOf(field, value);
    return name ? std::string(name) : std::to_string(value);
}

}  // namespace chip
