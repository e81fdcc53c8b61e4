#pragma once

#include "ChipLink.h"
#include "Output.h"

#include <cstdint>
#include <string>
#include <vector>

class Tool;

// The writes a command makes, each read back and compared (the burn
// register only acknowledged), and what they read back: what write, set,
// load, burn, restore and replay report under --json. A command stops at
// the first write that fails.
class WriteLog {
public:
    struct Write {
        uint8_t reg;
        uint8_t value;
        WriteCheck check;
        std::string cause;  // why the write failed; empty when it did not
        bool Ok() const { return check.Ok(); }
    };

    explicit WriteLog(Tool& tool) : m_tool(tool) {}

    // Writes, reads back and compares; false when any of it failed.
    bool Make(uint8_t reg, uint8_t value);
    // Reads every register whose write went through once more, in the order
    // first written: the burn steps' own check. A failed read is the tool's
    // to tell.
    void ReadBack();

    const std::vector<Write>& Writes() const { return m_writes; }
    const Write* Failed() const;
    // One line for the write that failed, starting with prefix: "write of
    // 3C to register A5 failed: CAUSE", "register A5 reads 00 after 07 was
    // written"; with several writes planned, what was written before it.
    void TellFailure(const std::string& prefix, size_t planned = 1) const;

    // {"writes": [{"address": "A5", "value": "3C", "ok": true}, ...],
    //  "readBack": [{"address": "A5", "value": "3C"}, ...]}
    Json ToJson() const;

private:
    Tool& m_tool;
    std::vector<Write> m_writes;
    std::vector<RegisterReading> m_readBacks;  // ReadBack's
};

// "written before it: A5, 16", or "nothing was written before it".
std::string WrittenBefore(const std::vector<uint8_t>& registers);

// Why reg may not be written because the map calls it read-only ("register
// 02 (Status) is read-only; nothing was written"); empty when it may.
std::string ReadOnlyRefusal(uint8_t reg);
// "register 02 (Status)"; without a name for a register the map lacks.
std::string RegisterNamed(uint8_t reg);
