#pragma once

#include "RegisterImage.h"

#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

// zr5130ctl as a script runs it, in a scratch folder of its own: without
// ZR5130_ADAPTER and ZR5130_TRACE, with a settings folder of its own (so no
// adapter is remembered), and standard input from /dev/null unless a test
// gives it.
class CtlRun {
public:
    // Where standard output goes.
    enum class Output {
        Captured,    // into out
        Full,        // /dev/full: every write fails with ENOSPC
        Closed,      // no descriptor 1 at all
        BrokenPipe,  // a pipe whose reader has gone, SIGPIPE ignored
    };

    CtlRun();
    ~CtlRun();
    CtlRun(const CtlRun&) = delete;
    CtlRun& operator=(const CtlRun&) = delete;

    std::string Path(const std::string& name) const { return m_dir + "/" + name; }
    void WriteFile(const std::string& name, const std::string& text) const;
    std::string ReadFile(const std::string& name) const;
    // A simulated board holding image, written to the file name: its adapter setting.
    std::string Board(const std::string& name, const RegisterImage& image) const;
    // A blank chip but for these registers (nullopt: one that does not
    // answer), its status register 02 = 30 (both OK flags set).
    static RegisterImage BlankChip(std::initializer_list<std::pair<int, std::optional<uint8_t>>> values);
    // The trace's write lines ("W A5 3C ok"), in order.
    std::vector<std::string> WriteLines(const std::string& traceName) const;

    // The environment of the next runs: a variable set, or unset (nullopt).
    void Set(const std::string& name, std::optional<std::string> value) { m_env[name] = value; }

    std::optional<std::string> input;  // standard input's text; /dev/null without it
    Output output = Output::Captured;
    // A folder that stands for /sys/class: the tool then runs in a mount
    // namespace of its own (in a user namespace, no root needed) with the
    // folder bound there, and sees the I2C buses laid out in it.
    std::optional<std::string> sysClass;
    // Run's answer when that namespace cannot be had on this machine.
    static constexpr int kNoNamespace = 125;

    // Runs the tool to its end, or until Ctrl+C (SIGINT) after interruptAfter
    // seconds; answers its exit status, or 128 + the signal that ended it.
    int Run(const std::vector<std::string>& args, const std::string& interruptAfter = {});
    // Runs the tool with a terminal as standard input, on which answer is
    // typed; standard output and error are captured as by Run.
    int RunOnTerminal(const std::vector<std::string>& args, const std::string& answer);

    std::string out;  // standard output of the last run
    std::string err;  // standard error of the last run
    std::vector<std::string> OutLines() const;
    std::vector<std::string> ErrLines() const;

private:
    // typed: standard input is a terminal on which this is typed.
    int Launch(const std::vector<std::string>& args, double interruptAfter, const std::string* typed);
    int Wait(int pid, double interruptAfter);
    std::vector<std::string> Environment() const;

    std::string m_dir;
    std::map<std::string, std::optional<std::string>> m_env;
};
