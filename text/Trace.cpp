#include "Trace.h"

#include "FileOpen.h"
#include "ProgramName.h"
#include "Shown.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// "R A5 3C ok", "R A5 -- fail", "W A5 3C fail" into line; its length.
// Formatted by hand: this runs for every register access, and a simulated
// access costs far less than a printf.
size_t FormatLine(char (&line)[16], char op, uint8_t reg, uint8_t value, bool showValue, bool ok)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    const char start[8] = {op, ' ', kHex[reg >> 4], kHex[reg & 0x0F], ' ', '-', '-', ' '};
    std::memcpy(line, start, sizeof start);
    if (showValue) {
        line[5] = kHex[value >> 4];
        line[6] = kHex[value & 0x0F];
    }
    const char* outcome = ok ? "ok\n" : "fail\n";
    const size_t outcomeLength = ok ? 3 : 5;
    std::memcpy(line + 8, outcome, outcomeLength);
    return 8 + outcomeLength;
}

}  // namespace

void TraceFile::Restart(std::string name)
{
    Close();
    m_name = std::move(name);
    m_lost = false;
    m_lostReason.clear();
    m_writes = {};
}

bool TraceFile::Open(const std::string& path, std::string& error, const std::string& name,
                     PipeWait pipes)
{
    Restart(name.empty() ? Shown(path) : name);
    std::string reason;
    const unsigned kinds =
        kRegularFile | kCharacterDevice | (pipes == PipeWait::Allowed ? kPipe : 0u);
    m_fd = OpenFile(path, O_WRONLY | O_APPEND | O_CREAT, kinds, reason);
    if (m_fd < 0) {
        error = m_name + ": " + reason;
        return false;
    }
    struct stat st {};
    if (::fstat(m_fd, &st) == 0 && S_ISFIFO(st.st_mode))
        ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
    return true;
}

bool TraceFile::OpenStandardOutput(std::string& error)
{
    Restart("standard output");
    m_fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    if (m_fd >= 0) return true;
    error = m_name + ": " + std::strerror(errno);
    return false;
}

void TraceFile::Close()
{
    if (m_fd >= 0 && ::close(m_fd) != 0)
        Lost(errno);
    m_fd = -1;
}

void TraceFile::Line(char op, uint8_t reg, uint8_t value, bool showValue, bool ok)
{
    if (m_fd < 0 || m_lost)
        return;
    char line[16];
    const size_t size = FormatLine(line, op, reg, value, showValue, ok);
    if (!WriteAll(line, size) || op != 'W')
        return;
    ++(ok ? m_writes.done : m_writes.failed);
}

bool TraceFile::WriteAll(const char* data, size_t size)
{
    size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(m_fd, data + written, size - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : EIO;
            TakeBack(written);
            Lost(error);
            return false;
        }
        written += static_cast<size_t>(n);
    }
    return true;
}

// The part of a line that got out before the error, out of a regular file
// again: a reader then finds whole lines only.
void TraceFile::TakeBack(size_t written) const
{
    struct stat st {};
    if (written == 0 || ::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_size < static_cast<off_t>(written))
        return;
    // Failing too leaves nothing better to do: the loss is told anyway.
    [[maybe_unused]] const int rc = ::ftruncate(m_fd, st.st_size - static_cast<off_t>(written));
}

void TraceFile::Lost(int error)
{
    if (m_lost)
        return;
    m_lost = true;
    m_lostReason = error == EAGAIN ? m_name + " would block"
                                   : m_name + ": cannot write: " + std::strerror(error);
    if (m_onLost)
        m_onLost(m_lostReason);
}

namespace {

std::function<void(const std::string&)> g_onRecordingLost;

void TellLost(const std::string& reason, const char* what)
{
    std::fprintf(stderr, "%s: %s; the %s stops here\n", LinkProgramName(), reason.c_str(), what);
}

}  // namespace

// Made on first use, so they are ready whenever something traces, even from
// another file's static initialiser.
TraceFile& PanelTrace()
{
    static TraceFile trace;
    [[maybe_unused]] static const bool told = [] {
        trace.OnLost([](const std::string& reason) { TellLost(reason, "trace"); });
        return true;
    }();
    return trace;
}

TraceFile& PanelRecording()
{
    static TraceFile recording;
    [[maybe_unused]] static const bool told = [] {
        recording.OnLost([](const std::string& reason) {
            TellLost(reason, "recording");
            if (g_onRecordingLost)
                g_onRecordingLost(reason);
        });
        return true;
    }();
    return recording;
}

bool TraceOpen(const std::string& path, std::string& error, const std::string& name)
{
    return PanelTrace().Open(path, error, name);
}

void TraceClose() { PanelTrace().Close(); }

bool TraceEnabled() { return PanelTrace().IsOpen(); }

bool TraceLost() { return PanelTrace().IsLost(); }

bool RecordingOpen(const std::string& path, std::string& error)
{
    return PanelRecording().Open(path, error);
}

RecordedWrites RecordingClose()
{
    PanelRecording().Close();
    return PanelRecording().Writes();
}

bool RecordingActive() { return PanelRecording().IsOpen() && !PanelRecording().IsLost(); }

void RecordingOnLost(std::function<void(const std::string& reason)> handler)
{
    g_onRecordingLost = std::move(handler);
}
