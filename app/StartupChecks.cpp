#include "StartupChecks.h"

#include "EvalApp.h"
#include "zr5130_version.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kHelp =
    "Usage: zr5130-eval [/d]\n"
    "The evaluation panel of the ZR5130 LED backlight driver.\n"
    "\n"
    "  /d, /D      write the command line to debug.log and open it when the panel closes\n"
    "  --help      print this help and exit\n"
    "  --version   print the version and exit\n"
    "\n"
    "Environment:\n"
    "  ZR5130_ADAPTER  sim (the default: a blank simulated board), sim:FILE (a simulated\n"
    "                  board with the registers of an i2cdump table), none, /dev/i2c-N or\n"
    "                  i2c:NAME; for this start, over the one chosen under Adapter in the\n"
    "                  window menu (kept in $XDG_CONFIG_HOME/zr5130/zr5130-eval.conf)\n"
    "  ZR5130_TRACE    FILE: append one line per register access (\"R A5 3C ok\")\n"
    "\n"
    "Without a display: xvfb-run -a zr5130-eval\n";

}  // namespace

void KeepStandardDescriptorsOpen()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1)
            continue;
        const int null = ::open("/dev/null", O_RDWR);
        // open takes the lowest free descriptor, which is fd itself.
        if (null >= 0 && null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
    }
}

std::optional<int> AnswerInfoOption(const std::vector<std::string>& args)
{
    const auto given = [&](const char* option) {
        return std::find(args.begin(), args.end(), option) != args.end();
    };
    if (given("--help"))
        std::fputs(kHelp, stdout);
    else if (given("--version"))
        std::printf("zr5130-eval %s\n", kZr5130Version);
    else
        return std::nullopt;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return 0;
    std::fprintf(stderr, "zr5130-eval: cannot write to standard output: %s\n", std::strerror(errno));
    return 1;
}

std::vector<std::string> ArgumentNotes(const std::vector<std::string>& args)
{
    std::vector<std::string> notes;
    for (const std::string& arg : args) {
        struct stat st {};
        if (::stat(arg.c_str(), &st) != 0)
            continue;
        std::string note = "zr5130-eval: note: the panel opens no file named on its command "
                           "line, not '" + arg + "'; it takes its adapter from ZR5130_ADAPTER";
        if (S_ISCHR(st.st_mode))
            note += " (ZR5130_ADAPTER=" + arg + ")";
        else if (S_ISREG(st.st_mode))
            note += " (ZR5130_ADAPTER=sim:" + arg + " for a register dump)";
        if (CEvalApp::WantsDebugLog(QString::fromLocal8Bit(arg)))
            note += "; the \"/d\" in it switched the debug log on";
        notes.push_back(note);
    }
    return notes;
}
