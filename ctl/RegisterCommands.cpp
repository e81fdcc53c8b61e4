// read REG..., write REG VALUE
#include "Commands.h"
#include "HexArgs.h"
#include "HexInput.h"
#include "JsonReport.h"
#include "Output.h"
#include "Presets.h"
#include "StandardOutput.h"
#include "Tool.h"
#include "WriteLog.h"

#include <memory>
#include <string>
#include <vector>

namespace {

struct ReadArgs {
    std::vector<std::string> regs;
};

struct WriteArgs {
    std::string reg;
    std::string value;
};

int RunRead(Tool& tool, const ReadArgs& args)
{
    const auto regs = ParseByteArgs(args.regs, "read: register");
    if (!regs) return kExitBadInput;
    if (const int status = tool.OpenChip(); status != kExitDone) return status;

    std::vector<RegisterReading> readings;
    bool allRead = true;
    for (uint8_t reg : *regs) {
        readings.push_back({reg, tool.Read(reg)});
        allRead = allRead && readings.back().value;
    }
    if (tool.json) {
        HoldJsonResult(ReadingsJson(readings));
    } else {
        std::string text;
        for (const RegisterReading& reading : readings) text += ValueText(reading.value) + '\n';
        Print(text);
    }
    return allRead ? kExitDone : kExitFailed;
}

int RunWrite(Tool& tool, const WriteArgs& args)
{
    const auto reg = ParseByteArgOrTell(args.reg, "write: register");
    if (!reg) return kExitBadInput;
    if (*reg == kBurnRegister) {
        Problem("write: register 72 is the EEPROM burn register; use 'zr5130ctl burn prepare' "
                "and 'zr5130ctl burn complete'");
        return kExitBadInput;
    }
    if (const std::string refusal = ReadOnlyRefusal(*reg); !refusal.empty()) {
        Problem("write: " + refusal);
        return kExitBadInput;
    }
    const auto value = ParseByteArgOrTell(args.value, "write: value");
    if (!value) return kExitBadInput;
    if (const int status = tool.OpenChip(); status != kExitDone) return status;

    WriteLog log(tool);
    const bool written = log.Make(*reg, *value);
    if (tool.json) HoldJsonResult(log.ToJson());
    if (written) return kExitDone;
    log.TellFailure("");
    return kExitFailed;
}

}  // namespace

void AddRegisterCommands(Tool& tool, Commands& commands)
{
    auto readArgs = std::make_shared<ReadArgs>();
    commands.push_back(
        {"read",
         "print each register's value as two hex digits, one line each ('--' when the read "
         "failed)",
         {{.name = "REG",
           .help = "register, in hex (A5, 0xA5 or a5h)",
           .target = &readArgs->regs,
           .required = true}},
         [&tool, readArgs] { return RunRead(tool, *readArgs); }});

    auto writeArgs = std::make_shared<WriteArgs>();
    commands.push_back(
        {"write",
         "write one register and read it back; exit status 1 when it reads otherwise. "
         "Not a read-only register (02) nor the EEPROM burn register 72 (see burn)",
         {{.name = "REG", .help = "register, in hex", .target = &writeArgs->reg, .required = true},
          {.name = "VALUE",
           .help = "value, in hex (00 to FF)",
           .target = &writeArgs->value,
           .required = true}},
         [&tool, writeArgs] { return RunWrite(tool, *writeArgs); }});
}
