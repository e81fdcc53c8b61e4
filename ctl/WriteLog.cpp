#include "WriteLog.h"

#include "HexInput.h"
#include "Tool.h"

#include <algorithm>
#include <iterator>

bool WriteLog::Make(uint8_t reg, uint8_t value)
{
    const bool ok = m_tool.Write(reg, value);
    m_writes.push_back({reg, value, ok, ok ? std::string() : m_tool.FailureCause()});
    return ok;
}

std::vector<WriteLog::Write> WriteLog::LastWrites() const
{
    std::vector<Write> last;
    for (const Write& write : m_writes) {
        const auto same = std::ranges::find(last, write.reg, &Write::reg);
        if (same == last.end())
            last.push_back(write);
        else
            *same = write;
    }
    return last;
}

void WriteLog::ReadBack()
{
    // Each read would fail at once, and the stuck bus has been told.
    if (m_tool.BusStuck()) return;
    for (const Write& write : LastWrites())
        if (write.ok) m_readBacks.push_back({write.reg, m_tool.Read(write.reg)});
}

void WriteLog::TellFailedWrites(const std::string& prefix) const
{
    std::vector<Write> failed;
    std::ranges::copy_if(m_writes, std::back_inserter(failed), [](const Write& w) { return !w.ok; });
    if (failed.size() == 1) {
        const Write& w = failed.front();
        Problem(prefix + "write of " + HexByteText(w.value) + " to register " + HexByteText(w.reg) +
                " failed: " + w.cause);
        return;
    }
    while (!failed.empty()) {
        const std::string cause = failed.front().cause;
        std::vector<uint8_t> registers;
        std::erase_if(failed, [&](const Write& w) {
            if (w.cause != cause) return false;
            if (std::ranges::find(registers, w.reg) == registers.end()) registers.push_back(w.reg);
            return true;
        });
        Problem(prefix + "writes to " + RegisterList(registers) + " failed: " + cause);
    }
}

Json WriteLog::ToJson() const
{
    Json writes = Json::array();
    for (const Write& write : m_writes)
        writes.push_back({{"address", HexByteText(write.reg)},
                          {"value", HexByteText(write.value)},
                          {"ok", write.ok}});
    Json readBack = Json::array();
    for (const RegisterReading& reading : m_readBacks) readBack.push_back(ReadingJson(reading));
    return Json{{"writes", writes}, {"readBack", readBack}};
}
