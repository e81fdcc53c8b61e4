#include "ChipActions.h"

#include "ConfigLoad.h"
#include "Dumps.h"
#include "Errors.h"
#include "HexInput.h"
#include "Quote.h"
#include "Restore.h"

#include <exception>
#include <stdexcept>
#include <vector>

namespace {

std::string RegisterNames(const std::vector<uint8_t>& registers)
{
    std::string text;
    for (uint8_t reg : registers) text += (text.empty() ? "0x" : ", 0x") + HexByteText(reg);
    return text;
}

std::string WrittenBefore(const std::vector<uint8_t>& written)
{
    return written.empty() ? "nothing was written before it"
                           : "written before it: " + RegisterNames(written);
}

struct Mismatch {
    uint8_t reg;
    uint8_t wrote;
    uint8_t read;
};

}  // namespace

void Restore(ChipSession& chip, const RegisterReadings& dump)
{
    const std::vector<RegisterValue> writes = RestoreWrites(ImageOf(dump).values);
    if (writes.empty())
        throw std::invalid_argument("the dump holds none of the registers restore writes (" +
                                    RegisterNames({RestoreOrder().begin(), RestoreOrder().end()}) +
                                    "); nothing was written");

    const ChipSession::ActionLock action = chip.Begin();
    std::exception_ptr busFailure;
    std::vector<Mismatch> mismatches;
    size_t tried = 0;
    for (const RegisterValue& write : writes) {
        if (chip.Stuck()) break;
        ++tried;
        try {
            const WriteCheck check = chip.WriteCheckedOnce(write.reg, write.value);
            if (check.outcome == WriteCheck::Outcome::Differs)
                mismatches.push_back({write.reg, write.value, *check.read});
        } catch (const BusFailure& failure) {
            if (!busFailure)
                busFailure = std::make_exception_ptr(
                    BusFailure(failure.reg,
                               failure.cause + "; " + std::to_string(tried) + " of " +
                                   std::to_string(writes.size()) + " registers tried",
                               failure.error));
        }
    }
    if (busFailure) std::rethrow_exception(busFailure);
    if (!mismatches.empty()) {
        std::vector<uint8_t> registers;
        for (const Mismatch& m : mismatches) registers.push_back(m.reg);
        const Mismatch& first = mismatches.front();
        throw MismatchFailure(first.reg, first.wrote, first.read,
                              std::to_string(mismatches.size()) + " of " +
                                  std::to_string(writes.size()) +
                                  " registers read back otherwise: " + RegisterNames(registers));
    }
    chip.End();
}

std::string Load(ChipSession& chip, const std::string& entry)
{
    const std::optional<int> index = ConfigEntryNamed(entry);
    if (!index)
        throw std::invalid_argument("unknown configuration " + Quoted(entry) + " (use E00 to E15)");

    const ChipSession::ActionLock action = chip.Begin();
    uint8_t control = 0;
    try {
        control = chip.ReadOnce(chip::kEnableBacklight.reg);
    } catch (const BusFailure& failure) {
        throw BusFailure(failure.reg, failure.cause + "; nothing was written", failure.error);
    }
    // The first write that fails ends the Load; LoadConfig is told so, and
    // the failure is raised once it returns.
    std::exception_ptr failed;
    std::vector<uint8_t> written;
    const LoadResult load = LoadConfig(*index, control, [&](uint8_t reg, uint8_t value) {
        if (failed) return false;
        try {
            const WriteCheck check = chip.WriteCheckedOnce(reg, value);
            if (check.outcome == WriteCheck::Outcome::Differs) {
                failed = std::make_exception_ptr(
                    MismatchFailure(reg, value, *check.read, WrittenBefore(written)));
                return false;
            }
        } catch (const BusFailure& failure) {
            failed = std::make_exception_ptr(BusFailure(
                failure.reg, failure.cause + "; " + WrittenBefore(written), failure.error));
            return false;
        }
        written.push_back(reg);
        return true;
    });
    if (failed) std::rethrow_exception(failed);
    chip.End();
    return load.StatusText();
}

uint8_t Burn(ChipSession& chip, const std::string& step, bool confirm)
{
    if (step != "prepare" && step != "complete")
        throw std::invalid_argument("burn step " + Quoted(step) +
                                    " is neither 'prepare' nor 'complete'");
    if (!confirm)
        throw std::invalid_argument(
            "burn " + step + " writes " + HexByteText(kBurnValue) +
            " to the EEPROM burn register " + HexByteText(kBurnRegister) +
            (step == "complete" ? ", burning the configuration into the EEPROM for good" : "") +
            "; pass confirm=True to go on (nothing was written)");

    const ChipSession::ActionLock action = chip.Begin();
    chip.WriteCheckedOnce(kBurnRegister, kBurnValue);
    const uint8_t value = chip.ReadOnce(kBurnRegister);
    chip.End();
    return value;
}
