#pragma once

#include <span>
#include <string>

// The first long option in args that is not among names (the long names of
// the program's options and its commands', without dashes), told as one line
// with the known option most like it, when one is close: "unknown option
// '--adpter' (did you mean --adapter?)". Empty when every option is known.
// args stop at "--".
std::string UnknownOptionLine(std::span<const std::string> names, std::span<char* const> args);
