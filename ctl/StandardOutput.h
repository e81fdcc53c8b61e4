#pragma once

#include <string>
#include <string_view>

// Results reach standard output only through Print, so that a write that
// fails (a full disk, a closed descriptor, a pipe nobody reads any more) is
// noticed and the command ends with status 1 rather than passing for done.

// At start: standard input, output and error that are closed are opened on
// /dev/null, so that no file the tool opens takes their place; output to a
// closed standard output then fails as a write to it would have.
void KeepStandardDescriptorsOpen();

// Writes all of text, unless an earlier write failed; false once a write
// has failed.
bool Print(std::string_view text);
bool OutputFailed();
// The reader of standard output went away before anything more was written
// (found by poll): ends as a write would have, by SIGPIPE, or where that
// signal is ignored as a failed write with EPIPE.
void OutputReaderGone();
// Why the first failed write failed ("No space left on device").
std::string OutputFailure();
