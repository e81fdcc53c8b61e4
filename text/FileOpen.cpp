#include "FileOpen.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const char* FileKindName(unsigned mode)
{
    if (S_ISFIFO(mode))
        return "a named pipe";
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
    if (S_ISDIR(mode))
        return "a directory";
    if (S_ISSOCK(mode))
        return "a socket";
    if (S_ISLNK(mode))
        return "a symbolic link";
    return "a special file";
}

namespace {

bool IsWanted(mode_t mode, unsigned kinds)
{
    return ((kinds & kRegularFile) && S_ISREG(mode)) ||
           ((kinds & kCharacterDevice) && S_ISCHR(mode)) || ((kinds & kPipe) && S_ISFIFO(mode));
}

std::string Refusal(mode_t mode, unsigned kinds)
{
    const char* wanted = kinds & kPipe ? ", not a file, a terminal or a pipe"
                         : kinds & kCharacterDevice ? ", not a file or a terminal"
                                                    : ", not a file";
    return FileKindName(mode) + std::string(wanted);
}

std::string OpenError(int error)
{
    return std::string("cannot open: ") + std::strerror(error);
}

}  // namespace

int OpenFile(const std::string& path, int flags, unsigned kinds, std::string& reason,
             unsigned mode)
{
    struct stat st {};
    const auto look = flags & O_NOFOLLOW ? ::lstat : ::stat;
    if (look(path.c_str(), &st) == 0) {
        if (!IsWanted(st.st_mode, kinds)) {
            reason = Refusal(st.st_mode, kinds);
            return -1;
        }
    } else if (errno != ENOENT || !(flags & O_CREAT)) {
        reason = OpenError(errno);
        return -1;
    }

    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, mode);
    if (fd < 0) {
        // Something else took the name since it was looked at.
        const int error = errno;
        const bool looked = (error == ENXIO || error == ELOOP) && look(path.c_str(), &st) == 0;
        reason = looked && !IsWanted(st.st_mode, kinds) ? Refusal(st.st_mode, kinds)
                 : looked && S_ISFIFO(st.st_mode)       ? "a named pipe that nobody reads"
                                                        : OpenError(error);
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !IsWanted(st.st_mode, kinds)) {
        reason = Refusal(st.st_mode, kinds);
        ::close(fd);
        return -1;
    }
    return fd;
}

bool ReadRegularFile(const std::string& path, std::size_t limit, int flags, std::string& text,
                     std::string& reason)
{
    const int fd = OpenFile(path, O_RDONLY | flags, kRegularFile, reason);
    if (fd < 0)
        return false;
    char chunk[16 * 1024];
    while (text.size() <= limit) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            reason = errno == EAGAIN ? "reading it would block: not a file to load"
                                     : std::string("cannot read: ") + std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        text.append(chunk, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}
