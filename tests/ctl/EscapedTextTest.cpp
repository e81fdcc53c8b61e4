// A file name or setting with bytes a terminal acts on is told escaped on
// one line, whichever command meets it.
#include "CtlRun.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

TEST(EscapedText, AFileNameWithControlBytesIsOneEscapedLine)
{
    CtlRun ctl;
    const std::string name = "j\x1b[31mRED\a\n2nd.txt";
    const std::string shown = "j\\x1b[31mRED\\x07\\n2nd.txt";
    const std::string longName(300, 'n');
    const struct {
        Lines args;
        std::string line;
    } cases[] = {
        {{"decode", name}, "decode: " + shown + ": cannot open: No such file or directory"},
        {{"--adapter", "sim:" + name, "read", "02"},
         "--adapter=sim:" + shown + ": cannot open: No such file or directory"},
        {{"--adapter", "sim", "--trace", "/nonexistent/" + name, "read", "02"},
         "--trace=/nonexistent/" + shown + ": cannot open: No such file or directory"},
        {{"restore", "caf\xc3\xa9\xff"},
         "restore: caf\xc3\xa9\\xff: cannot open: No such file or directory"},
        {{"diff", longName},
         "diff: " + std::string(200, 'n') + "…: cannot open: File name too long"},
        {{"load", "E\x1b"}, "load: unknown configuration 'E\\x1b' (use E00 to E15)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front());
        EXPECT_EQ(ctl.Run(c.args), 2);
        EXPECT_EQ(ctl.ErrLines(), Lines{"zr5130ctl: " + c.line});
    }
}

}  // namespace
