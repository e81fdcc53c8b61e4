#pragma once

#include <cstdint>
#include <functional>
#include <string>

// A log of register operations ("R A5 3C ok", "W A5 3C fail"), appended to a
// regular file or written to a terminal (/dev/stderr), or for a program that
// may wait on it (zr5130ctl, Python) also to a pipe or standard output. Each
// line is written as the access happens, so a crash or a closed terminal
// loses none. Writing never waits, but on a pipe where waiting was allowed:
// a line that would (a terminal stopped with Ctrl+S, a serial port under
// flow control, a pipe of the panel's) stops the file there, as a write
// error does. A
// file stopped by an error ends on its last whole line: a line cut short (a
// full disk) is taken back out of a regular file, so the file always reads
// back. A chip object (ChipLink) points at the files its accesses go to.
struct RecordedWrites {
    int done = 0;    // "W A7 1F ok" lines
    int failed = 0;  // "W A7 1F fail" lines: writes the chip did not take
};

class TraceFile {
public:
    // Told once when a line cannot be written, with the reason ("NAME:
    // cannot write: No space left on device"); nothing is printed here.
    using LostHandler = std::function<void(const std::string& reason)>;

    TraceFile() = default;
    ~TraceFile() { Close(); }
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    // May a pipe's reader hold up the accesses? The panel never waits on its files.
    enum class PipeWait { Refused, Allowed };

    // name is how messages call the file (for example "ZR5130_TRACE=trace.txt");
    // the path itself when empty. With PipeWait::Allowed a pipe is taken too,
    // and written as pipelines write: waiting while its reader catches up.
    bool Open(const std::string& path, std::string& error, const std::string& name = {},
              PipeWait pipes = PipeWait::Refused);
    // Standard output, sharing its offset with what else the program prints
    // there; its writes wait as the program's own do.
    bool OpenStandardOutput(std::string& error);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    // True once a line could not be written; the file stopped there.
    bool IsLost() const { return m_lost; }
    const std::string& LostReason() const { return m_lostReason; }
    RecordedWrites Writes() const { return m_writes; }
    void OnLost(LostHandler handler) { m_onLost = std::move(handler); }

    void Read(uint8_t reg, uint8_t value, bool ok) { Line('R', reg, value, ok, ok); }
    void Write(uint8_t reg, uint8_t value, bool ok) { Line('W', reg, value, true, ok); }

private:
    void Restart(std::string name);
    void Line(char op, uint8_t reg, uint8_t value, bool showValue, bool ok);
    bool WriteAll(const char* data, size_t size);
    void TakeBack(size_t written) const;
    void Lost(int error);

    int m_fd = -1;
    bool m_lost = false;
    RecordedWrites m_writes;
    LostHandler m_onLost;
    std::string m_name;
    std::string m_lostReason;
};

// The panel's two files, which its device link (DeviceLink.h) writes: the
// trace asked for with ZR5130_TRACE, and the recording of the window menu's
// Record Session. A lost line is said on standard error under the program's
// name.
bool TraceOpen(const std::string& path, std::string& error, const std::string& name = {});
void TraceClose();
bool TraceEnabled();
// True once a line could not be written; that was said on standard error,
// and the trace stopped there.
bool TraceLost();
TraceFile& PanelTrace();

// The recording: the same lines, appended to a second file from
// RecordingOpen until RecordingClose, which answers how many register writes
// it holds. A line that cannot be written stops the recording; that is said
// on standard error and handed to the handler set with RecordingOnLost
// (called from within the register access).
bool RecordingOpen(const std::string& path, std::string& error);
RecordedWrites RecordingClose();
bool RecordingActive();
void RecordingOnLost(std::function<void(const std::string& reason)> handler);
TraceFile& PanelRecording();
