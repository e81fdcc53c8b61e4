#include "Trace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// A readback is 26 lines; a large buffer keeps the trace off the disk until
// it is closed or the program ends.
constexpr size_t kBufferSize = 64 * 1024;

class TraceFile {
public:
    ~TraceFile() { Close(); }

    bool Open(const std::string& path, std::string& error)
    {
        Close();
        m_file = std::fopen(path.c_str(), "a");
        if (!m_file) {
            error = path + ": cannot open: " + std::strerror(errno);
            return false;
        }
        std::setvbuf(m_file, m_buffer, _IOFBF, sizeof m_buffer);
        return true;
    }

    void Close()
    {
        if (m_file) {
            std::fclose(m_file);
            m_file = nullptr;
        }
    }

    bool IsOpen() const { return m_file != nullptr; }

    // "R A5 3C ok", "R A5 -- fail", "W A5 3C fail". Formatted by hand: this
    // runs for every register access, and a simulated access costs far less
    // than a printf.
    void Line(char op, uint8_t reg, uint8_t value, bool showValue, bool ok)
    {
        static constexpr char kHex[] = "0123456789ABCDEF";
        char line[16] = {op, ' ', kHex[reg >> 4], kHex[reg & 0x0F], ' ', '-', '-', ' '};
        if (showValue) {
            line[5] = kHex[value >> 4];
            line[6] = kHex[value & 0x0F];
        }
        const char* outcome = ok ? "ok\n" : "fail\n";
        const size_t outcomeLength = ok ? 3 : 5;
        std::memcpy(line + 8, outcome, outcomeLength);
        std::fwrite(line, 1, 8 + outcomeLength, m_file);
    }

private:
    std::FILE* m_file = nullptr;
    char m_buffer[kBufferSize] = {};
};

// Constant-initialised, so it is ready before any other static could trace;
// its destructor flushes whatever is still buffered when the program exits.
constinit TraceFile g_trace;

}  // namespace

bool TraceOpen(const std::string& path, std::string& error) { return g_trace.Open(path, error); }

void TraceClose() { g_trace.Close(); }

bool TraceEnabled() { return g_trace.IsOpen(); }

void TraceRead(uint8_t reg, uint8_t value, bool ok)
{
    if (g_trace.IsOpen())
        g_trace.Line('R', reg, value, ok, ok);
}

void TraceWrite(uint8_t reg, uint8_t value, bool ok)
{
    if (g_trace.IsOpen())
        g_trace.Line('W', reg, value, true, ok);
}
