#include "DeviceLink.h"

#include "ProgramName.h"
#include "Trace.h"

#include <cstdio>
#include <set>

int32_t g_adapterHandle = 0;

namespace {

// An adapter problem is told on standard error once, and then kept quiet
// until an access succeeds again, so that a readback of an unpowered board
// gives one line, not one per register.
std::set<std::string>& Told()
{
    static std::set<std::string> told;
    return told;
}

void TellOnce(const std::string& line)
{
    if (!line.empty() && Told().insert(line).second)
        std::fprintf(stderr, "%s: %s\n", LinkProgramName(), line.c_str());
}

void Succeeded()
{
    if (!Told().empty()) [[unlikely]]
        Told().clear();
}

// A stuck bus is told by whoever runs the action, once per action.
void AccessFailed(ChipLink& chip)
{
    if (!chip.StuckCause())
        TellOnce(chip.LastFailure().problem.text);
}

}  // namespace

ChipLink& LinkChip()
{
    static ChipLink chip;
    [[maybe_unused]] static const bool traced = [] {
        chip.AddTrace(PanelTrace());
        chip.AddTrace(PanelRecording());
        return true;
    }();
    return chip;
}

int AdapterOpen(uint8_t& rfw)
{
    ChipLink& chip = LinkChip();
    const int result = chip.Open(rfw);
    g_adapterHandle = chip.Handle();
    if (result == kAdapterOk)
        Succeeded();
    else
        TellOnce(chip.OpenProblem().text);
    return result;
}

int AdapterFfwVersion(uint8_t& ffw)
{
    ffw = LinkChip().PackedFfw();
    return 0;
}

int RegRead(unsigned address, uint8_t reg, uint8_t& value)
{
    ChipLink& chip = LinkChip();
    // What is told of it, too, is told once whichever thread made it.
    const std::lock_guard hold(chip.BusLock());
    if (chip.Read(reg, value, address)) {
        Succeeded();
        return 0;
    }
    AccessFailed(chip);
    return 1;
}

int RegWrite(unsigned address, uint8_t reg, uint8_t value)
{
    ChipLink& chip = LinkChip();
    // What is told of it, too, is told once whichever thread made it.
    const std::lock_guard hold(chip.BusLock());
    if (chip.Write(reg, value, address)) {
        Succeeded();
        return 0;
    }
    AccessFailed(chip);
    return 1;
}

const std::string* LinkStuckCause() { return LinkChip().StuckCause(); }

void LinkClearStuck() { LinkChip().ClearStuck(); }

std::string LinkAccessFailure() { return LinkChip().LastFailure().problem.text; }

LinkSession LinkSaveSession() { return LinkChip().Session(); }

void LinkRestoreSession(const LinkSession& session)
{
    LinkChip().RestoreSession(session);
    g_adapterHandle = session.handle;
}

void LinkResetSession() { LinkRestoreSession({}); }
