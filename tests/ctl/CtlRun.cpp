#include "CtlRun.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

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

std::vector<std::string> CtlRun::ErrLines() const { return Lines(err); }

int CtlRun::Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env)
{
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e)
        if (!std::string_view(*e).starts_with("ZR5130_")) environment.emplace_back(*e);
    environment.insert(environment.end(), env.begin(), env.end());
    std::vector<char*> envp;
    for (std::string& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);

    std::vector<std::string> argStrings = {ZR5130CTL_EXE};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStrings) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, Path(".out").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, Path(".err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addchdir_np(&actions, m_dir.c_str());
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

int CtlRun::Wait(int pid)
{
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return -2;
    out = ReadFile(".out");
    err = ReadFile(".err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int CtlRun::Run(const std::vector<std::string>& args, const std::vector<std::string>& env)
{
    return Wait(Spawn(args, env));
}

int CtlRun::RunAndInterrupt(const std::vector<std::string>& args, int delayMs)
{
    const int pid = Spawn(args, {});
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    if (pid > 0) ::kill(pid, SIGINT);
    return Wait(pid);
}
