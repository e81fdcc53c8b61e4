#pragma once

#include <string>

class Tool;

// burn and restore ask before they write when someone sits at the terminal,
// as i2cset does: the question on standard error, the answer from standard
// input. True when the command may go on: --yes was given, standard input
// is no terminal, or the answer is y or yes. Otherwise the refusal has been
// told, naming command.
bool Confirmed(const Tool& tool, const std::string& command, const std::string& question);
