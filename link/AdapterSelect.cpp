#include "AdapterSelect.h"

#include "LinuxI2cAdapter.h"
#include "ProgramName.h"
#include "Quote.h"
#include "Shown.h"
#include "RegisterImage.h"
#include "SimBoard.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kSimPrefix = "sim:";
constexpr std::string_view kBusNamePrefix = "i2c:";

// A line for standard error under the running program's name.
std::string Notice(const std::string& text) { return LinkProgramName() + (": " + text); }

// The error of setting: its name, then lead, then the cause.
// A source named in words ("the remembered adapter") is not written as a
// variable's assignment.
void Refuse(AdapterChoice& choice, const std::string& setting, const std::string& lead,
            const std::string& cause)
{
    const bool words = setting.find(' ') != std::string::npos;
    choice.errorSetting = setting;
    std::string rest = lead;
    if (words && rest.starts_with('=')) rest[0] = ' ';
    choice.errorRest = rest + cause;
    choice.errorDetail = lead.substr(lead.starts_with(": ") ? 2 : 1) + cause;
    choice.errorCause = cause;
    choice.error = setting + choice.errorRest;
}

void RefuseDump(AdapterChoice& choice, const std::string& source, const std::string& path,
                const std::string& error, Dash dash)
{
    Refuse(choice, source, "=sim:", error);
    const DumpErrorParts parts = SplitDumpError(TextInputName(path, dash), error);
    choice.dumpFile = path;
    choice.dumpError = error;
    choice.dumpLine = parts.line;
    choice.errorCause = parts.what;
}

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

// "2", "0.25": whole milliseconds from 0 to an hour; empty is none.
std::optional<std::chrono::milliseconds> ParseSeconds(const std::string& text)
{
    if (text.empty()) return std::chrono::milliseconds(0);
    const bool digitsAndPoint = std::ranges::all_of(text, [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) || c == '.';
    });
    if (!digitsAndPoint || std::ranges::count(text, '.') > 1 || text == ".") return std::nullopt;
    double seconds = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (ec != std::errc() || end != text.data() + text.size() || seconds > 3600)
        return std::nullopt;
    return std::chrono::milliseconds(std::llround(seconds * 1000));
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
        Refuse(choice, "ZR5130_SIM_STATUS", ": ",
               Quoted(options.simStatus) +
                   " is not a list of two-digit hex values, XX, timeout or replug (for "
                   "example 30,38,30)");
        return;
    }
    const auto ignored = ParseList(options.simIgnoreWrites, ParseHexByte);
    if (!ignored) {
        Refuse(choice, "ZR5130_SIM_IGNORE_WRITES", ": ",
               Quoted(options.simIgnoreWrites) +
                   " is not a list of two-digit hex registers (for example A5,A1)");
        return;
    }
    const auto timeout = ParseSeconds(options.simTimeout);
    if (!timeout) {
        Refuse(choice, "ZR5130_SIM_TIMEOUT", ": ",
               Quoted(options.simTimeout) +
                   " is not a number of seconds from 0 to 3600 (for example 2 or 0.5)");
        return;
    }
    auto board = std::make_unique<SimBoard>();
    board->SetTimeout(*timeout);
    if (image) board->Load(*image);
    board->SetStatusSequence(*sequence);
    board->IgnoreWrites(*ignored);
    choice.adapter = std::move(board);
}

void ChooseBusByName(AdapterChoice& choice, const AdapterOptions& options,
                     const std::string& namePart, const std::string& source)
{
    if (namePart.empty()) {
        Refuse(choice, source, "=i2c: ", "needs part of the adapter's name (i2c:CP2112)");
        return;
    }
    const I2cBusLookup found = FindI2cBusByName(namePart, options.sysClassDir);
    if (!found.error.empty()) {
        Refuse(choice, source, ": ", found.error);
        return;
    }
    auto adapter = std::make_unique<LinuxI2cAdapter>(found.bus.node, SystemCalls(options));
    adapter->FollowBusName(namePart, options.sysClassDir);
    choice.adapter = std::move(adapter);
    choice.notice = Notice("using the I2C bus " + DescribeI2cBus(found.bus));
}

}  // namespace

DumpErrorParts SplitDumpError(const std::string& name, std::string_view error)
{
    DumpErrorParts parts;
    if (error.starts_with(name + ":")) error.remove_prefix(name.size() + 1);
    size_t digits = 0;
    while (digits < error.size() && digits < 9 &&
           std::isdigit(static_cast<unsigned char>(error[digits])))
        ++digits;
    if (digits > 0 && digits < error.size() && error[digits] == ':') {
        parts.line = std::stoi(std::string(error.substr(0, digits)));
        error.remove_prefix(digits + 1);
    }
    if (error.starts_with(' ')) error.remove_prefix(1);
    parts.what = std::string(error);
    return parts;
}

AdapterOptions AdapterOptionsFromEnvironment()
{
    AdapterOptions options;
    if (const char* status = std::getenv("ZR5130_SIM_STATUS")) options.simStatus = status;
    if (const char* ignored = std::getenv("ZR5130_SIM_IGNORE_WRITES"))
        options.simIgnoreWrites = ignored;
    if (const char* timeout = std::getenv("ZR5130_SIM_TIMEOUT")) options.simTimeout = timeout;
    return options;
}

AdapterChoice ChooseAdapter(const char* setting, const AdapterOptions& options,
                            const std::string& source)
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
            Refuse(choice, source, "=sim: ", "needs a register dump file (sim:FILE)");
            return choice;
        }
        RegisterImage image;
        if (std::string error; !LoadRegisterImage(path, image, error, options.dash)) {
            RefuseDump(choice, source, path, error, options.dash);
            return choice;
        }
        ChooseSimBoard(choice, options, &image);
        if (choice.error.empty())
            choice.notice =
                Notice("using the simulated board with the registers of " + Shown(path));
        return choice;
    }

    if (value.starts_with(kBusNamePrefix)) {
        ChooseBusByName(choice, options, std::string(value.substr(kBusNamePrefix.size())), source);
        return choice;
    }

    if (value.starts_with('/')) {
        const std::string node(value);
        choice.adapter = std::make_unique<LinuxI2cAdapter>(node, SystemCalls(options));
        choice.notice = Notice("using the I2C bus " + node);
        return choice;
    }

    if (value == "none") {
        const bool words = source.find(' ') != std::string::npos;
        choice.notice = Notice("no adapter connected (" + source + (words ? " is " : "=") + "none)");
        return choice;
    }

    Refuse(choice, source, ": ",
           "unknown adapter " + Quoted(value, kWholeText) +
               " (use sim, sim:FILE, none, /dev/i2c-N or i2c:NAME)");
    return choice;
}

