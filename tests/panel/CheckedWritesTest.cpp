// A board whose registers do not all answer: the panel never shows a failed
// write as done and never writes bits it could not read.
#include "PanelHarness.h"

#include "ControlIds.h"

#include <QLabel>
#include <functional>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace {

using RegisterValues = std::vector<std::pair<uint8_t, uint8_t>>;

QString Hex2(uint8_t value) { return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper(); }

// What a control shows after the failure (the user's choice), and after the
// readback that follows it.
struct Shows {
    int control;
    QString afterFailure;
    QString afterReadback;
};

struct FailedWrite {
    const char* action;
    RegisterValues holds;  // the chip's registers before, read into the panel
    std::function<void()> act;
    std::set<uint8_t> failing;  // registers whose writes fail
    const char* writes;         // the writes made; nullptr: pinned by the group's own tests
    QString status;
    std::optional<uint8_t> box;  // the register whose grid box the action sets
    std::vector<Shows> controls;
};

struct UnreadRegister {
    const char* action;
    uint8_t reg;    // read first, and unreadable
    uint8_t holds;  // its value on the chip
    std::function<void()> act;
    int control;
    QString shown;  // what the control shows after: the user's choice
};

}  // namespace

// Given each action and a register that refuses its write, expect the first
// failed register named on the status line in place of the action's own text,
// and "--" in the box that would have shown the value written; the readback
// after it shows the chip as it is and the failure gives way.
TEST_F(PanelTest, EachActionTellsItsFirstFailedWriteAndShowsItsBoxAsUnknown)
{
    StartOnConfiguredChip();
    const std::array<uint8_t, 256> configured = chip.regs;
    const auto load = [&](int entry) { ChooseEntry(idc::kConfig, entry); Click(idc::kLoad); };
    const FailedWrite cases[] = {
        {"Enable Backlight", {}, [&] { Click(idc::kEnableBacklight); }, {0x01}, nullptr, "Write to 01 failed", 0x01, {}},
        {"Fast Resume", {}, [&] { Click(idc::kFastResume); }, {0x01}, nullptr, "Write to 01 failed", 0x01, {}},
        {"Mode", {}, [&] { ChooseEntry(idc::kMode, 2); }, {0x01}, nullptr, "Write to 01 failed", 0x01, {}},
        {"brightness at 40", {}, [&] { ReleaseSliderAt(idc::kBrightness, 0x40); }, {0x00}, "00=40", "Write to 00 failed", 0x00, {}},
        {"brightness at 80", {}, [&] { ReleaseSliderAt(idc::kBrightness, 0x80); }, {0x00}, "00=80", "Write to 00 failed", 0x00, {}},
        {"LED 3", {}, [&] { Click(idc::kLed3); }, {0x16}, "16=3B", "Write to 16 failed", {},
         {{idc::kLed3, "unticked", "unticked"}}},
        {"LED 3 and LED 4", {}, [&] { Click(idc::kLed3); Click(idc::kLed4); }, {0x16}, "16=3B 16=33",
         "Write to 16 failed", {}, {{idc::kLed3, "unticked", "unticked"}, {idc::kLed4, "unticked", "unticked"}}},
        {"current slider", {}, [&] { ReleaseSliderAt(idc::kCurrent, 0x123); }, {0xA1, 0xA0}, nullptr, "Write to A0 failed", {}, {}},
        {"Target", {}, [&] { ClearText(idc::kTarget); Type(idc::kTarget, "5"); }, {0xA1}, nullptr, "Write to A1 failed", {}, {}},
        {"PDET Standby", {}, [&] { Click(idc::kPdetStandby); }, {0xA1}, nullptr, "Write to A1 failed", 0xA1, {}},
        {"Update A2", {}, [&] { Click(idc::kUpdateA2); }, {0xA2}, nullptr, "Write to A2 failed", 0xA2, {}},
        {"UVLO Level and Update A2", {{0xA2, 0xAF}}, [&] { Click(idc::kUvloLevel); Click(idc::kUpdateA2); }, {0xA2},
         "A2=3F", "Write to A2 failed", 0xA2, {{idc::kUvloLevel, "ticked", "unticked"}}},
        {"PWM Direct", {}, [&] { Click(idc::kPwmDirect); }, {0xA5}, nullptr, "Write to A5 failed", 0xA5, {}},
        {"PWM Frequency", {{0xA5, 0x14}}, [&] { ChooseEntry(idc::kPwmFreq, 12); }, {0xA5}, "A5=1C",
         "Write to A5 failed", 0xA5, {{idc::kPwmFreq, "24040 Hz", "9616 Hz"}}},
        {"Vboost Maximum", {}, [&] { ChooseEntry(idc::kVboostMax, 2); }, {0xA9}, nullptr, "Write to A9 failed", 0xA9, {}},
        {"16 - 43 V", {}, [&] { Click(idc::kVboostHigh); }, {0x9E}, nullptr, "Write to 9E failed", 0x9E, {}},
        {"Write by hand", {}, [&] { WriteByHand("A8", "01"); }, {0xA8}, "A8=01", "Write to A8 failed", {}, {}},
        {"Load E03", {}, [&] { load(3); }, {0x01}, nullptr, "Write to 01 failed", {}, {}},
        {"Load E08", {}, [&] { load(8); }, {0xA5}, nullptr, "Config E8 load failed (first: A5)", {}, {}},
        {"Prepare Write", {}, [&] { Click(idc::kPrepareWrite); }, {0x72}, nullptr, "Prepare Write failed", 0x72, {}},
    };
    for (const FailedWrite& c : cases) {
        SCOPED_TRACE(c.action);
        chip.regs = configured;
        for (const auto& [reg, value] : c.holds) chip.regs[reg] = value;
        Click(idc::kAllOn);  // the LED boxes from a known start
        Click(idc::kReadbackAll);
        Panel().SetStatusText("Ready");
        chip.failWrites = c.failing;
        chip.ClearRecords();
        c.act();
        if (c.writes) {
            EXPECT_EQ(Writes(), c.writes);
        } else {
            EXPECT_NE(Writes(), "");
        }
        EXPECT_EQ(Panel().StatusText(), c.status);
        if (c.box) {
            EXPECT_EQ(BoxText(*c.box), "--");
        }
        for (const Shows& shows : c.controls) EXPECT_EQ(Shown(shows.control), shows.afterFailure) << shows.control;

        chip.failWrites.clear();
        Click(idc::kReadbackAll);
        EXPECT_EQ(Panel().StatusText(), "Ready") << "the failure gives way to the next success";
        if (c.box) {
            EXPECT_EQ(BoxText(*c.box), Hex2(chip.regs[*c.box]));
        }
        for (const Shows& shows : c.controls) EXPECT_EQ(Shown(shows.control), shows.afterReadback) << shows.control;
    }
}

