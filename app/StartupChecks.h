#pragma once

#include <optional>
#include <string>
#include <vector>

// What the program checks before Qt starts, so that a bad setting is told
// the same way with or without a display.

// Puts /dev/null on standard input, output and error where the program was
// started with them closed, so that no descriptor opened later lands on
// them (and the debug log, which replaces standard output, replaces
// nothing else).
void KeepStandardDescriptorsOpen();

// Prints the help or the version for --help or --version anywhere in args
// and returns the exit status: 0, or 1 when standard output could not take
// it (a full disk), which is said on standard error. Nothing for anything
// else.
std::optional<int> AnswerInfoOption(const std::vector<std::string>& args);

// One line for standard error per argument that names an existing file or
// device: the panel opens none of them.
std::vector<std::string> ArgumentNotes(const std::vector<std::string>& args);
