// fields [REG]: every field's name as typed, its bits and what its values mean.
#include "Commands.h"
#include "Decode.h"
#include "HexArgs.h"
#include "NamedFields.h"
#include "Output.h"
#include "RegisterMap.h"
#include "StandardOutput.h"
#include "Tool.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

struct FieldsArgs {
    std::string reg;  // empty: every register with fields
};

// "bits 3-0" within its register, or the registers and bits of a compound field.
std::string Bits(const chip::NamedField& field)
{
    return field.Single() ? chip::BitsText(*field.Single()) : chip::LocationText(field);
}

std::string Range(const chip::NamedField& field) { return "0-" + std::to_string(field.Max()); }

// "0-1, 1 = direct PWM" or "PWM dimming frequency: 4808 Hz | ... (or 0-15)".
std::string Values(const chip::NamedField& field)
{
    if (field.ValueNames().empty()) return Range(field) + ", " + field.meaning;
    std::string names;
    for (const char* name : field.ValueNames())
        names += (names.empty() ? "" : " | ") + std::string(name);
    return std::string(field.meaning) + ": " + names + " (or " + Range(field) + ")";
}

std::string RegisterText(const chip::RegisterInfo& reg)
{
    std::string text = chip::AddressText(reg.address) + " " + reg.name + " (" +
        chip::AccessText(reg.access) + ")\n";
    const auto fields = chip::FieldsInRegister(reg.address);
    if (fields.empty()) text += "    no field is known\n";
    for (const chip::NamedField* field : fields)
        text += "    " + field->key + " (" + Bits(*field) + "): " + Values(*field) + "\n";
    return text;
}

Json FieldJson(const chip::NamedField& field)
{
    Json registers = Json::array();
    for (const chip::FieldPart& part : field.parts)
        registers.push_back(chip::AddressText(part.field->reg));
    Json values = Json::array();
    for (const char* name : field.ValueNames()) values.push_back(name);
    return Json{{"name", field.name},
                {"key", field.key},
                {"location", chip::LocationText(field)},
                {"registers", registers},
                {"access", chip::AccessText(field.access)},
                {"meaning", field.meaning},
                {"max", field.Max()},
                {"values", values}};
}

int RunFields(const Tool& tool, const FieldsArgs& args)
{
    std::vector<const chip::RegisterInfo*> regs;
    std::vector<const chip::NamedField*> fields;
    if (args.reg.empty()) {
        for (const chip::RegisterInfo& reg : chip::AllRegisters())
            if (!reg.fields.empty()) regs.push_back(&reg);
        for (const chip::NamedField& field : chip::AllNamedFields()) fields.push_back(&field);
    } else {
        const auto address = ParseByteArgOrTell(args.reg, "fields: register");
        if (!address) return kExitBadInput;
        const chip::RegisterInfo* reg = chip::FindRegister(*address);
        if (!reg) {
            Problem("fields: register " + chip::AddressText(*address) +
                    " is not in the register map ('zr5130ctl fields' lists those with fields)");
            return kExitBadInput;
        }
        regs.push_back(reg);
        fields = chip::FieldsInRegister(*address);
    }

    if (tool.json) {
        Json entries = Json::array();
        for (const chip::NamedField* field : fields) entries.push_back(FieldJson(*field));
        PrintJson(Json{{"fields", entries}});
    } else {
        std::string text;
        for (const chip::RegisterInfo* reg : regs) text += RegisterText(*reg);
        Print(text);
    }
    return kExitDone;
}

}  // namespace

void AddFieldsCommand(Tool& tool, Commands& commands)
{
    auto args = std::make_shared<FieldsArgs>();
    commands.push_back({"fields",
                        "list the fields that get and set name, with their bits and what their "
                        "values mean, for every register or one",
                        {{"REG", "register, in hex (A5, 0xA5 or a5h)", &args->reg}},
                        [&tool, args] { return RunFields(tool, *args); }});
}
