// decode [FILE], diff A [B]: registers in words, from the register map.
#include "ChipImage.h"
#include "Commands.h"
#include "Decode.h"
#include "FieldJson.h"
#include "NamedFields.h"
#include "HexArgs.h"
#include "HexInput.h"
#include "ImageRead.h"
#include "JsonReport.h"
#include "Output.h"
#include "Quote.h"
#include "RegisterImage.h"
#include "RegisterMap.h"
#include "StandardOutput.h"
#include "Tool.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

struct DecodeArgs {
    // A dump file, REG=VALUE pairs, or nothing for the live chip.
    std::vector<std::string> sources;
};

struct DiffArgs {
    std::string a;
    std::string b;  // empty: the live chip
};

constexpr const char* kIndent = "    ";

std::string RegisterName(uint8_t reg)
{
    const chip::RegisterInfo* info = chip::FindRegister(reg);
    return info ? info->name : "";
}

// The dump in file ("-": standard input), or without one the map's
// registers as the chip reads them. Anything but kExitDone: the problem has
// been told.
int ImageFrom(Tool& tool, const std::string& file, const char* command, RegisterImage& image,
              bool& allRead)
{
    if (!file.empty()) return LoadDump(tool, file, command, image);
    if (const int status = tool.OpenChip(); status != kExitDone) return status;
    image = ReadChipImage(tool);
    allRead = HoldsAll(image, MapRegisters());
    return kExitDone;
}

std::vector<RegisterReading> MapReadings(const RegisterImage& image)
{
    std::vector<RegisterReading> readings;
    for (uint8_t reg : MapRegisters()) readings.push_back({reg, image.values[reg]});
    return readings;
}

// "A5=E9 16=3F": registers and values in hex, decoded without a chip.
std::optional<std::vector<RegisterReading>> GivenReadings(const std::vector<std::string>& pairs)
{
    std::vector<RegisterReading> readings;
    for (const std::string& pair : pairs) {
        const size_t equals = pair.find('=');
        if (equals == std::string::npos) {
            Problem("decode: " + Quoted(pair) +
                    " is not REG=VALUE (for example A5=E9); give either "
                    "one dump file or REG=VALUE pairs");
            return std::nullopt;
        }
        const auto reg = ParseByteArgOrTell(pair.substr(0, equals), "decode: register");
        if (!reg) return std::nullopt;
        const auto value = ParseByteArgOrTell(pair.substr(equals + 1), "decode: value");
        if (!value) return std::nullopt;
        readings.push_back({*reg, *value});
    }
    return readings;
}

void PrintDecoded(const std::vector<RegisterReading>& readings)
{
    std::string text;
    for (const auto& [reg, value] : readings) {
        const std::string name = RegisterName(reg);
        text += HexByteText(reg) + (name.empty() ? "" : " " + name) + " = " + ValueText(value);
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
    Print(text);
}

Json DecodedJson(const std::vector<RegisterReading>& readings)
{
    Json registers = Json::array();
    for (const RegisterReading& reading : readings) {
        Json entry = ReadingJson(reading);
        const chip::RegisterInfo* info = chip::FindRegister(reading.reg);
        entry["name"] = info ? Json(info->name) : Json(nullptr);
        entry["access"] = info ? Json(chip::AccessText(info->access)) : Json(nullptr);
        Json fields = Json::array();
        if (reading.value)
            for (const chip::DecodedField& field :
                 chip::DecodeRegister(reading.reg, *reading.value))
                fields.push_back(FieldJson({field.field->name,
                                            chip::AddressText(reading.reg) + " " + field.bits,
                                            field.value, field.meaning, field.field->meaning}));
        entry["fields"] = fields;
        registers.push_back(entry);
    }
    return Json{{"registers", registers}};
}

void PrintReadings(const Tool& tool, const std::vector<RegisterReading>& readings)
{
    if (tool.json)
        HoldJsonResult(DecodedJson(readings));
    else
        PrintDecoded(readings);
}

int RunDecode(Tool& tool, const DecodeArgs& args)
{
    const bool pairs = args.sources.size() > 1 ||
        (args.sources.size() == 1 && args.sources[0].find('=') != std::string::npos);
    if (pairs) {
        const auto readings = GivenReadings(args.sources);
        if (!readings) return kExitBadInput;
        PrintReadings(tool, *readings);
        return kExitDone;
    }
    RegisterImage image;
    bool allRead = true;
    const std::string file = args.sources.empty() ? "" : args.sources[0];
    if (const int status = ImageFrom(tool, file, "decode", image, allRead); status != kExitDone)
        return status;
    PrintReadings(tool, MapReadings(image));
    return allRead ? kExitDone : kExitFailed;
}

struct Difference {
    uint8_t reg;
    std::optional<uint8_t> a, b;
    std::vector<chip::FieldChange> fields;
};

// The map's registers are always compared, a register missing on one side
// being a difference; any other register only where both sides hold it.
std::vector<Difference> Compare(const RegisterImage& a, const RegisterImage& b)
{
    std::vector<Difference> differences;
    for (int reg = 0; reg < 256; ++reg) {
        const std::optional<uint8_t> va = a.values[reg];
        const std::optional<uint8_t> vb = b.values[reg];
        if (va == vb || (!InMap(uint8_t(reg)) && (!va || !vb))) continue;
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
    Print(text);
}

// One side of a field that differs: its number, and the value's name where
// the field names its values (otherwise the number in decimal).
Json SideJson(const chip::DecodedField& decoded)
{
    return Json{{"value", decoded.value}, {"meaning", decoded.meaning}};
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
                                                 {"description", change.before.field->meaning},
                                                 {"a", SideJson(change.before)},
                                                 {"b", SideJson(change.after)}};
        entry["fields"] = fields;
        registers.push_back(entry);
    }
    return Json{{"equal", differences.empty()}, {"registers", registers}};
}

