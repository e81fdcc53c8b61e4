#include "TextInput.h"

#include "FileOpen.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Appends what fd holds up to just past the bound; false and errno on a
// read error.
bool ReadBounded(int fd, std::string& text)
{
    char chunk[16 * 1024];
    while (text.size() <= kMaxTextInputBytes) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        text.append(chunk, static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

std::string TextInputName(const std::string& path)
{
    return path == kStandardInputPath ? "standard input" : path;
}

bool ReadTextInput(const std::string& path, std::string& text, std::string& error)
{
    const std::string name = TextInputName(path);
    if (path == kStandardInputPath) {
        if (ReadBounded(STDIN_FILENO, text))
            return true;
        error = name + ": cannot read: " + std::strerror(errno);
        return false;
    }
    std::string reason;
    const int fd = OpenFile(path, O_RDONLY, kRegularFile, reason);
    if (fd < 0) {
        error = name + ": " + reason;
        return false;
    }
    const bool read = ReadBounded(fd, text);
    if (!read)
        error = name + ": cannot read: " + std::strerror(errno);
    ::close(fd);
    return read;
}
