#include "WriteLog.h"

#include "HexInput.h"
#include "Tool.h"

#include <algorithm>

namespace {

using Outcome = WriteCheck::Outcome;

std::string CauseOf(const WriteCheck& check, uint8_t reg, uint8_t value, const Tool& tool)
{
    switch (check.outcome) {
    case Outcome::Done: return {};
    case Outcome::Refused: return ReadOnlyRefusal(reg);
    case Outcome::WriteFailed:
        return "write of " + HexByteText(value) + " to register " + HexByteText(reg) +
               " failed: " + tool.FailureCause();
    case Outcome::ReadFailed:
        return "register " + HexByteText(reg) + ": reading back " + HexByteText(value) +
               " failed: " + tool.FailureCause();
    case Outcome::Differs:
        return "register " + HexByteText(reg) + " reads " + HexByteText(*check.read) + " after " +
               HexByteText(value) + " was written";
    }
    return {};
}

}  // namespace

std::string WrittenBefore(const std::vector<uint8_t>& registers)
{
    if (registers.empty()) return "nothing was written before it";
    std::string text = "written before it: ";
    for (size_t i = 0; i < registers.size(); ++i)
        text += (i ? ", " : "") + HexByteText(registers[i]);
    return text;
}

bool WriteLog::Make(uint8_t reg, uint8_t value)
{
    const WriteCheck check = m_tool.Write(reg, value);
    m_writes.push_back({reg, value, check, CauseOf(check, reg, value, m_tool)});
    return check.Ok();
}

void WriteLog::ReadBack()
{
    // Each read would fail at once, and the stuck bus has been told.
    if (m_tool.BusStuck()) return;
    std::vector<uint8_t> done;
    for (const Write& write : m_writes)
        if (write.Ok() && std::ranges::find(done, write.reg) == done.end()) {
            done.push_back(write.reg);
            m_readBacks.push_back({write.reg, m_tool.Read(write.reg)});
        }
}

const WriteLog::Write* WriteLog::Failed() const
{
    const auto failed = std::ranges::find_if(m_writes, [](const Write& w) { return !w.Ok(); });
    return failed == m_writes.end() ? nullptr : &*failed;
}

void WriteLog::TellFailure(const std::string& prefix, size_t planned) const
{
    const Write* failed = Failed();
    if (!failed) return;
    std::string line = prefix + failed->cause;
    if (planned > 1) {
        std::vector<uint8_t> before;
        for (const Write* w = m_writes.data(); w != failed; ++w)
            if (std::ranges::find(before, w->reg) == before.end()) before.push_back(w->reg);
        line += "; " + WrittenBefore(before) + " (" + std::to_string(m_writes.size() - 1) +
                " of " + std::to_string(planned) + " writes)";
    }
    Problem(line, failed->reg);
}

Json WriteLog::ToJson() const
{
    Json writes = Json::array();
    std::vector<RegisterReading> readBacks = m_readBacks;
    for (const Write& write : m_writes) {
        writes.push_back({{"address", HexByteText(write.reg)},
                          {"value", HexByteText(write.value)},
                          {"ok", write.Ok()}});
        if (!m_readBacks.empty() || write.check.outcome == Outcome::Refused ||
            write.check.outcome == Outcome::WriteFailed)
            continue;
        const auto same = std::ranges::find(readBacks, write.reg, &RegisterReading::reg);
        const RegisterReading reading{write.reg, write.check.read};
        if (same == readBacks.end())
            readBacks.push_back(reading);
        else
            *same = reading;
    }
    Json readBack = Json::array();
    for (const RegisterReading& reading : readBacks) readBack.push_back(ReadingJson(reading));
    return Json{{"writes", writes}, {"readBack", readBack}};
}

std::string RegisterNamed(uint8_t reg)
{
    const chip::RegisterInfo* info = chip::FindRegister(reg);
    return "register " + HexByteText(reg) + (info ? " (" + std::string(info->name) + ")" : "");
}

std::string ReadOnlyRefusal(uint8_t reg)
{
    const chip::RegisterInfo* info = chip::FindRegister(reg);
    if (!info || info->access != chip::Access::ReadOnly) return {};
    return RegisterNamed(reg) + " is read-only; nothing was written";
}
