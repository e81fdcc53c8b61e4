#include "CtlRun.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace

CtlRun::CtlRun()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zr5130ctl-XXXXXX").string();
    m_dir = ::mkdtemp(pattern.data());
}

CtlRun::~CtlRun() { std::filesystem::remove_all(m_dir); }

void CtlRun::WriteFile(const std::string& name, const std::string& text) const
{
    std::ofstream(Path(name)) << text;
}

std::string CtlRun::ReadFile(const std::string& name) const
{
    std::ifstream file(Path(name));
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::string> CtlRun::WriteLines(const std::string& traceName) const
{
    std::vector<std::string> writes;
    for (const std::string& line : Lines(ReadFile(traceName)))
        if (line.starts_with("W ")) writes.push_back(line);
    return writes;
}

std::vector<std::string> CtlRun::OutLines() const { return Lines(out); }

std::vector<std::string> CtlRun::ErrLines() const { return Lines(err); }

int CtlRun::Run(const std::vector<std::string>& args, const std::string& interruptAfter)
{
    // Arguments are single-quoted for the shell; no test passes a quote.
    std::string command = "cd '" + m_dir + "' && env -u ZR5130_ADAPTER -u ZR5130_TRACE ";
    if (!interruptAfter.empty())
        command += "timeout --preserve-status -s INT " + interruptAfter + " ";
    command += "'" ZR5130CTL_EXE "'";
    for (const std::string& arg : args) command += " '" + arg + "'";
    const int status = std::system((command + " > .out 2> .err").c_str());
    out = ReadFile(".out");
    err = ReadFile(".err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
