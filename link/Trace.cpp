#include "Trace.h"

#include "FileOpen.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

class TraceFile {
public:
    ~TraceFile() { Close(); }

    bool Open(const std::string& path, const std::string& name, std::string& error)
    {
        Close();
        m_name = name.empty() ? path : name;
        m_lost = false;
        std::string reason;
        m_fd = OpenFile(path, O_WRONLY | O_APPEND | O_CREAT, kRegularFile | kCharacterDevice,
                        reason);
        if (m_fd < 0) {
            error = m_name + ": " + reason;
            return false;
        }
        return true;
    }

    void Close()
    {
        if (m_fd >= 0 && ::close(m_fd) != 0)
            Lost(errno);
        m_fd = -1;
    }

    bool IsOpen() const { return m_fd >= 0; }
    bool IsLost() const { return m_lost; }

    // "R A5 3C ok", "R A5 -- fail", "W A5 3C fail". Formatted by hand: this
    // runs for every register access, and a simulated access costs far less
    // than a printf.
    void Line(char op, uint8_t reg, uint8_t value, bool showValue, bool ok)
    {
        if (m_lost)
            return;
        static constexpr char kHex[] = "0123456789ABCDEF";
        char line[16] = {op, ' ', kHex[reg >> 4], kHex[reg & 0x0F], ' ', '-', '-', ' '};
        if (showValue) {
            line[5] = kHex[value >> 4];
            line[6] = kHex[value & 0x0F];
        }
        const char* outcome = ok ? "ok\n" : "fail\n";
        const size_t outcomeLength = ok ? 3 : 5;
        std::memcpy(line + 8, outcome, outcomeLength);
        Write(line, 8 + outcomeLength);
    }

private:
    void Write(const char* data, size_t size)
    {
        while (size > 0) {
            const ssize_t n = ::write(m_fd, data, size);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                Lost(n < 0 ? errno : EIO);
                return;
            }
            data += n;
            size -= static_cast<size_t>(n);
        }
    }

    void Lost(int error)
    {
        if (m_lost)
            return;
        m_lost = true;
        std::fprintf(stderr, "%s: cannot write: %s; the trace stops here\n", m_name.c_str(),
                     std::strerror(error));
    }

    int m_fd = -1;
    bool m_lost = false;
    std::string m_name;
};

// Constant-initialised, so it is ready before any other static could trace.
constinit TraceFile g_trace;

}  // namespace

bool TraceOpen(const std::string& path, std::string& error, const std::string& name)
{
    return g_trace.Open(path, name, error);
}

void TraceClose() { g_trace.Close(); }

bool TraceEnabled() { return g_trace.IsOpen(); }

bool TraceLost() { return g_trace.IsLost(); }

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
