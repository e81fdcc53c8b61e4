#include "CtlRun.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <pty.h>
#include <sched.h>
#include <sstream>
#include <sys/mount.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// argv or envp for execve, pointing into strings that outlive the call.
std::vector<char*> CStrings(const std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (const std::string& s : strings) pointers.push_back(const_cast<char*>(s.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

std::vector<std::string> CommandLine(const std::vector<std::string>& args)
{
    std::vector<std::string> line = {ZR5130CTL_EXE};
    line.insert(line.end(), args.begin(), args.end());
    return line;
}

// Only system calls that are safe between fork and exec.
void Redirect(const char* path, int flags, int fd)
{
    const int opened = ::open(path, flags | O_CLOEXEC, 0644);
    if (opened < 0) ::_exit(126);
    ::dup2(opened, fd);
}

bool WriteWhole(const char* path, const std::string& text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    const bool written = fd >= 0 && ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    if (fd >= 0) ::close(fd);
    return written;
}

// The user's own ids, mapped into a new user namespace as they are.
struct IdMaps {
    std::string uid = std::to_string(::getuid()) + ' ' + std::to_string(::getuid()) + " 1";
    std::string gid = std::to_string(::getgid()) + ' ' + std::to_string(::getgid()) + " 1";
};

// In the child: folder over /sys/class, seen by this process alone.
void BindSysClass(const std::string& folder, const IdMaps& ids)
{
    const bool bound = ::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 &&
        WriteWhole("/proc/self/setgroups", "deny") && WriteWhole("/proc/self/uid_map", ids.uid) &&
        WriteWhole("/proc/self/gid_map", ids.gid) &&
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
        ::mount(folder.c_str(), "/sys/class", nullptr, MS_BIND, nullptr) == 0;
    if (!bound) ::_exit(CtlRun::kNoNamespace);
}

}  // namespace

CtlRun::CtlRun()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zr5130ctl-XXXXXX").string();
    m_dir = ::mkdtemp(pattern.data());
    m_env["ZR5130_ADAPTER"] = std::nullopt;
    m_env["ZR5130_TRACE"] = std::nullopt;
    m_env["XDG_CONFIG_HOME"] = Path("config");
}

CtlRun::~CtlRun() { std::filesystem::remove_all(m_dir); }

std::string CtlRun::Board(const std::string& name, const RegisterImage& image) const
{
    WriteFile(name, FormatRegisterImage(image));
    return "sim:" + Path(name);
}

RegisterImage CtlRun::BlankChip(std::initializer_list<std::pair<int, std::optional<uint8_t>>> values)
{
    RegisterImage image;
    image.values.fill(0x00);
    image.values[0x02] = 0x30;
    for (const auto& [reg, value] : values) image.values[reg] = value;
    return image;
}

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
    for (const std::string& line : SplitLines(ReadFile(traceName)))
        if (line.starts_with("W ")) writes.push_back(line);
    return writes;
}

std::vector<std::string> CtlRun::OutLines() const { return SplitLines(out); }

std::vector<std::string> CtlRun::ErrLines() const { return SplitLines(err); }

std::vector<std::string> CtlRun::Environment() const
{
    std::vector<std::string> env;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        if (!m_env.contains(text.substr(0, text.find('=')))) env.push_back(text);
    }
    for (const auto& [name, value] : m_env)
        if (value) env.push_back(name + "=" + *value);
    return env;
}

int CtlRun::Wait(int pid, double interruptAfter)
{
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(interruptAfter);
    while (interruptAfter > 0 && ::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        ::kill(pid, SIGINT);
        interruptAfter = 0;
    }
    while (interruptAfter == 0 && ::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    out = ReadFile(".out");
    err = ReadFile(".err");
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int CtlRun::Run(const std::vector<std::string>& args, const std::string& interruptAfter)
{
    return Launch(args, interruptAfter.empty() ? 0 : std::stod(interruptAfter), nullptr);
}

int CtlRun::RunOnTerminal(const std::vector<std::string>& args, const std::string& answer)
{
    return Launch(args, 0, &answer);
}

int CtlRun::Launch(const std::vector<std::string>& args, double interruptAfter,
                   const std::string* typed)
{
    if (input) WriteFile(".in", *input);
    WriteFile(".out", "");
    // Everything the child needs is made before the fork.
    const std::vector<std::string> env = Environment();
    const std::vector<std::string> line = CommandLine(args);
    const std::vector<char*> envp = CStrings(env);
    const std::vector<char*> argv = CStrings(line);
    const std::string inPath = input ? Path(".in") : "/dev/null";
    const std::string outPath = Path(".out");
    const std::string errPath = Path(".err");
    int pipeEnds[2] = {-1, -1};
    if (output == Output::BrokenPipe && ::pipe(pipeEnds) != 0) return -1;

    const IdMaps ids;

    int terminal = -1;
    const pid_t pid = typed ? ::forkpty(&terminal, nullptr, nullptr, nullptr) : ::fork();
    if (pid == 0) {
        if (sysClass) BindSysClass(*sysClass, ids);
        if (::chdir(m_dir.c_str()) != 0) ::_exit(126);
        if (!typed) Redirect(inPath.c_str(), O_RDONLY, STDIN_FILENO);
        Redirect(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, STDERR_FILENO);
        switch (output) {
        case Output::Captured: Redirect(outPath.c_str(), O_WRONLY | O_TRUNC, STDOUT_FILENO); break;
        case Output::Full: Redirect("/dev/full", O_WRONLY, STDOUT_FILENO); break;
        case Output::Closed: ::close(STDOUT_FILENO); break;
        case Output::BrokenPipe:
            ::close(pipeEnds[0]);
            ::dup2(pipeEnds[1], STDOUT_FILENO);
            ::close(pipeEnds[1]);
            ::signal(SIGPIPE, SIG_IGN);
            break;
        }
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    if (pipeEnds[0] >= 0) {
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
    }
    if (pid < 0) return -1;
    // Typed ahead: the terminal keeps the line until the tool reads it.
    if (typed && ::write(terminal, typed->data(), typed->size()) != ssize_t(typed->size()))
        return -1;
    const int status = Wait(pid, interruptAfter);
    if (terminal >= 0) ::close(terminal);
    return status;
}
