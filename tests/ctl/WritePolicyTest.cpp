// One write policy through the real binary: every write read back and
// compared, the first failure ends a command of several writes, a read-only
// register refused before anything is written.
#include "CtlRun.h"
#include "RegisterImage.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>

namespace {

using Lines = std::vector<std::string>;

class WritePolicy : public ::testing::Test {
protected:
    CtlRun ctl;

    // A blank chip, as a dump file the simulated board loads.
    std::string Board()
    {
        RegisterImage image;
        image.values.fill(0x00);
        image.values[0x02] = 0x30;
        ctl.WriteFile("board.txt", FormatRegisterImage(image));
        return "sim:" + ctl.Path("board.txt");
    }
    int Run(Lines args, const std::string& ignoring = {})
    {
        std::remove(ctl.Path("t").c_str());
        ctl.Set("ZR5130_SIM_IGNORE_WRITES", ignoring.empty() ? std::nullopt
                                                             : std::optional(ignoring));
        args.insert(args.begin(), {"--adapter", Board(), "--trace", "t"});
        return ctl.Run(args);
    }
};

// Given registers that keep their value whatever is written, each command
// makes these writes and ends with this status and this one line.
TEST_F(WritePolicy, AWriteThatDoesNotReadBackFailsTheCommandThere)
{
    ctl.WriteFile("session.txt", "W 01 04 ok\nW A5 14 ok\nW 16 3F ok\n");
    const struct {
        Lines args;
        std::string ignoring;
        Lines writes;
        std::string line;
    } cases[] = {
        {{"write", "A5", "07"}, "A5", {"W A5 07 ok"},
         "zr5130ctl: register A5 reads 00 after 07 was written"},
        {{"set", "led-current=0x123", "pwm-frequency=3"}, "A0", {"W A0 23 ok"},
         "zr5130ctl: set: register A0 reads 00 after 23 was written: LED Current reads 0, not "
         "291; nothing was written before it"},
        {{"set", "pwm-frequency=3", "led-current=0x123"}, "A0", {"W A5 03 ok", "W A0 23 ok"},
         "zr5130ctl: set: register A0 reads 00 after 23 was written: LED Current reads 0, not "
         "291; written before it: A5"},
        {{"replay", ctl.Path("session.txt")}, "A5", {"W 01 04 ok", "W A5 14 ok"},
         "zr5130ctl: replay: " + ctl.Path("session.txt") +
             ":2: register A5 reads 00 after 14 was written; written before it: 01 (1 of 3 "
             "writes)"},
        {{"load", "E08"}, "98", {"W 01 00 ok", "W 98 1B ok"},
         "zr5130ctl: load: register 98 reads 00 after 1B was written; written before it: 01 (1 "
         "of 19 writes)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        EXPECT_EQ(Run(c.args, c.ignoring), 1);
        EXPECT_EQ(ctl.WriteLines("t"), c.writes);
        EXPECT_EQ(ctl.ErrLines(), Lines{c.line});
    }
}

TEST_F(WritePolicy, JsonSaysAWriteThatDoesNotReadBackIsNotOk)
{
    EXPECT_EQ(Run({"--json", "write", "A5", "07"}, "A5"), 1);
    EXPECT_EQ(nlohmann::json::parse(ctl.out),
              nlohmann::json::parse(R"({"writes": [{"address": "A5", "value": "07", "ok": false}],
                                        "readBack": [{"address": "A5", "value": "00"}],
                                        "errors": [{"register": "A5",
                                                    "message": "register A5 reads 00 after 07 was written",
                                                    "adapter": ")" +
                                    Board() + R"("}]})"));
    EXPECT_EQ(Run({"--json", "write", "A5", "07"}), 0);
    EXPECT_EQ(nlohmann::json::parse(ctl.out)["writes"][0]["ok"], true);
}

TEST_F(WritePolicy, AReadOnlyRegisterIsRefusedBeforeAnythingIsWritten)
{
    ctl.WriteFile("status.txt", "W 01 04 ok\nW 02 FF ok\n");
    const struct {
        Lines args;
        std::string line;
    } cases[] = {
        {{"write", "02", "FF"},
         "zr5130ctl: write: register 02 (Status) is read-only; nothing was written"},
        {{"replay", ctl.Path("status.txt")},
         "zr5130ctl: replay: " + ctl.Path("status.txt") +
             ":2: 'W 02 FF ok' writes register 02 (Status), which is read-only; nothing was "
             "written"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0]);
        EXPECT_EQ(Run(c.args), 2);
        EXPECT_EQ(ctl.WriteLines("t"), Lines{});
        EXPECT_EQ(ctl.ErrLines(), Lines{c.line});
    }
}

// The burn register keeps its own check: a burned chip reads 83 after 80.
TEST_F(WritePolicy, TheBurnStepIsNotComparedWithWhatItWrote)
{
    ctl.WriteFile("burned.txt", [] {
        RegisterImage image;
        image.values.fill(0x00);
        image.values[0x72] = 0x83;
        return FormatRegisterImage(image);
    }());
    ctl.Set("ZR5130_SIM_IGNORE_WRITES", "72");
    EXPECT_EQ(ctl.Run({"--adapter", "sim:" + ctl.Path("burned.txt"), "--yes", "--json", "burn",
                       "complete"}),
              0)
        << ctl.err;
    const auto json = nlohmann::json::parse(ctl.out);
    EXPECT_EQ(json["writes"][0]["ok"], true);
    EXPECT_EQ(json["readBack"][0]["value"], "83");
}

}  // namespace
