#pragma once

#include <span>
#include <string>

namespace CLI {
class App;
}

// The first long option in args that neither the program nor its commands
// know, told as one line with the known option most like it, when one is
// close: "unknown option '--adpter' (did you mean --adapter?)". Empty when
// every option is known. args stop at "--".
std::string UnknownOptionLine(const CLI::App& app, std::span<char* const> args);