// The map's registers of the two boards given with --each, as they read now.
int LiveImages(Tool& tool, RegisterImage& a, RegisterImage& b, bool& allRead)
{
    tool.AllBoardsDone();
    TagJsonWithAdapter({});
    for (size_t board = 0; board < 2; ++board) {
        tool.SelectBoard(board);
        if (const int status = tool.OpenChip(); status != kExitDone) return status;
        RegisterImage& image = board == 0 ? a : b;
        image = ReadChipImage(tool);
        allRead = allRead && HoldsAll(image, MapRegisters());
        tool.TellFailedReads();
    }
    return kExitDone;
}

int RunDiff(Tool& tool, const DiffArgs& args)
{
    RegisterImage a;
    RegisterImage b;
    bool allRead = true;
    if (args.a.empty() && !(tool.Each() && tool.Boards() == 2)) {
        Problem("diff: give a dump to compare (diff A [B]), or two boards with --each and no "
                "dump");
        return kExitBadInput;
    }
    if (args.a.empty()) {
        if (const int status = LiveImages(tool, a, b, allRead); status != kExitDone)
            return status;
    } else if (const int status = LoadDump(tool, args.a, "diff", a); status != kExitDone) {
        return status;
    } else if (const int status = ImageFrom(tool, args.b, "diff", b, allRead);
               status != kExitDone) {
        return status;
    }
    const std::vector<Difference> differences = Compare(a, b);
    if (tool.json)
        HoldJsonResult(DifferencesJson(differences));
    else
        PrintDifferences(differences);
    return differences.empty() && allRead ? kExitDone : kExitFailed;
}

}  // namespace

void AddDecodeCommands(Tool& tool, Commands& commands)
{
    auto decodeArgs = std::make_shared<DecodeArgs>();
    commands.push_back(
        {"decode",
         "print every register of the register map with its named fields and their "
         "meanings, from the chip or from a dump; or the registers given as REG=VALUE",
         {{"FILE|REG=VALUE",
           "register dump (- for standard input), or registers and values in hex "
           "(A5=E9); without them, the chip",
           &decodeArgs->sources}},
         [&tool, decodeArgs] { return RunDecode(tool, *decodeArgs); }});

    auto diffArgs = std::make_shared<DiffArgs>();
    commands.push_back(
        {"diff",
         "compare two dumps, a dump with the chip, or with two --each and no dump the "
         "two boards, and print each register that differs with the fields that "
         "differ; exit status 1 when they differ",
         {{"A", "register dump, - for standard input", &diffArgs->a},
          {"B", "second register dump (- for standard input); without it, the chip",
           &diffArgs->b}},
         [&tool, diffArgs] { return RunDiff(tool, *diffArgs); }});
}
