#pragma once

#include <string>
#include <vector>

// zr5130ctl as a script runs it, in a scratch folder of its own, with
// ZR5130_ADAPTER and ZR5130_TRACE cleared.
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

    // Runs the tool to its end, or until Ctrl+C (SIGINT) after interruptAfter
    // seconds; answers its exit status.
    int Run(const std::vector<std::string>& args, const std::string& interruptAfter = {});

    std::string out;  // standard output of the last run
    std::string err;  // standard error of the last run
    std::vector<std::string> OutLines() const;
    std::vector<std::string> ErrLines() const;

private:
    std::string m_dir;
};
