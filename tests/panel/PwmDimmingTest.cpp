// PWM dimming: the threshold list (0xA4 bits 7-4) and the PWM Direct box,
// Phase Shift Mode and PWM Frequency lists (0xA5) read their register and
// write it back with only their own bits changed; bit 7 of 0xA5 always
// follows the PWM Direct box.
#include "PanelHarness.h"

#include "ControlIds.h"

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {

constexpr int kPwmBelow50 = 10;
constexpr int kPwmAlways = 11;

class PwmDimming : public PanelTest {};

}  // namespace

// ---- 0xA4 ------------------------------------------------------------------

TEST_F(PwmDimming, ThresholdKeepsTheLowFourBitsOfTheChip)
{
    StartPanel();  // blank chip: 0xA4 = 0x72
    EXPECT_EQ(ListText(idc::kDimThreshold), "PWM Below 25%");

    ChooseEntry(idc::kDimThreshold, kPwmBelow50);
    EXPECT_EQ(Writes(), "A4=A2");
    EXPECT_EQ(Text(idc::kRegA4), "A2");
    EXPECT_EQ(chip.reads, std::vector<uint8_t>{0xA4});

    ChooseEntry(idc::kDimThreshold, 0);  // 100% Current Dim
    EXPECT_EQ(Writes(), "A4=A2 A4=02");
    EXPECT_EQ(Text(idc::kRegA4), "02");

    ChooseEntry(idc::kDimThreshold, kPwmAlways);
    EXPECT_EQ(Writes(), "A4=A2 A4=02 A4=B2");
    EXPECT_EQ(Text(idc::kRegA4), "B2");
    EXPECT_EQ(ListText(idc::kDimThreshold), "PWM Always");
    EXPECT_EQ(Panel().StatusText(), kReady);
}

TEST_F(PwmDimming, ThresholdPwmBelow50ReadsBackAsPwmAlways)
{
    StartPanel();
    ChooseEntry(idc::kDimThreshold, kPwmBelow50);
    EXPECT_EQ(ListText(idc::kDimThreshold), "PWM Below 50%");

    Click(idc::kReadbackAll);
    EXPECT_EQ(Text(idc::kRegA4), "A2");
    EXPECT_EQ(SelectedEntry(idc::kDimThreshold), kPwmAlways);
    EXPECT_EQ(ListText(idc::kDimThreshold), "PWM Always");
    EXPECT_EQ(Writes(), "A4=A2") << "the readback writes nothing";
}

// ---- 0xA5 ------------------------------------------------------------------

TEST_F(PwmDimming, EachA5ControlChangesOnlyItsOwnBits)
{
    StartOnConfiguredChip({{0xA5, 0x14}});
    EXPECT_FALSE(Ticked(idc::kPwmDirect));
    EXPECT_EQ(ListText(idc::kPhaseShift), "5 PH 5 DR");
    EXPECT_EQ(ListText(idc::kPwmFreq), "9616 Hz");

    ChooseEntry(idc::kPhaseShift, 7);  // 1 PH 6 DR
    EXPECT_EQ(Writes(), "A5=74");
    EXPECT_EQ(Text(idc::kRegA5), "74");

    Click(idc::kPwmDirect);
    EXPECT_TRUE(Ticked(idc::kPwmDirect));
    EXPECT_EQ(Writes(), "A5=74 A5=F4");
    EXPECT_EQ(Text(idc::kRegA5), "F4");

    ChooseEntry(idc::kPwmFreq, 15);  // 38464 Hz
    EXPECT_EQ(Writes(), "A5=74 A5=F4 A5=FF");
    EXPECT_EQ(Text(idc::kRegA5), "FF");

    Click(idc::kPwmDirect);
    EXPECT_FALSE(Ticked(idc::kPwmDirect));
    EXPECT_EQ(Writes(), "A5=74 A5=F4 A5=FF A5=7F");
    EXPECT_EQ(Text(idc::kRegA5), "7F");
    EXPECT_EQ(chip.reads, (std::vector<uint8_t>{0xA5, 0xA5, 0xA5, 0xA5}));
    EXPECT_EQ(Panel().StatusText(), kReady);

    Click(idc::kReadbackAll);
    EXPECT_EQ(Text(idc::kRegA5), "7F");
    EXPECT_FALSE(Ticked(idc::kPwmDirect));
    EXPECT_EQ(ListText(idc::kPhaseShift), "1 PH 6 DR");
    EXPECT_EQ(ListText(idc::kPwmFreq), "38464 Hz");
}

TEST_F(PwmDimming, FrequencyChoiceBringsBit7BackInLineWithTheDirectBox)
{
    StartOnConfiguredChip({{0xA5, 0x24}});
    WriteByHand("A5", "84");
    ASSERT_EQ(chip.regs[0xA5], 0x84);
    EXPECT_FALSE(Ticked(idc::kPwmDirect));

    ChooseEntry(idc::kPwmFreq, 0);  // 4808 Hz
    EXPECT_EQ(Writes(), "A5=84 A5=00");
    EXPECT_EQ(Text(idc::kRegA5), "00");
}

TEST_F(PwmDimming, PhaseShiftChoiceBringsBit7BackInLineWithTheDirectBox)
{
    StartOnConfiguredChip({{0xA5, 0x24}});
    WriteByHand("A5", "84");
    ASSERT_EQ(chip.regs[0xA5], 0x84);

    ChooseEntry(idc::kPhaseShift, 0);  // 6 PH 6 DR
    EXPECT_EQ(Writes(), "A5=84 A5=04");
    EXPECT_EQ(Text(idc::kRegA5), "04");

    // And the other way round: a ticked box sets bit 7 the chip had lost.
    Click(idc::kPwmDirect);
    WriteByHand("A5", "04");
    ChooseEntry(idc::kPhaseShift, 2);  // 4 PH 4 DR
    EXPECT_EQ(Writes(), "A5=84 A5=04 A5=84 A5=04 A5=A4");
    EXPECT_EQ(Text(idc::kRegA5), "A4");
}

