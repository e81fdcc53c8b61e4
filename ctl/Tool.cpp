#include "Tool.h"

#include "AdapterMemory.h"
#include "AdapterOrder.h"
#include "HexInput.h"
#include "JsonReport.h"
#include "Shown.h"
#include "StandardOutput.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

void Tell(const std::string& message, std::optional<uint8_t> reg)
{
    NoteProblem(message, reg);
    std::fprintf(stderr, "%s: %s\n", kProgramName, message.c_str());
}

}  // namespace

void Problem(const std::string& message) { Tell(message, std::nullopt); }

void Problem(const std::string& message, uint8_t reg) { Tell(message, reg); }

std::string RegisterList(const std::vector<uint8_t>& registers)
{
    std::string text = registers.size() == 1 ? "register " : "registers ";
    for (size_t i = 0; i < registers.size(); ++i)
        text += (i ? ", " : "") + HexByteText(registers[i]);
    return text;
}

Tool::~Tool() = default;

int Tool::CheckOptions()
{
    if (adapterGiven && adapter.empty()) {
        Problem("--adapter is empty; give sim for the simulated board, or one that '" +
                std::string(kProgramName) + " adapters' lists");
        return kExitBadInput;
    }
    if (adapterGiven && !each.empty()) {
        Problem("--each and --adapter cannot be given together; give --each once per board "
                "(--each sim:A --each sim:B), or --adapter for one");
        return kExitBadInput;
    }
    if (json && trace == kStandardOutputTrace) {
        Problem("--trace - and --json cannot be given together: both would write to standard "
                "output; give --trace a file, or a pipe such as >(cat >&2)");
        return kExitBadInput;
    }
    if (std::ranges::find(each, std::string()) != each.end()) {
        Problem("--each is empty; give an adapter for each board, as 'zr5130ctl adapters' lists "
                "them");
        return kExitBadInput;
    }
    if (!each.empty()) {
        m_boards.clear();
        for (const std::string& setting : each) m_boards.emplace_back().setting = setting;
    }
    return kExitDone;
}

bool Tool::ClaimStandardInput(const std::string& who)
{
    if (m_standardInputTaker.empty()) {
        m_standardInputTaker = who;
        return true;
    }
    const std::string takers =
        who == m_standardInputTaker ? who + " twice" : m_standardInputTaker + " and " + who;
    Problem(takers + ": standard input can be read only once; save it to a file and name that");
    return false;
}

std::string Tool::BoardLabel() const { return Each() ? m_boards[m_current].setting : ""; }

int Tool::StartTrace()
{
    if (m_traceStarted) return kExitDone;
    m_traceStarted = true;
    const char* path = trace.empty() ? std::getenv("ZR5130_TRACE") : trace.c_str();
    if (!path || !*path) return kExitDone;
    std::string error;
    m_trace.OnLost([](const std::string& reason) { Problem(reason + "; the trace stops here"); });
    const bool opened =
        trace == kStandardOutputTrace
            ? m_trace.OpenStandardOutput(error)
            : m_trace.Open(path, error,
                           (trace.empty() ? "ZR5130_TRACE=" : "--trace=") + Shown(path),
                           TraceFile::PipeWait::Allowed);
    if (opened) return kExitDone;
    Problem(error);
    return kExitBadInput;
}

int Tool::OpenChip()
{
    Board& board = m_boards[m_current];
    if (board.tried) return board.openStatus;
    board.tried = true;
    if (Each() && !m_allDone) {
        // As head(1) lays out several files: a blank line between boards.
        const bool first = std::ranges::none_of(
            m_boards, [&](const Board& b) { return &b != &board && b.tried; });
        if (!json) Print((first ? "==> " : "\n==> ") + board.setting + " <==\n");
    }
    board.openStatus = OpenBoard(board);
    return board.openStatus;
}

int Tool::OpenBoard(Board& board)
{
    const AdapterSetting chosen =
        Each() ? FindAdapterSetting(board.setting, "--each")
               : FindAdapterSetting(adapterGiven ? std::optional(adapter) : std::nullopt,
                                    "--adapter");
    if (!chosen.refusal.empty()) {
        Problem(chosen.refusal + "; give --adapter, or choose again under Adapter in "
                                 "zr5130-eval's window menu");
        return kExitBadInput;
    }
    if (chosen.setting.empty()) {
        Problem("no adapter chosen; give --adapter sim for the simulated board, or one that '" +
                std::string(kProgramName) +
                " adapters' lists (or set ZR5130_ADAPTER, or choose one under Adapter in "
                "zr5130-eval's window menu)");
        return kExitBadInput;
    }
    NoteAdapterInUse(AdapterShownName(chosen.setting));
    // Standard input is for the one who runs the command, never a setting kept.
    AdapterOptions options = AdapterOptionsFromEnvironment();
    options.dash = chosen.remembered ? Dash::IsAFile : Dash::IsStandardInput;
    if (options.dash == Dash::IsStandardInput && chosen.setting == "sim:-" &&
        !ClaimStandardInput(chosen.source + "=sim:-"))
        return kExitBadInput;
    AdapterChoice choice =
        ChooseRecalledAdapter(chosen.setting, chosen.busName, options, chosen.source);
    if (!choice.error.empty()) {
        Problem(choice.error);
        return kExitBadInput;
    }
    if (const int status = StartTrace(); status != kExitDone) return status;

    const bool connected = choice.adapter != nullptr;
    board.chip = std::make_unique<ChipLink>(std::move(choice.adapter),
                                            AdapterShownName(chosen.setting));
    board.chip->AddTrace(m_trace);
    if (board.chip->Open()) return kExitDone;
    Problem(connected ? board.chip->OpenFailureLine()
                      : "no adapter connected (" + chosen.source +
                            " is none); choose one with --adapter");
    return kExitFailed;
}

bool Tool::Reopen(std::string& why)
{
    ClearStuck();
    if (Chip().Open()) return true;
    why = Chip().OpenProblem().text;
    if (why.empty()) why = AdapterName() + " did not come up again";
    return false;
}

std::optional<uint8_t> Tool::Read(uint8_t reg)
{
    const std::optional<uint8_t> value = Chip().Read(reg);
    if (!value) m_failedReads.push_back({reg, FailureCause()});
    return value;
}

WriteCheck Tool::Write(uint8_t reg, uint8_t value) { return Chip().WriteVerified(reg, value); }

void Tool::TellFailedReads(const std::string& prefix, const std::string& suffix)
{
    while (!m_failedReads.empty()) {
        const std::string cause = m_failedReads.front().cause;
        std::vector<uint8_t> registers;
        std::erase_if(m_failedReads, [&](const FailedRead& failed) {
            if (failed.cause != cause) return false;
            if (std::ranges::find(registers, failed.reg) == registers.end())
                registers.push_back(failed.reg);
            return true;
        });
        Problem(prefix + RegisterList(registers) + ": " + cause + suffix, registers.front());
    }
}
