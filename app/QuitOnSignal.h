#pragma once

// SIGINT and SIGTERM close the open dialogs the normal way, so that the
// debug log and the trace are complete when the program is stopped from a
// terminal or a script.
namespace QuitOnSignal {
void Install();
}
