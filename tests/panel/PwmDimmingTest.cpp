// PWM dimming: the threshold list (0xA4 bits 7-4) and the PWM Direct box,
// Phase Shift Mode and PWM Frequency lists (0xA5) read their register and
// write it back with only their own bits changed; bit 7 of 0xA5 always
// follows the PWM Direct box.
#include "PanelHarness.h"

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {

constexpr int kReadbackAll = 1020;
constexpr int kRegAddr = 1016;
constexpr int kData = 1017;
constexpr int kManualWrite = 1018;
constexpr const char* kReady = "Initialization Complete";

constexpr int kThreshold = 1123;
constexpr int kPwmDirect = 1120;
constexpr int kPhaseShift = 1121;
constexpr int kPwmFreq = 1122;
constexpr int kBoxA4 = 1058;
constexpr int kBoxA5 = 1059;

constexpr int kPwmBelow50 = 10;
constexpr int kPwmAlways = 11;

class PwmDimming : public PanelTest {};

}  // namespace

// ---- 0xA4 ------------------------------------------------------------------

TEST_F(PwmDimming, ThresholdKeepsTheLowFourBitsOfTheChip)
{
    StartPanel();  // blank chip: 0xA4 = 0x72
    EXPECT_EQ(ListText(kThreshold), "PWM Below 25%");

    ChooseEntry(kThreshold, kPwmBelow50);
    EXPECT_EQ(Writes(), "A4=A2");
    EXPECT_EQ(Text(kBoxA4), "A2");
    EXPECT_EQ(chip.reads, std::vector<uint8_t>{0xA4});

    ChooseEntry(kThreshold, 0);  // 100% Current Dim
    EXPECT_EQ(Writes(), "A4=A2 A4=02");
    EXPECT_EQ(Text(kBoxA4), "02");

    ChooseEntry(kThreshold, kPwmAlways);
    EXPECT_EQ(Writes(), "A4=A2 A4=02 A4=B2");
    EXPECT_EQ(Text(kBoxA4), "B2");
    EXPECT_EQ(ListText(kThreshold), "PWM Always");
    EXPECT_EQ(Panel().StatusText(), kReady);
}

TEST_F(PwmDimming, ThresholdPwmBelow50ReadsBackAsPwmAlways)
{
    StartPanel();
    ChooseEntry(kThreshold, kPwmBelow50);
    EXPECT_EQ(ListText(kThreshold), "PWM Below 50%");

    Click(kReadbackAll);
    EXPECT_EQ(Text(kBoxA4), "A2");
    EXPECT_EQ(SelectedEntry(kThreshold), kPwmAlways);
    EXPECT_EQ(ListText(kThreshold), "PWM Always");
    EXPECT_EQ(Writes(), "A4=A2") << "the readback writes nothing";
}

TEST_F(PwmDimming, ThresholdWithAnUnreadableRegisterWritesNothing)
{
    StartPanel();
    chip.failReads = {0xA4};
    ChooseEntry(kThreshold, 3);  // PWM Below 15%
    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(Text(kBoxA4), "--");
    EXPECT_EQ(ListText(kThreshold), "PWM Below 15%");
    EXPECT_EQ(chip.regs[0xA4], 0x72);
    EXPECT_EQ(Panel().StatusText(), kReady);

    // Once the register answers again a choice writes.
    chip.failReads.clear();
    ChooseEntry(kThreshold, 4);  // PWM Below 17.5%
    EXPECT_EQ(Writes(), "A4=42");
    EXPECT_EQ(Text(kBoxA4), "42");
}

// ---- 0xA5 ------------------------------------------------------------------

