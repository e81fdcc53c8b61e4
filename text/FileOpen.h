#pragma once

#include <cstddef>
#include <string>

// What a caller accepts behind a path.
enum FileKinds : unsigned {
    kRegularFile = 1,
    kCharacterDevice = 2,  // a terminal, /dev/null, /dev/stderr ...
    kPipe = 4,             // a named pipe, or a shell's >(command) (/dev/fd/63)
};

// open(2) of path with flags (and mode, for O_CREAT). What is there is
// looked at first (lstat with O_NOFOLLOW, stat otherwise): a file of a kind
// not in kinds is refused without being opened, so that opening a serial
// port, a tape or a named pipe never has its side effects. The open itself
// never waits for the other end of a named pipe, never makes a terminal the
// controlling one and never leaks into a child process, and what was
// opened is checked again. The descriptor stays non-blocking: a read or
// write that would wait fails with EAGAIN instead. Returns it, or -1 and
// why ("cannot open: Permission denied", "a named pipe, not a file").
int OpenFile(const std::string& path, int flags, unsigned kinds, std::string& reason,
             unsigned mode = 0666);

// "a named pipe", "a directory", "a symbolic link" ... for a stat mode.
const char* FileKindName(unsigned mode);

// A regular file read whole through OpenFile, up to limit bytes and one
// chunk past it (for the caller to refuse). flags adds to O_RDONLY, for
// example O_NOFOLLOW. A file whose read would wait (a /proc file such as
// kmsg) is refused, not waited for. False and why on failure.
bool ReadRegularFile(const std::string& path, std::size_t limit, int flags, std::string& text,
                     std::string& reason);
