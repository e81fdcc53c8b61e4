#pragma once

// SIGINT, SIGTERM and SIGHUP (a closed terminal) close the open dialogs the
// normal way, so that the debug log is complete when the program is stopped
// from a terminal or a script. SIGPIPE no longer ends the program: a write
// to a closed pipe fails with EPIPE instead.
namespace QuitOnSignal {
void Install();

// The part without Qt: the handlers and the socket they write one byte to.
// Returns the end to read from, or -1 (errno set).
int InstallRelay();
}  // namespace QuitOnSignal