TEST_F(PwmDimming, EachA5ControlChangesOnlyItsOwnBits)
{
    StartOnConfiguredChip({{0xA5, 0x14}});
    EXPECT_FALSE(Ticked(kPwmDirect));
    EXPECT_EQ(ListText(kPhaseShift), "5 PH 5 DR");
    EXPECT_EQ(ListText(kPwmFreq), "9616 Hz");

    ChooseEntry(kPhaseShift, 7);  // 1 PH 6 DR
    EXPECT_EQ(Writes(), "A5=74");
    EXPECT_EQ(Text(kBoxA5), "74");

    Click(kPwmDirect);
    EXPECT_TRUE(Ticked(kPwmDirect));
    EXPECT_EQ(Writes(), "A5=74 A5=F4");
    EXPECT_EQ(Text(kBoxA5), "F4");

    ChooseEntry(kPwmFreq, 15);  // 38464 Hz
    EXPECT_EQ(Writes(), "A5=74 A5=F4 A5=FF");
    EXPECT_EQ(Text(kBoxA5), "FF");

    Click(kPwmDirect);
    EXPECT_FALSE(Ticked(kPwmDirect));
    EXPECT_EQ(Writes(), "A5=74 A5=F4 A5=FF A5=7F");
    EXPECT_EQ(Text(kBoxA5), "7F");
    EXPECT_EQ(chip.reads, (std::vector<uint8_t>{0xA5, 0xA5, 0xA5, 0xA5}));
    EXPECT_EQ(Panel().StatusText(), kReady);

    Click(kReadbackAll);
    EXPECT_EQ(Text(kBoxA5), "7F");
    EXPECT_FALSE(Ticked(kPwmDirect));
    EXPECT_EQ(ListText(kPhaseShift), "1 PH 6 DR");
    EXPECT_EQ(ListText(kPwmFreq), "38464 Hz");
}

TEST_F(PwmDimming, FrequencyChoiceBringsBit7BackInLineWithTheDirectBox)
{
    StartOnConfiguredChip({{0xA5, 0x24}});
    WriteByHand("A5", "84");
    ASSERT_EQ(chip.regs[0xA5], 0x84);
    EXPECT_FALSE(Ticked(kPwmDirect));

    ChooseEntry(kPwmFreq, 0);  // 4808 Hz
    EXPECT_EQ(Writes(), "A5=84 A5=00");
    EXPECT_EQ(Text(kBoxA5), "00");
}

TEST_F(PwmDimming, PhaseShiftChoiceBringsBit7BackInLineWithTheDirectBox)
{
    StartOnConfiguredChip({{0xA5, 0x24}});
    WriteByHand("A5", "84");
    ASSERT_EQ(chip.regs[0xA5], 0x84);

    ChooseEntry(kPhaseShift, 0);  // 6 PH 6 DR
    EXPECT_EQ(Writes(), "A5=84 A5=04");
    EXPECT_EQ(Text(kBoxA5), "04");

    // And the other way round: a ticked box sets bit 7 the chip had lost.
    Click(kPwmDirect);
    WriteByHand("A5", "04");
    ChooseEntry(kPhaseShift, 2);  // 4 PH 4 DR
    EXPECT_EQ(Writes(), "A5=84 A5=04 A5=84 A5=04 A5=A4");
    EXPECT_EQ(Text(kBoxA5), "A4");
}

TEST_F(PwmDimming, A5WithAnUnreadableRegisterWritesNothingAndKeepsTheUsersChoice)
{
    StartOnConfiguredChip({{0xA5, 0x14}});
    chip.failReads = {0xA5};

    Click(kPwmDirect);
    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(Text(kBoxA5), "--");
    EXPECT_TRUE(Ticked(kPwmDirect));

    ChooseEntry(kPhaseShift, 6);  // 2 PH 6 DR
    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(Text(kBoxA5), "--");
    EXPECT_EQ(ListText(kPhaseShift), "2 PH 6 DR");

    ChooseEntry(kPwmFreq, 9);  // 16828 Hz
    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(Text(kBoxA5), "--");
    EXPECT_EQ(ListText(kPwmFreq), "16828 Hz");

    EXPECT_EQ(chip.regs[0xA5], 0x14);
    EXPECT_EQ(chip.reads, (std::vector<uint8_t>{0xA5, 0xA5, 0xA5}));
    EXPECT_EQ(Panel().StatusText(), kReady);
}

TEST_F(PwmDimming, FailedWriteShowsTheComposedValueUntilTheReadback)
{
    StartOnConfiguredChip({{0xA5, 0x14}});
    chip.failWrites = {0xA5};
    ChooseEntry(kPwmFreq, 12);  // 24040 Hz
    EXPECT_EQ(Writes(), "A5=1C");
    EXPECT_EQ(Text(kBoxA5), "1C");

    Click(kReadbackAll);
    EXPECT_EQ(Text(kBoxA5), "14");
    EXPECT_EQ(ListText(kPwmFreq), "9616 Hz");
}
