#pragma once

#include <string>

// What a caller accepts behind a path.
enum FileKinds : unsigned {
    kRegularFile = 1,
    kCharacterDevice = 2,  // a terminal, /dev/null, /dev/stderr ...
};

// open(2) of path with flags (and mode, for O_CREAT), never waiting for the
// other end of a named pipe, never making a terminal the controlling one and
// never leaking into a child process. A file of a kind not in kinds is
// closed again and refused. Returns a descriptor in blocking mode, or -1 and
// why ("cannot open: Permission denied", "a named pipe, not a file").
int OpenFile(const std::string& path, int flags, unsigned kinds, std::string& reason,
             unsigned mode = 0666);
