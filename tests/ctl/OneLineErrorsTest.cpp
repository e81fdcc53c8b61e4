// One problem, one line, through the real binary: an adapter that does not
// come up says why in its own words, and a USB cable only where the bus is
// a USB bridge.
#include "CtlRun.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using Lines = std::vector<std::string>;

TEST(OneLine, EachAdapterThatDoesNotComeUpIsOneLineNamingItsCause)
{
    CtlRun ctl;
    const struct {
        std::string adapter;
        int status;
        std::string line;
    } cases[] = {
        {"/dev/i2c-250", 1,
         "zr5130ctl: /dev/i2c-250 does not exist; is the adapter plugged in and the i2c-dev module "
         "loaded?"},
        {"/dev/null", 1, "zr5130ctl: /dev/null is not an i2c-dev device node"},
        {"usb", 2,
         "zr5130ctl: --adapter: unknown adapter 'usb' (use sim, sim:FILE, none, /dev/i2c-N or "
         "i2c:NAME)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.adapter);
        EXPECT_EQ(ctl.Run({"--adapter", c.adapter, "read", "02"}), c.status);
        EXPECT_EQ(ctl.ErrLines(), Lines{c.line});
        EXPECT_EQ(ctl.out, "");
    }
    ctl.Set("ZR5130_ADAPTER", "/dev/i2c-250");
    EXPECT_EQ(ctl.Run({"write", "A5", "00"}), 1);
    EXPECT_EQ(ctl.ErrLines(), Lines{cases[0].line});
}

TEST(OneLine, ARememberedChoiceIsCalledTheRememberedAdapter)
{
    CtlRun ctl;
    std::filesystem::create_directories(ctl.Path("config/zr5130"));
    ctl.WriteFile("config/zr5130/zr5130-eval.conf", "[General]\nadapter=none\n");
    EXPECT_EQ(ctl.Run({"read", "02"}), 1);
    EXPECT_EQ(ctl.ErrLines(), Lines{"zr5130ctl: no adapter connected (the remembered adapter is "
                                    "none); choose one with --adapter"});
}

}  // namespace
