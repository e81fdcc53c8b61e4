// decode [FILE], diff A [B]: registers in words, from the register map.
#include "Commands.h"
#include "Decode.h"
#include "HexInput.h"
#include "Output.h"
#include "RegisterImage.h"
#include "RegisterMap.h"
#include "Tool.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace {

struct DecodeArgs {
    std::string file;  // empty: the live chip
};

struct DiffArgs {
    std::string a;
    std::string b;  // empty: the live chip
};

constexpr const char* kIndent = "    ";

bool InGrid(uint8_t reg)
{
    const auto grid = chip::ReadbackRegisters();
    return std::find(grid.begin(), grid.end(), reg) != grid.end();
}

std::string RegisterName(uint8_t reg)
{
    const chip::RegisterInfo* info = chip::FindRegister(reg);
    return info ? info->name : "";
}

// A field's meaning for JSON: the value's name, or what the number stands for.
std::string Meaning(const chip::DecodedField& decoded)
{
    return decoded.named ? decoded.meaning : decoded.field->meaning;
}

// The dump in file, or without one the grid as the chip reads it (registers
// outside the grid then stay XX). Anything but kExitDone: the problem has
// been told.
int ImageFrom(Tool& tool, const std::string& file, const char* command, RegisterImage& image,
              bool& allRead)
{
    std::string error;
    if (!file.empty()) {
        if (LoadRegisterImage(file, image, error)) return kExitDone;
        Problem(std::string(command) + ": " + error);
        return kExitBadInput;
    }
    if (const int status = tool.OpenChip(); status != kExitDone) return status;
    image = {};
    for (uint8_t reg : chip::ReadbackRegisters()) {
        uint8_t value = 0;
        if (tool.Read(reg, value))
            image.values[reg] = value;
        else
            allRead = false;
    }
    return kExitDone;
}

void PrintDecoded(const RegisterImage& image)
{
    std::string text;
    for (uint8_t reg : chip::ReadbackRegisters()) {
        const std::optional<uint8_t> value = image.values[reg];
        text += HexByteText(reg) + " " + RegisterName(reg) + " = " + ValueText(value);
        if (!value) {
            text += " (not read)\n";
            continue;
        }
        text += '\n';
        const auto fields = chip::DecodeRegister(reg, *value);
        if (fields.empty()) text += std::string(kIndent) + "no field is known\n";
        for (const chip::DecodedField& field : fields)
            text += kIndent + chip::FieldLine(field) + '\n';
    }
    std::fputs(text.c_str(), stdout);
}

Json DecodedJson(const RegisterImage& image)
{
    Json registers = Json::array();
    for (uint8_t reg : chip::ReadbackRegisters()) {
        const std::optional<uint8_t> value = image.values[reg];
        Json entry = ReadingJson({reg, value});
        const chip::RegisterInfo* info = chip::FindRegister(reg);
        entry["name"] = info->name;
        entry["access"] = chip::AccessText(info->access);
        Json fields = Json::object();
        if (value)
            for (const chip::DecodedField& field : chip::DecodeRegister(reg, *value))
                fields[field.field->name] = {
                    {"bits", field.bits}, {"value", field.value}, {"meaning", Meaning(field)}};
        entry["fields"] = fields;
        registers.push_back(entry);
    }
    return Json{{"registers", registers}};
}

int RunDecode(Tool& tool, const DecodeArgs& args)
{
    RegisterImage image;
    bool allRead = true;
    if (const int status = ImageFrom(tool, args.file, "decode", image, allRead);
        status != kExitDone)
        return status;
    if (tool.json)
        PrintJson(DecodedJson(image));
    else
        PrintDecoded(image);
    return allRead ? kExitDone : kExitFailed;
}

struct Difference {
    uint8_t reg;
    std::optional<uint8_t> a, b;
    std::vector<chip::FieldChange> fields;
};

