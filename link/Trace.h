#pragma once

#include <cstdint>
#include <string>

// Optional log of every register operation ("R A5 3C ok", "W A5 3C fail"),
// appended to a file. Buffered; flushed when closed and at exit.
bool TraceOpen(const std::string& path, std::string& error);
void TraceClose();
bool TraceEnabled();
void TraceRead(uint8_t reg, uint8_t value, bool ok);
void TraceWrite(uint8_t reg, uint8_t value, bool ok);
