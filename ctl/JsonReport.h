#pragma once

#include "Output.h"

#include <cstdint>
#include <optional>
#include <string>

// Under --json each board's run leaves JSON on standard output, failed or
// not, so that a reader such as jq never meets an empty input:
//   a result held with HoldJsonResult is printed at the end of the run, with
//   an "errors" member listing the problems told meanwhile;
//   a run that failed without printing anything prints
//   {"error": {"message", "register", "adapter", "exit"}}.
// Problems reach standard error as lines all the same.

// A problem told on standard error (Problem); reg is the register it is
// about, when one is.
void NoteProblem(const std::string& message, std::optional<uint8_t> reg);
// How messages name the adapter the board's run uses; empty: none chosen yet.
void NoteAdapterInUse(std::string name);
// Something went to standard output as JSON.
void NoteJsonPrinted();
// A command's one result, printed by FinishJsonRun.
void HoldJsonResult(Json result);

// A board's run starts: nothing noted yet.
void StartJsonRun();
// The board's run ended with status: prints the held result, or the error
// object when the run failed and printed nothing.
void FinishJsonRun(int status);
