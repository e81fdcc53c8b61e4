// The panel and zr5130ctl on the same board: the tool's load makes the
// panel's Load writes, and a replay of the panel's trace makes them again.
#include "ControlIds.h"
#include "CtlRun.h"
#include "PanelHarness.h"
#include "RegisterImage.h"
#include "SimBoard.h"
#include "Trace.h"

namespace {

std::string Snapshot(const SimBoard& board)
{
    RegisterImage image;
    for (int reg = 0; reg < 256; ++reg) image.values[reg] = board.Peek(uint8_t(reg));
    return FormatRegisterImage(image);
}

}  // namespace

TEST_F(PanelTest, ToolLoadsAndReplaysExactlyWhatThePanelWrote)
{
    CtlRun ctl;
    SimBoard board;
    board.Poke(0x72, 0x80);  // configured: the start-up writes nothing
    board.Poke(0xA5, 0x99);
    ctl.WriteFile("at-start.txt", Snapshot(board));
    std::string error;
    ASSERT_TRUE(TraceOpen(ctl.Path("panel-trace"), error)) << error;
    StartPanelOn(&board);
    Click(idc::kEnableBacklight);  // Enable Backlight
    ctl.WriteFile("before-load.txt", Snapshot(board));
    ChooseEntry(idc::kConfig, 8);
    Click(idc::kLoad);  // Load
    TraceClose();
    const std::vector<std::string> panelWrites = ctl.WriteLines("panel-trace");
    ASSERT_EQ(panelWrites.size(), 20u);  // Enable Backlight, then 01 and the 18 of E8
    const std::vector<std::string> loadWrites(panelWrites.begin() + 1, panelWrites.end());

    ASSERT_EQ(ctl.Run({"--adapter", "sim:" + ctl.Path("before-load.txt"), "--trace", "load-trace",
                       "load", "E08"}),
              0)
        << ctl.err;
    EXPECT_EQ(ctl.WriteLines("load-trace"), loadWrites);
    EXPECT_EQ(ctl.out, Panel().StatusText().toStdString() + "\n");

    ASSERT_EQ(ctl.Run({"--adapter", "sim:" + ctl.Path("at-start.txt"), "--trace", "replay-trace",
                       "replay", ctl.Path("panel-trace")}),
              0)
        << ctl.err;
    EXPECT_EQ(ctl.WriteLines("replay-trace"), panelWrites);
}
