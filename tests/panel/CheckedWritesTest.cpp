// A board whose registers do not all answer: the panel never shows a failed
// write as done and never writes bits it could not read.
#include "PanelHarness.h"

#include "ControlIds.h"

#include <QLabel>
#include <functional>
#include <set>

namespace {

struct Case {
    const char* action;
    std::function<void()> act;
    std::set<uint8_t> failing;  // registers whose writes fail
    QString status;
    int box;  // the grid box the action sets, 0 for none
};

}  // namespace

// Given each action and a register that refuses its write, expect the first
// failed register named on the status line in place of the action's own text,
// and "--" in the box that would have shown the value written.
TEST_F(PanelTest, EachActionTellsItsFirstFailedWriteAndShowsItsBoxAsUnknown)
{
    StartOnConfiguredChip();
    const auto load = [&](int entry) { ChooseEntry(idc::kConfig, entry); Click(idc::kLoad); };
    const Case cases[] = {
        {"Enable Backlight", [&] { Click(idc::kEnableBacklight); }, {0x01}, "Write to 01 failed", idc::kReg01},
        {"Fast Resume", [&] { Click(idc::kFastResume); }, {0x01}, "Write to 01 failed", idc::kReg01},
        {"Mode", [&] { ChooseEntry(idc::kMode, 2); }, {0x01}, "Write to 01 failed", idc::kReg01},
        {"brightness", [&] { ReleaseSliderAt(idc::kBrightness, 0x40); }, {0x00}, "Write to 00 failed", idc::kReg00},
        {"LED 3", [&] { Click(idc::kLed3); }, {0x16}, "Write to 16 failed", 0},
        {"current slider", [&] { ReleaseSliderAt(idc::kCurrent, 0x123); }, {0xA1, 0xA0}, "Write to A0 failed", 0},
        {"Target", [&] { ClearText(idc::kTarget); Type(idc::kTarget, "5"); }, {0xA1}, "Write to A1 failed", 0},
        {"PDET Standby", [&] { Click(idc::kPdetStandby); }, {0xA1}, "Write to A1 failed", idc::kRegA1},
        {"Update A2", [&] { Click(idc::kUpdateA2); }, {0xA2}, "Write to A2 failed", idc::kRegA2},
        {"PWM Direct", [&] { Click(idc::kPwmDirect); }, {0xA5}, "Write to A5 failed", idc::kRegA5},
        {"Vboost Maximum", [&] { ChooseEntry(idc::kVboostMax, 2); }, {0xA9}, "Write to A9 failed", idc::kRegA9},
        {"16 - 43 V", [&] { Click(idc::kVboostHigh); }, {0x9E}, "Write to 9E failed", idc::kReg9E},
        {"Write by hand", [&] { WriteByHand("A8", "01"); }, {0xA8}, "Write to A8 failed", 0},
        {"Load E03", [&] { load(3); }, {0x01}, "Write to 01 failed", 0},
        {"Load E08", [&] { load(8); }, {0xA5}, "Config E8 load failed (first: A5)", 0},
        {"Prepare Write", [&] { Click(idc::kPrepareWrite); }, {0x72}, "Prepare Write failed", idc::kReg72},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        chip.failWrites = c.failing;
        chip.ClearRecords();
        Panel().SetStatusText("Ready");
        c.act();
        EXPECT_NE(Writes(), "");
        EXPECT_EQ(Panel().StatusText(), c.status);
        if (c.box) {
            EXPECT_EQ(Text(c.box), "--");
        }
        chip.failWrites.clear();
        Click(idc::kReadbackAll);
        EXPECT_EQ(Panel().StatusText(), "Ready") << "the failure gives way to the next success";
    }
}

// Read-modify-write: a register that cannot be read is not written, and the
// list keeps what the user chose.
TEST_F(PanelTest, AChoiceWhoseReadFailedWritesNothingAndSaysSo)
{
    StartOnConfiguredChip({{0xA9, 0xA0}});
    chip.failReads = {0xA9};
    ChooseEntry(idc::kVboostMax, 7);
    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(Panel().StatusText(), "Read of A9 failed: nothing written");
    EXPECT_EQ(SelectedEntry(idc::kVboostMax), 7);
    EXPECT_EQ(Text(idc::kRegA9), "--");
}

// A blank chip whose registers A8-AF do not answer: 8 of the 18 defaults fail.
// The start's notice about the adapter does not hide that.
TEST_F(PanelTest, StartUpCountsTheDefaultWritesThatFailed)
{
    chip.failWrites = {0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF};
    adapterStart.statusNotice = "No USB-to-I2C bridge found";
    StartPanel();
    EXPECT_EQ(Panel().StatusText(),
              "Initialization Complete; 8 of 18 default writes failed (first: A8)");
    EXPECT_TRUE(qobject_cast<QLabel*>(Control(idc::kStatusLine))
                    ->toolTip()
                    .contains("No USB-to-I2C bridge found"))
        << "the notice stays in the line's history";
    chip.failWrites.clear();
    Click(idc::kAllOn);
    EXPECT_EQ(Panel().StatusText(), "No USB-to-I2C bridge found");
}
