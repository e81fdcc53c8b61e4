#pragma once

#include "Output.h"

#include <cstdint>
#include <string>
#include <vector>

class Tool;

// The writes a command makes, and what the registers it wrote read after
// them: what write, load, burn, restore and replay report under --json.
class WriteLog {
public:
    struct Write {
        uint8_t reg;
        uint8_t value;
        bool ok;
        std::string cause;  // why it failed
    };

    explicit WriteLog(Tool& tool) : m_tool(tool) {}

    bool Make(uint8_t reg, uint8_t value);
    // Reads every register whose last write went through, once each, in the
    // order first written. A failed read is the tool's to tell.
    void ReadBack();
    // One line per cause for the writes that failed, each line starting
    // with prefix: "writes to registers 01, A5 failed: no answer from ...".
    void TellFailedWrites(const std::string& prefix) const;

    const std::vector<Write>& Writes() const { return m_writes; }
    const std::vector<RegisterReading>& ReadBacks() const { return m_readBacks; }
    // The registers written, in the order first written, with the value
    // last written to each.
    std::vector<Write> LastWrites() const;
    // {"writes": [{"address": "A5", "value": "3C", "ok": true}, ...],
    //  "readBack": [{"address": "A5", "value": "3C"}, ...]}
    Json ToJson() const;

private:
    Tool& m_tool;
    std::vector<Write> m_writes;
    std::vector<RegisterReading> m_readBacks;
};
