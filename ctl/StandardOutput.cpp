#include "StandardOutput.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

int g_failure = 0;  // errno of the first failed write; 0 while none has failed

void WaitUntilWritable()
{
    pollfd writable{STDOUT_FILENO, POLLOUT, 0};
    while (::poll(&writable, 1, -1) < 0 && errno == EINTR) {
    }
}

}  // namespace

void KeepStandardDescriptorsOpen()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // open takes the lowest free descriptor, which is fd itself.
        ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (fd == STDOUT_FILENO) g_failure = EBADF;
    }
}

bool Print(std::string_view text)
{
    while (g_failure == 0 && !text.empty()) {
        const ssize_t n = ::write(STDOUT_FILENO, text.data(), text.size());
        if (n > 0) {
            text.remove_prefix(size_t(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // Standard output was left non-blocking by whoever started us.
            WaitUntilWritable();
        } else {
            g_failure = n < 0 ? errno : EIO;
        }
    }
    return g_failure == 0;
}

bool OutputFailed() { return g_failure != 0; }

void OutputReaderGone()
{
    std::raise(SIGPIPE);
    if (g_failure == 0) g_failure = EPIPE;
}

std::string OutputFailure() { return std::strerror(g_failure); }
