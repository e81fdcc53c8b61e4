// What a shell user expects: --trace - and a trace into a pipe, a misspelt
// option or field answered with the name meant, and no guess that is not
// close.
#include "CtlRun.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Lines = std::vector<std::string>;

TEST(ShellHabits, AMisspeltNameGetsTheNameMeantOnlyWhenItIsClose)
{
    CtlRun ctl;
    const struct {
        Lines args;
        std::string line;  // after "zr5130ctl: "
    } cases[] = {
        {{"--adpter", "sim", "read", "02"},
         "unknown option '--adpter' (did you mean --adapter?); see zr5130ctl --help"},
        {{"--adapter", "sim", "watch", "--intervl", "5"},
         "unknown option '--intervl' (did you mean --interval?); see zr5130ctl --help"},
        {{"read", "02", "--jsn=1"},
         "unknown option '--jsn' (did you mean --json?); see zr5130ctl --help"},
        {{"--nosuch", "read", "02"}, "unknown option '--nosuch'; see zr5130ctl --help"},
        {{"--adapter", "sim", "get", "nosuch"},
         "get: no field 'nosuch', nor one with a name like it"},
        {{"--adapter", "sim", "set", "pwm-frequency=yyyy"},
         "set: 'yyyy' is not a value of PWM Frequency; give one of its labels or a number 0-15"},
        {{"--adapter", "sim", "--json", "--trace", "-", "read", "02"},
         "--trace - and --json cannot be given together: both would write to standard output; "
         "give --trace a file, or a pipe such as >(cat >&2)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(ctl.Run(c.args), 2);
        EXPECT_EQ(ctl.ErrLines(), Lines{"zr5130ctl: " + c.line});
    }
}

TEST(ShellHabits, TheTraceGoesToStandardOutputOrIntoAPipe)
{
    CtlRun ctl;
    ASSERT_EQ(ctl.Run({"--adapter", "sim", "--trace", "-", "read", "02", "A5"}), 0) << ctl.err;
    EXPECT_EQ(ctl.OutLines(), (Lines{"R 02 30 ok", "R A5 00 ok", "30", "00"}));

    // A named pipe with a reader, as >(grep W) gives one.
    const std::string fifo = ctl.Path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(ctl.Run({"--adapter", "sim", "--trace", fifo, "write", "A5", "3C"}), 0) << ctl.err;
    char piped[64] = {};
    EXPECT_EQ(::read(reader, piped, sizeof piped - 1), 22);
    EXPECT_STREQ(piped, "W A5 3C ok\nR A5 3C ok\n");
    ::close(reader);

    EXPECT_EQ(ctl.Run({"--adapter", "sim", "--trace", fifo, "read", "02"}), 2);
    EXPECT_EQ(ctl.ErrLines(),
              Lines{"zr5130ctl: --trace=" + fifo + ": a named pipe that nobody reads"});
}

}  // namespace
