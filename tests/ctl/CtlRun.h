#pragma once

#include <string>
#include <vector>

// zr5130ctl as a script runs it, in a scratch folder of its own, with
// ZR5130_ADAPTER and ZR5130_TRACE cleared unless a test sets them.
class CtlRun {
public:
    CtlRun();
    ~CtlRun();
    CtlRun(const CtlRun&) = delete;
    CtlRun& operator=(const CtlRun&) = delete;

    std::string Path(const std::string& name) const { return m_dir + "/" + name; }
    void WriteFile(const std::string& name, const std::string& text) const;
    std::string ReadFile(const std::string& name) const;
    // The trace's write lines ("W A5 3C ok"), in order.
    std::vector<std::string> WriteLines(const std::string& traceName) const;

    // Runs the tool to its end; the exit status, or -1 when a signal ended it.
    int Run(const std::vector<std::string>& args, const std::vector<std::string>& env = {});
    // Starts the tool, sends SIGINT after delayMs, waits for its end.
    int RunAndInterrupt(const std::vector<std::string>& args, int delayMs);

    std::string out;  // standard output of the last run
    std::string err;  // standard error of the last run
    std::vector<std::string> ErrLines() const;

private:
    int Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env);
    int Wait(int pid);

    std::string m_dir;
};
