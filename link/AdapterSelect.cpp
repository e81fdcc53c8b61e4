#include "AdapterSelect.h"

#include "LinuxI2cAdapter.h"
#include "ProgramName.h"
#include "Quote.h"
#include "RegisterImage.h"
#include "SimBoard.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kSimPrefix = "sim:";
constexpr std::string_view kBusNamePrefix = "i2c:";

// A line for standard error under the running program's name.
std::string Notice(const std::string& text) { return LinkProgramName() + (": " + text); }

using StatusAnswer = SimBoard::StatusAnswer;

// A bus fault at one read of the status register, by the word that asks for it.
struct FaultWord {
    std::string_view word;
    StatusAnswer::Kind kind;
};
constexpr FaultWord kFaultWords[] = {
    {"XX", StatusAnswer::Kind::NoAnswer},
    {"timeout", StatusAnswer::Kind::Timeout},
    {"replug", StatusAnswer::Kind::Replug},
};

std::optional<uint8_t> ParseHexByte(std::string_view token)
{
    if (token.size() != 2 || !std::isxdigit(static_cast<unsigned char>(token[0])) ||
        !std::isxdigit(static_cast<unsigned char>(token[1])))
        return std::nullopt;
    return static_cast<uint8_t>(std::stoul(std::string(token), nullptr, 16));
}

std::optional<StatusAnswer> ParseStatusAnswer(std::string_view token)
{
    for (const FaultWord& fault : kFaultWords)
        if (token == fault.word) return StatusAnswer(fault.kind);
    if (const std::optional<uint8_t> value = ParseHexByte(token)) return StatusAnswer(*value);
    return std::nullopt;
}

// "30,38 XX,timeout": items set apart by commas or spaces, each read by parse.
template <typename T>
std::optional<std::vector<T>> ParseList(std::string_view text,
                                        std::optional<T> (*parse)(std::string_view))
{
    std::vector<T> items;
    size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ',' || text[pos] == ' ') {
            ++pos;
            continue;
        }
        const size_t end = std::min(text.find_first_of(", ", pos), text.size());
        const std::optional<T> item = parse(text.substr(pos, end - pos));
        if (!item) return std::nullopt;
        items.push_back(*item);
        pos = end;
    }
    return items;
}

std::unique_ptr<I2cDevSys> SystemCalls(const AdapterOptions& options)
{
    return options.systemCalls ? options.systemCalls()
                               : std::make_unique<RealI2cDevSys>(options.sysClassDir);
}

void ChooseSimBoard(AdapterChoice& choice, const AdapterOptions& options,
                    const RegisterImage* image)
{
    const auto sequence = ParseList(options.simStatus, ParseStatusAnswer);
    if (!sequence) {
        choice.error = "ZR5130_SIM_STATUS: " + Quoted(options.simStatus) +
                       " is not a list of two-digit hex values, XX, timeout or replug (for "
                       "example 30,38,30)";
        return;
    }
    const auto ignored = ParseList(options.simIgnoreWrites, ParseHexByte);
    if (!ignored) {
        choice.error = "ZR5130_SIM_IGNORE_WRITES: " + Quoted(options.simIgnoreWrites) +
                       " is not a list of two-digit hex registers (for example A5,A1)";
        return;
    }
    auto board = std::make_unique<SimBoard>();
    if (image) board->Load(*image);
    board->SetStatusSequence(*sequence);
    board->IgnoreWrites(*ignored);
    choice.adapter = std::move(board);
}

void ChooseBusByName(AdapterChoice& choice, const AdapterOptions& options,
                     const std::string& namePart)
{
    if (namePart.empty()) {
        choice.error = "ZR5130_ADAPTER=i2c: needs part of the adapter's name (i2c:CP2112)";
        return;
    }
    const I2cBusLookup found = FindI2cBusByName(namePart, options.sysClassDir);
    if (!found.error.empty()) {
        choice.error = "ZR5130_ADAPTER: " + found.error;
        return;
    }
    auto adapter = std::make_unique<LinuxI2cAdapter>(found.bus.node, SystemCalls(options));
    adapter->FollowBusName(namePart, options.sysClassDir);
    choice.adapter = std::move(adapter);
    choice.notice = Notice("using the I2C bus " + DescribeI2cBus(found.bus));
}

}  // namespace

AdapterOptions AdapterOptionsFromEnvironment()
{
    AdapterOptions options;
    if (const char* status = std::getenv("ZR5130_SIM_STATUS")) options.simStatus = status;
    if (const char* ignored = std::getenv("ZR5130_SIM_IGNORE_WRITES"))
        options.simIgnoreWrites = ignored;
    return options;
}

AdapterChoice ChooseAdapter(const char* setting, const AdapterOptions& options)
{
    AdapterChoice choice;
    const std::string_view value = setting ? setting : "";

    if (value.empty() || value == "sim") {
        ChooseSimBoard(choice, options, nullptr);
        if (choice.error.empty())
            choice.notice = Notice("using the simulated board; set ZR5130_ADAPTER=/dev/i2c-N for "
                                   "real hardware (or none, or sim:FILE)");
        return choice;
    }

    if (value.starts_with(kSimPrefix)) {
        const std::string path(value.substr(kSimPrefix.size()));
        if (path.empty()) {
            choice.error = "ZR5130_ADAPTER=sim: needs a register dump file (sim:FILE)";
            return choice;
        }
        RegisterImage image;
        if (std::string error; !LoadRegisterImage(path, image, error, options.dash)) {
            choice.error = "ZR5130_ADAPTER=sim:" + error;
            return choice;
        }
        ChooseSimBoard(choice, options, &image);
        if (choice.error.empty())
            choice.notice = Notice("using the simulated board with the registers of " + path);
        return choice;
    }

    if (value.starts_with(kBusNamePrefix)) {
        ChooseBusByName(choice, options, std::string(value.substr(kBusNamePrefix.size())));
        return choice;
    }

    if (value.starts_with('/')) {
        const std::string node(value);
        choice.adapter = std::make_unique<LinuxI2cAdapter>(node, SystemCalls(options));
        choice.notice = Notice("using the I2C bus " + node);
        return choice;
    }

    if (value == "none") {
        choice.notice = Notice("no adapter connected (ZR5130_ADAPTER=none)");
        return choice;
    }

    choice.error = "ZR5130_ADAPTER: unknown adapter " + Quoted(value, kWholeText) +
                   " (use sim, sim:FILE, none, /dev/i2c-N or i2c:NAME)";
    return choice;
}