// Read-modify-write: a register that cannot be read is not written, its box
// shows "--" and the control keeps what the user chose. Once the register
// answers again, the same action writes and the failure gives way.
TEST_F(PanelTest, AChoiceWhoseReadFailedWritesNothingAndSaysSo)
{
    StartOnConfiguredChip();
    const UnreadRegister cases[] = {
        {"Vboost slider", 0xA6, 0x80, [&] { ReleaseSliderAt(idc::kVboost, 20); }, idc::kVboost, "20"},
        {"Frequency", 0xA6, 0x80, [&] { ChooseEntry(idc::kBoostFreq, 0); }, idc::kBoostFreq, "312kHz"},
        {"Vboost Maximum", 0xA9, 0xA0, [&] { ChooseEntry(idc::kVboostMax, 7); }, idc::kVboostMax, "34 V / 43 V"},
        {"Vboost Maximum after a write", 0xA9, 0x55, [&] { ChooseEntry(idc::kVboostMax, 6); }, idc::kVboostMax,
         "30 V / 39 V"},
        {"Adaptive", 0xAA, 0x0F, [&] { Click(idc::kAdaptive); }, idc::kAdaptive, "unticked"},
        {"SS EN", 0xAA, 0x0F, [&] { Click(idc::kSsEn); }, idc::kSsEn, "ticked"},
        {"Dimming threshold", 0xA4, 0x72, [&] { ChooseEntry(idc::kDimThreshold, 3); }, idc::kDimThreshold,
         "PWM Below 15%"},
        {"PWM Direct", 0xA5, 0x14, [&] { Click(idc::kPwmDirect); }, idc::kPwmDirect, "ticked"},
        {"Phase Shift Mode", 0xA5, 0x14, [&] { ChooseEntry(idc::kPhaseShift, 6); }, idc::kPhaseShift, "2 PH 6 DR"},
        {"PWM Frequency", 0xA5, 0x14, [&] { ChooseEntry(idc::kPwmFreq, 9); }, idc::kPwmFreq, "16828 Hz"},
    };
    for (const UnreadRegister& c : cases) {
        SCOPED_TRACE(c.action);
        chip.regs[c.reg] = c.holds;
        chip.failReads.clear();
        Click(idc::kReadbackAll);
        Panel().SetStatusText("Ready");
        chip.failReads = {c.reg};
        chip.ClearRecords();
        c.act();
        EXPECT_EQ(Writes(), "");
        EXPECT_EQ(chip.reads, std::vector<uint8_t>{c.reg}) << "read once, nothing else";
        EXPECT_EQ(chip.regs[c.reg], c.holds);
        EXPECT_EQ(BoxText(c.reg), "--");
        EXPECT_EQ(Shown(c.control), c.shown);
        EXPECT_EQ(Panel().StatusText(), "Read of " + Hex2(c.reg) + " failed: nothing written");

        chip.failReads.clear();
        chip.ClearRecords();
        c.act();
        EXPECT_NE(Writes(), "");
        EXPECT_EQ(BoxText(c.reg), Hex2(chip.regs[c.reg]));
        EXPECT_EQ(Panel().StatusText(), "Ready");
    }
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
