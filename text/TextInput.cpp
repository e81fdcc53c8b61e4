#include "TextInput.h"

#include "FileOpen.h"
#include "Shown.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

// Standard input is whatever the caller made it (a pipe, a terminal, a
// file) and is waited for like any filter's; only its size is bounded.
bool ReadStandardInput(std::string& text, std::string& reason)
{
    char chunk[16 * 1024];
    while (text.size() <= kMaxTextInputBytes) {
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            reason = std::string("cannot read: ") + std::strerror(errno);
            return false;
        }
        if (n == 0)
            break;
        text.append(chunk, static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

std::string TextInputName(const std::string& path, Dash dash)
{
    return dash == Dash::IsStandardInput && path == kStandardInputPath ? "standard input"
                                                                       : Shown(path);
}

bool ReadTextInput(const std::string& path, Dash dash, std::string& text, std::string& error)
{
    std::string reason;
    const bool read = dash == Dash::IsStandardInput && path == kStandardInputPath
                          ? ReadStandardInput(text, reason)
                          : ReadRegularFile(path, kMaxTextInputBytes, 0, text, reason);
    if (!read)
        error = TextInputName(path, dash) + ": " + reason;
    return read;
}
