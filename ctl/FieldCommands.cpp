// get FIELD..., set FIELD=VALUE...: the chip by field name and meaning.
#include "Commands.h"
#include "FieldJson.h"
#include "FieldValues.h"
#include "FieldWrite.h"
#include "HexInput.h"
#include "JsonReport.h"
#include "Output.h"
#include "Quote.h"
#include "StandardOutput.h"
#include "Tool.h"
#include "WriteLog.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

struct GetArgs {
    std::vector<std::string> fields;
};

struct SetArgs {
    std::vector<std::string> assignments;
};

std::vector<uint8_t> RegistersOf(const std::vector<const chip::NamedField*>& fields)
{
    std::vector<uint8_t> regs;
    for (const chip::NamedField* field : fields)
        for (const chip::FieldPart& part : field->parts)
            if (std::ranges::find(regs, part.field->reg) == regs.end())
                regs.push_back(part.field->reg);
    return regs;
}

// Each register once; a register that could not be read is left out and
// told, in a line that starts with command and ends with consequence.
chip::RegisterValues ReadRegisters(Tool& tool, const std::vector<uint8_t>& regs,
                                   const std::string& command, const std::string& consequence)
{
    chip::RegisterValues values;
    for (uint8_t reg : regs)
        if (const std::optional<uint8_t> value = tool.Read(reg)) values[reg] = *value;
    tool.TellFailedReads(command + ": ", consequence);
    return values;
}

bool AllRead(const chip::NamedField& field, const chip::RegisterValues& values)
{
    return std::ranges::all_of(
        field.parts, [&](const chip::FieldPart& part) { return values.contains(part.field->reg); });
}

int RunGet(Tool& tool, const GetArgs& args)
{
    std::vector<const chip::NamedField*> fields;
    for (const std::string& name : args.fields) {
        const chip::FieldLookup lookup = chip::LookUpField(name);
        if (!lookup.field) {
            Problem("get: " + lookup.error);
            return kExitBadInput;
        }
        fields.push_back(lookup.field);
    }
    if (const int status = tool.OpenChip(); status != kExitDone) return status;

    const chip::RegisterValues values = ReadRegisters(tool, RegistersOf(fields), "get", "");
    std::string text;
    Json entries = Json::array();
    bool allRead = true;
    for (const chip::NamedField* field : fields) {
        const std::string location = chip::LocationText(*field);
        ShownField facts{field->name, location, std::nullopt, {}, field->meaning};
        if (!AllRead(*field, values)) {
            allRead = false;
            text += std::string(field->name) + " = -- (" + location + " not read)\n";
        } else {
            const unsigned value = chip::ValueIn(*field, values);
            facts.value = value;
            facts.meaning = chip::MeaningOf(*field, value);
            text += std::string(field->name) + " = " + facts.meaning + " (" + location + " = " +
                std::to_string(value) + ")\n";
        }
        entries.push_back(FieldJson(facts));
    }
    if (tool.json)
        HoldJsonResult(Json{{"fields", entries}});
    else
        Print(text);
    return allRead ? kExitDone : kExitFailed;
}

// FIELD=VALUE, split at the first '=' (a value name may hold one).
std::optional<std::vector<chip::FieldText>> SplitAssignments(const std::vector<std::string>& args)
{
    std::vector<chip::FieldText> texts;
    for (const std::string& arg : args) {
        const size_t equals = arg.find('=');
        if (equals == std::string::npos) {
            Problem("set: " + Quoted(arg) +
                    " is not FIELD=VALUE (for example pwm-frequency=9616hz)");
            return std::nullopt;
        }
        texts.push_back({arg.substr(0, equals), arg.substr(equals + 1)});
    }
    return texts;
}

// The assigned fields of a register written and read back, where they
// differ; the chip holds chip in its other registers.
std::string Mismatch(const chip::PlannedWrite& write, uint8_t read,
                     const std::vector<chip::FieldAssignment>& assignments,
                     const chip::RegisterValues& chip)
{
    chip::RegisterValues readBack = chip;
    readBack[write.reg] = read;
    std::string fields;
    for (const chip::FieldAssignment& a : assignments) {
        if (std::ranges::find(write.fields, a.field) == write.fields.end()) continue;
        const unsigned now = chip::ValueIn(*a.field, readBack);
        if (now == a.value) continue;
        fields += std::string(fields.empty() ? "" : "; ") + a.field->name + " reads " +
            chip::MeaningOf(*a.field, now) + ", not " + chip::MeaningOf(*a.field, a.value);
    }
    if (fields.empty()) fields = "bits outside the fields given changed";
    return "set: register " + HexByteText(write.reg) + " reads " + HexByteText(read) + " after " +
        HexByteText(write.after) + " was written: " + fields;
}

