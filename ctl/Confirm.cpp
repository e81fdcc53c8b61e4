#include "Confirm.h"

#include "Tool.h"

#include <cctype>
#include <cstdio>
#include <string_view>
#include <unistd.h>

namespace {

bool IsYes(std::string answer)
{
    while (!answer.empty() && std::isspace(static_cast<unsigned char>(answer.back())))
        answer.pop_back();
    for (char& c : answer) c = char(std::tolower(static_cast<unsigned char>(c)));
    return answer == "y" || answer == "yes";
}

}  // namespace

bool Confirmed(const Tool& tool, const std::string& command, const std::string& question)
{
    if (tool.yes || !::isatty(STDIN_FILENO)) return true;
    std::fprintf(stderr, "%s: %s: %s [y/N] ", kProgramName, command.c_str(), question.c_str());
    std::fflush(stderr);
    char line[256];
    const bool answered = std::fgets(line, sizeof line, stdin) != nullptr;
    if (answered && IsYes(line)) return true;
    if (!answered) std::fputc('\n', stderr);
    Problem(command + ": not confirmed; nothing was written (--yes answers for you)");
    return false;
}
