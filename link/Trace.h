#pragma once

#include <cstdint>
#include <string>

// Optional log of every register operation ("R A5 3C ok", "W A5 3C fail"),
// appended to a regular file or written to a terminal (/dev/stderr). Each
// line is written as the access happens, so a crash or a closed terminal
// loses none. name is how messages call the file (for example
// "ZR5130_TRACE=trace.txt"); the path itself when empty.
bool TraceOpen(const std::string& path, std::string& error, const std::string& name = {});
void TraceClose();
bool TraceEnabled();
// True once a line could not be written; that was said on standard error,
// and the trace stopped there.
bool TraceLost();
void TraceRead(uint8_t reg, uint8_t value, bool ok);
void TraceWrite(uint8_t reg, uint8_t value, bool ok);
