#pragma once

// Ctrl+C (SIGINT) and a polite kill (SIGTERM) asked a long command to stop:
// it finishes its line and ends, and the program then ends as the signal
// would have ended it, so that a calling shell or script sees status 130
// (or 143) and knows the run was interrupted.
void CatchStopSignals();
// The signal that asked to stop; 0 while none has.
int StopSignal();
// When a stop signal was caught, ends the program by that signal now.
void EndByStopSignal();