// The grid's registers are always compared, a register missing on one side
// being a difference; any other register only where both sides hold it.
std::vector<Difference> Compare(const RegisterImage& a, const RegisterImage& b)
{
    std::vector<Difference> differences;
    for (int reg = 0; reg < 256; ++reg) {
        const std::optional<uint8_t> va = a.values[reg];
        const std::optional<uint8_t> vb = b.values[reg];
        if (va == vb || (!InGrid(uint8_t(reg)) && (!va || !vb))) continue;
        Difference d{uint8_t(reg), va, vb, {}};
        if (va && vb) d.fields = chip::DiffFields(uint8_t(reg), *va, *vb);
        differences.push_back(d);
    }
    return differences;
}

std::string FieldChangeText(const chip::FieldChange& change)
{
    const auto shown = [](const chip::DecodedField& f) {
        return f.named ? '"' + f.meaning + '"' : f.meaning;
    };
    std::string text = std::string(kIndent) + change.before.field->name + " (" +
                       change.before.bits + "): " + shown(change.before) + " -> " +
                       shown(change.after);
    if (!change.before.named) text += " (" + std::string(change.before.field->meaning) + ")";
    return text + '\n';
}

void PrintDifferences(const std::vector<Difference>& differences)
{
    std::string text;
    for (const Difference& d : differences) {
        const std::string name = RegisterName(d.reg);
        text += HexByteText(d.reg) + (name.empty() ? "" : " " + name) + ": " + ValueText(d.a) +
                " -> " + ValueText(d.b) + '\n';
        for (const chip::FieldChange& change : d.fields) text += FieldChangeText(change);
    }
    std::fputs(text.c_str(), stdout);
}

Json DifferencesJson(const std::vector<Difference>& differences)
{
    Json registers = Json::array();
    for (const Difference& d : differences) {
        Json entry{{"address", HexByteText(d.reg)}};
        if (const chip::RegisterInfo* info = chip::FindRegister(d.reg)) entry["name"] = info->name;
        entry["a"] = ValueJson(d.a);
        entry["b"] = ValueJson(d.b);
        Json fields = Json::object();
        for (const chip::FieldChange& change : d.fields)
            fields[change.before.field->name] = {{"bits", change.before.bits},
                                                 {"a", Meaning(change.before)},
                                                 {"b", Meaning(change.after)}};
        entry["fields"] = fields;
        registers.push_back(entry);
    }
    return Json{{"equal", differences.empty()}, {"registers", registers}};
}

int RunDiff(Tool& tool, const DiffArgs& args)
{
    RegisterImage a;
    RegisterImage b;
    bool allRead = true;
    std::string error;
    if (!LoadRegisterImage(args.a, a, error)) {
        Problem("diff: " + error);
        return kExitBadInput;
    }
    if (const int status = ImageFrom(tool, args.b, "diff", b, allRead); status != kExitDone)
        return status;
    const std::vector<Difference> differences = Compare(a, b);
    if (tool.json)
        PrintJson(DifferencesJson(differences));
    else
        PrintDifferences(differences);
    return differences.empty() && allRead ? kExitDone : kExitFailed;
}

}  // namespace

void AddDecodeCommands(CLI::App& app, Tool& tool, Commands& commands)
{
    auto decodeArgs = std::make_shared<DecodeArgs>();
    CLI::App* decode = app.add_subcommand(
        "decode", "print every register of the readback grid with its named fields and their "
                  "meanings, from the chip or from a dump");
    decode->add_option("FILE", decodeArgs->file, "register dump; without it, the chip");
    commands.push_back({decode, [&tool, decodeArgs] { return RunDecode(tool, *decodeArgs); }});

    auto diffArgs = std::make_shared<DiffArgs>();
    CLI::App* diff = app.add_subcommand(
        "diff", "compare two dumps, or a dump with the chip, and print each register that "
                "differs with the fields that differ; exit status 1 when they differ");
    diff->add_option("A", diffArgs->a, "register dump")->required();
    diff->add_option("B", diffArgs->b, "second register dump; without it, the chip");
    commands.push_back({diff, [&tool, diffArgs] { return RunDiff(tool, *diffArgs); }});
}
