// Start-up cost of the panel against the bare dialog, side by side: each is
// started, left until it is shown and idle, then stopped with SIGTERM; the
// CPU time and peak memory of the whole run come from wait4().
//
//   startup_compare PANEL BARE [RUNS]
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Usage {
    double cpuMs;
    long peakKb;
};

bool CatchesSigterm(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1)) & 1;
    return false;
}

Usage RunOnce(const char* program)
{
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("ZR5130_ADAPTER", "sim", 1);
        if (!std::freopen("/dev/null", "w", stderr)) _exit(126);
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    while (!CatchesSigterm(pid)) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::fprintf(stderr, "%s ended before it was up (exit status %d)\n", program,
                         WIFEXITED(status) ? WEXITSTATUS(status) : -1);
            std::exit(1);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // Shown and idle well before this: the window and the readback take
    // a few tens of milliseconds.
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    kill(pid, SIGTERM);
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status)) {
        std::fprintf(stderr, "%s did not exit normally\n", program);
        std::exit(1);
    }
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return {ms(usage.ru_utime) + ms(usage.ru_stime), usage.ru_maxrss};
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PANEL BARE [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 3 ? std::atoi(argv[3]) : 15;
    std::vector<double> cpu[2], peak[2];
    RunOnce(argv[1]);  // warm the file cache for both
    RunOnce(argv[2]);
    for (int i = 0; i < runs; ++i)
        for (int which = 0; which < 2; ++which) {
            const Usage u = RunOnce(argv[1 + which]);
            cpu[which].push_back(u.cpuMs);
            peak[which].push_back(double(u.peakKb));
        }
    const char* names[2] = {"panel", "bare dialog"};
    for (int which = 0; which < 2; ++which)
        std::printf("%-12s CPU %7.1f ms  peak %7.0f KiB  (median of %d)\n", names[which],
                    Median(cpu[which]), Median(peak[which]), runs);
    std::printf("ratio        CPU %.3f        peak %.3f\n", Median(cpu[0]) / Median(cpu[1]),
                Median(peak[0]) / Median(peak[1]));
    return 0;
}
