#include "FileOpen.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* KindName(mode_t mode)
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

bool IsWanted(mode_t mode, unsigned kinds)
{
    return ((kinds & kRegularFile) && S_ISREG(mode)) ||
           ((kinds & kCharacterDevice) && S_ISCHR(mode));
}

std::string Refusal(mode_t mode, unsigned kinds)
{
    return std::string(KindName(mode)) +
           (kinds & kCharacterDevice ? ", not a file or a terminal" : ", not a file");
}

}  // namespace

int OpenFile(const std::string& path, int flags, unsigned kinds, std::string& reason,
             unsigned mode)
{
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, mode);
    struct stat st {};
    if (fd < 0) {
        const int error = errno;
        // Writing to a named pipe that nobody reads, or opening a link with
        // O_NOFOLLOW: name what is there rather than the errno.
        const auto look = error == ELOOP ? ::lstat : ::stat;
        if ((error == ENXIO || error == ELOOP) && look(path.c_str(), &st) == 0 &&
            !IsWanted(st.st_mode, kinds))
            reason = Refusal(st.st_mode, kinds);
        else
            reason = std::string("cannot open: ") + std::strerror(error);
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !IsWanted(st.st_mode, kinds)) {
        reason = Refusal(st.st_mode, kinds);
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}
