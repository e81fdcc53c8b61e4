#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Optional log of every register operation ("R A5 3C ok", "W A5 3C fail"),
// appended to a regular file or written to a terminal (/dev/stderr). Each
// line is written as the access happens, so a crash or a closed terminal
// loses none. Writing never waits: a line that would (a terminal stopped
// with Ctrl+S, a serial port under flow control) stops the file there, as
// a write error does. A file stopped by an error ends on its last whole
// line: a line cut short (a full disk) is taken back out of a regular file,
// so the file always reads back. name is how messages call the file (for
// example "ZR5130_TRACE=trace.txt"); the path itself when empty.
bool TraceOpen(const std::string& path, std::string& error, const std::string& name = {});
void TraceClose();
bool TraceEnabled();
// True once a line could not be written; that was said on standard error,
// and the trace stopped there.
bool TraceLost();
void TraceRead(uint8_t reg, uint8_t value, bool ok);
void TraceWrite(uint8_t reg, uint8_t value, bool ok);

// A recording beside the trace: the same lines, appended to a second file
// from RecordingOpen until RecordingClose, which answers how many register
// writes it holds. A line that cannot be written stops the recording; that
// is said on standard error and handed to the handler set with
// RecordingOnLost (called from within the register access).
struct RecordedWrites {
    int done = 0;    // "W A7 1F ok" lines
    int failed = 0;  // "W A7 1F fail" lines: writes the chip did not take
};
bool RecordingOpen(const std::string& path, std::string& error);
RecordedWrites RecordingClose();
bool RecordingActive();
void RecordingOnLost(std::function<void(const std::string& reason)> handler);