int RunSet(Tool& tool, const SetArgs& args)
{
    const auto texts = SplitAssignments(args.assignments);
    if (!texts) return kExitBadInput;
    const chip::ResolvedFields resolved = chip::ResolveFields(*texts);
    if (!resolved.refusal.message.empty()) {
        Problem("set: " + resolved.refusal.message);
        return kExitBadInput;
    }
    if (const int status = tool.OpenChip(); status != kExitDone) return status;

    const std::vector<uint8_t> regs = chip::RegistersToWrite(resolved.assignments);
    const chip::RegisterValues current = ReadRegisters(tool, regs, "set", "; nothing was written");
    if (current.size() != regs.size()) return kExitFailed;
    const std::vector<chip::PlannedWrite> writes = chip::PlanWrites(resolved.assignments, current);
    chip::RegisterValues held = current;  // what the chip holds as the writes go on

    int status = kExitDone;
    std::string text;
    Json entries = Json::array();
    std::vector<uint8_t> written;
    for (const chip::PlannedWrite& write : writes) {
        Json entry{{"address", HexByteText(write.reg)},
                   {"name", chip::FindRegister(write.reg)->name},
                   {"before", HexByteText(write.before)},
                   {"written", HexByteText(write.after)}};
        const WriteCheck check = tool.Write(write.reg, write.after);
        const std::string before = "; " + WrittenBefore(written);
        if (check.outcome == WriteCheck::Outcome::WriteFailed) {
            Problem("set: write of " + HexByteText(write.after) + " to register " +
                        HexByteText(write.reg) + " failed: " + tool.FailureCause() + before,
                    write.reg);
            status = kExitFailed;
            break;
        }
        entry["read"] = ValueJson(check.read);
        text += HexByteText(write.reg) + " " + chip::FindRegister(write.reg)->name + ": " +
            HexByteText(write.before) + " -> " + HexByteText(write.after);
        if (check.outcome == WriteCheck::Outcome::ReadFailed) {
            Problem("set: register " + HexByteText(write.reg) + ": " + tool.FailureCause() +
                        " (reading back " + HexByteText(write.after) + ")" + before,
                    write.reg);
            text += ", reads --";
        } else if (check.outcome == WriteCheck::Outcome::Differs) {
            Problem(Mismatch(write, *check.read, resolved.assignments, held) + before, write.reg);
            text += ", reads " + HexByteText(*check.read);
        }
        text += '\n';
        entries.push_back(entry);
        if (!check.Ok()) {
            status = kExitFailed;
            break;
        }
        written.push_back(write.reg);
        held[write.reg] = write.after;
    }
    if (tool.json)
        HoldJsonResult(Json{{"registers", entries}});
    else
        Print(text);
    return status;
}

}  // namespace

void AddFieldCommands(Tool& tool, Commands& commands)
{
    auto getArgs = std::make_shared<GetArgs>();
    commands.push_back(
        {"get",
         "read fields by name and print each as NAME = MEANING (REG bits H-L = N)",
         {{.name = "FIELD",
           .help = "field name in printable ASCII, case, blanks, '-' and '_' ignored "
                   "(pwm-frequency)",
           .target = &getArgs->fields,
           .required = true}},
         [&tool, getArgs] { return RunGet(tool, *getArgs); }});

    auto setArgs = std::make_shared<SetArgs>();
    commands.push_back(
        {"set",
         "set fields by name: each register concerned is read once, written once with "
         "every other bit kept, and read back; at the first that fails or reads otherwise, "
         "exit status 1 and no further register is written",
         {{.name = "FIELD=VALUE",
           .help = "a field as get takes it and its value, blanks around it ignored: first one "
                   "of the labels fields lists, case and the label's blanks ignored, whole or "
                   "either side of its ' = ' (pwm-frequency=9616hz, current-scale=011; a label "
                   "of several values, as NA / NA, is refused); else a number without blanks "
                   "inside, decimal or hex after 0x (led-current=0x123)",
           .target = &setArgs->assignments,
           .required = true}},
         [&tool, setArgs] { return RunSet(tool, *setArgs); }});
}
