// Boost: the Vboost slider and Frequency list share 0xA6, Vboost Maximum sets
// 0xA9 bits 7-5, Adaptive and SS set bits 3 and 7 of 0xAA; each reads its
// register and keeps the other bits. The range radios write 0x9E and 0x98
// whole, without reading.
#include "PanelHarness.h"

#include "ControlIds.h"
#include "Controls.h"

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {

class Boost : public PanelTest {
protected:
    int SliderPosition(int id) const { return Slider(id)->value(); }
};

}  // namespace

// ---- 0xA6 ------------------------------------------------------------------

TEST_F(Boost, VboostSliderSetsTheCodeAndKeepsTheFrequencyBits)
{
    StartPanel();  // blank chip: 0xA6 = 0x80
    EXPECT_EQ(SliderPosition(idc::kVboost), 0);
    EXPECT_EQ(Text(idc::kVboostCode), "");

    ReleaseSliderAt(idc::kVboost, 63);
    EXPECT_EQ(Writes(), "A6=BF");
    EXPECT_EQ(Text(idc::kVboostCode), "3F");
    EXPECT_EQ(Text(idc::kRegA6), "BF");
    EXPECT_EQ(chip.reads, std::vector<uint8_t>{0xA6});

    ReleaseSliderAt(idc::kVboost, 0);
    EXPECT_EQ(Writes(), "A6=BF A6=80");
    EXPECT_EQ(Text(idc::kVboostCode), "00");
    EXPECT_EQ(Text(idc::kRegA6), "80");

    ReleaseSliderAt(idc::kVboost, 0x2A);
    EXPECT_EQ(Writes(), "A6=BF A6=80 A6=AA");
    EXPECT_EQ(Text(idc::kVboostCode), "2A");
    EXPECT_EQ(ListText(idc::kBoostFreq), "1250kHz");
    EXPECT_EQ(Panel().StatusText(), kReady);

    Click(idc::kReadbackAll);
    EXPECT_EQ(SliderPosition(idc::kVboost), 0x2A);
    EXPECT_EQ(Text(idc::kRegA6), "AA");
}

TEST_F(Boost, VboostCodeBoxKeepsTheLastReleaseAcrossAReadback)
{
    StartPanel();
    ReleaseSliderAt(idc::kVboost, 0x11);
    EXPECT_EQ(Text(idc::kVboostCode), "11");

    WriteByHand("A6", "45");
    Click(idc::kReadbackAll);
    EXPECT_EQ(SliderPosition(idc::kVboost), 5);
    EXPECT_EQ(ListText(idc::kBoostFreq), "625kHz");
    EXPECT_EQ(Text(idc::kRegA6), "45");
    EXPECT_EQ(Text(idc::kVboostCode), "11");
    EXPECT_EQ(Writes(), "A6=91 A6=45");
}

TEST_F(Boost, VboostCodeBoxStaysEmptyUntilTheFirstRelease)
{
    StartOnConfiguredChip({{0xA6, 0x85}});
    EXPECT_EQ(SliderPosition(idc::kVboost), 5);
    Click(idc::kReadbackAll);
    EXPECT_EQ(Text(idc::kVboostCode), "");
}

TEST_F(Boost, FrequencyListKeepsTheVboostCode)
{
    StartOnConfiguredChip({{0xA6, 0xBF}});
    EXPECT_EQ(ListText(idc::kBoostFreq), "1250kHz");
    EXPECT_EQ(SliderPosition(idc::kVboost), 63);

    ChooseEntry(idc::kBoostFreq, 0);  // 312kHz
    EXPECT_EQ(Writes(), "A6=3F");
    EXPECT_EQ(Text(idc::kRegA6), "3F");

    ChooseEntry(idc::kBoostFreq, 1);  // 625kHz
    EXPECT_EQ(Writes(), "A6=3F A6=7F");
    EXPECT_EQ(Text(idc::kRegA6), "7F");

    ChooseEntry(idc::kBoostFreq, 2);  // 1250kHz
    EXPECT_EQ(Writes(), "A6=3F A6=7F A6=BF");
    EXPECT_EQ(Text(idc::kRegA6), "BF");
    EXPECT_EQ(chip.reads, (std::vector<uint8_t>{0xA6, 0xA6, 0xA6}));
    EXPECT_EQ(Panel().StatusText(), kReady);

    ChooseEntry(idc::kBoostFreq, 1);
    Click(idc::kReadbackAll);
    EXPECT_EQ(ListText(idc::kBoostFreq), "625kHz");
    EXPECT_EQ(SliderPosition(idc::kVboost), 63);
}

TEST_F(Boost, FrequencyFieldWithoutAnEntryLeavesTheListUnselectedAndWritesNothing)
{
    StartOnConfiguredChip({{0xA6, 0x85}, {0xA9, 0xA0}});
    EXPECT_EQ(ListText(idc::kBoostFreq), "1250kHz");

    WriteByHand("A6", "C7");
    WriteByHand("A9", "E0");
    chip.ClearRecords();
    Click(idc::kReadbackAll);
    EXPECT_EQ(SelectedEntry(idc::kBoostFreq), -1);
    EXPECT_EQ(SliderPosition(idc::kVboost), 7);
    EXPECT_EQ(ListText(idc::kVboostMax), "34 V / 43 V") << "the other fields decode as usual";
    EXPECT_EQ(Text(idc::kRegA6), "C7");
    EXPECT_EQ(Writes(), "");

    // The slider keeps the chip's top bits, even the value without an entry.
    ReleaseSliderAt(idc::kVboost, 1);
    EXPECT_EQ(Writes(), "A6=C1");
}

// ---- 0xA9 ------------------------------------------------------------------

TEST_F(Boost, VboostMaximumSetsTheTopThreeBits)
{
    StartPanel();  // blank chip: 0xA9 = 0xA0
    EXPECT_EQ(ListText(idc::kVboostMax), "25 V / 34.5 V");

    ChooseEntry(idc::kVboostMax, 7);  // 34 V / 43 V
    EXPECT_EQ(Writes(), "A9=E0");
    EXPECT_EQ(Text(idc::kRegA9), "E0");

    // Two entries read "NA / NA": the position, not the text, is written.
    ChooseEntry(idc::kVboostMax, 1);
    EXPECT_EQ(Writes(), "A9=E0 A9=20");
    ChooseEntry(idc::kVboostMax, 0);
    EXPECT_EQ(Writes(), "A9=E0 A9=20 A9=00");
    EXPECT_EQ(Text(idc::kRegA9), "00");
    EXPECT_EQ(Panel().StatusText(), kReady);

    Click(idc::kReadbackAll);
    EXPECT_EQ(SelectedEntry(idc::kVboostMax), 0);
}

TEST_F(Boost, VboostMaximumKeepsTheLowFiveBits)
{
    StartOnConfiguredChip({{0xA9, 0xB5}});
    ChooseEntry(idc::kVboostMax, 2);  // NA / 21 V
    EXPECT_EQ(Writes(), "A9=55");
    EXPECT_EQ(Text(idc::kRegA9), "55");
    EXPECT_EQ(chip.reads, std::vector<uint8_t>{0xA9});
}

// ---- 0xAA ------------------------------------------------------------------

TEST_F(Boost, AdaptiveAndSsChangeOneBitEach)
{
    StartPanel();  // blank chip: 0xAA = 0x0F
    EXPECT_TRUE(Ticked(idc::kAdaptive));
    EXPECT_FALSE(Ticked(idc::kSsEn));

    Click(idc::kAdaptive);
    EXPECT_EQ(Writes(), "AA=07");
    EXPECT_EQ(Text(idc::kRegAA), "07");

    Click(idc::kSsEn);
    EXPECT_EQ(Writes(), "AA=07 AA=87");
    EXPECT_EQ(Text(idc::kRegAA), "87");
    EXPECT_EQ(chip.reads, (std::vector<uint8_t>{0xAA, 0xAA}));
    EXPECT_EQ(Panel().StatusText(), kReady);

    Click(idc::kReadbackAll);
    EXPECT_FALSE(Ticked(idc::kAdaptive));
    EXPECT_TRUE(Ticked(idc::kSsEn));
    EXPECT_EQ(Text(idc::kRegAA), "87");
}

TEST_F(Boost, AdaptiveAndSsKeepTheOtherBitsOfTheChip)
{
    StartOnConfiguredChip({{0xAA, 0x75}});
    EXPECT_FALSE(Ticked(idc::kAdaptive));
    Click(idc::kSsEn);
    Click(idc::kAdaptive);
    EXPECT_EQ(Writes(), "AA=F5 AA=FD");
    Click(idc::kSsEn);
    Click(idc::kAdaptive);
    EXPECT_EQ(Writes(), "AA=F5 AA=FD AA=7D AA=75");
    EXPECT_EQ(Text(idc::kRegAA), "75");
}

// ---- 0x9E and 0x98 -----------------------------------------------------------

TEST_F(Boost, RangeRadiosAfterAPresetWriteTheWholeByte)
{
    StartPanel();
    Click(idc::kLoad);  // preset E0: 0x98 = 0x1B, 0x9E = 0x22
    ASSERT_EQ(Panel().StatusText(), "Config E0 loaded");
    ASSERT_EQ(chip.regs[0x98], 0x1B);
    EXPECT_TRUE(Ticked(idc::kVboostHigh));
    EXPECT_TRUE(Ticked(idc::kIboostLow));
    chip.ClearRecords();

    Click(idc::kIboostHigh);
    EXPECT_EQ(Writes(), "98=80");
    EXPECT_EQ(Text(idc::kReg98), "80");
    EXPECT_TRUE(Ticked(idc::kIboostHigh));
    EXPECT_FALSE(Ticked(idc::kIboostLow));

    Click(idc::kVboostHigh);  // already chosen
    EXPECT_EQ(Writes(), "98=80 9E=20");
    EXPECT_EQ(Text(idc::kReg9E), "20");
    Click(idc::kVboostLow);
    EXPECT_EQ(Writes(), "98=80 9E=20 9E=00");
    EXPECT_EQ(Text(idc::kReg9E), "00");
    EXPECT_TRUE(Ticked(idc::kVboostLow));
    EXPECT_TRUE(Ticked(idc::kIboostHigh)) << "the pairs are independent";
    EXPECT_TRUE(chip.reads.empty()) << "the radios write without reading";
    EXPECT_EQ(Panel().StatusText(), "Config E0 loaded");

    Click(idc::kReadbackAll);
    EXPECT_TRUE(Ticked(idc::kIboostHigh));
    EXPECT_TRUE(Ticked(idc::kVboostLow));
    EXPECT_EQ(Text(idc::kReg98), "80");
    EXPECT_EQ(Text(idc::kReg9E), "00");
}

TEST_F(Boost, ClickingTheChosenRadioWritesAgain)
{
    StartPanel();  // blank chip: 0x98 = 0x00, 0x9E = 0x20
    EXPECT_TRUE(Ticked(idc::kIboostLow));
    WriteByHand("98", "5A");
    Click(idc::kIboostLow);
    Click(idc::kIboostLow);
    EXPECT_EQ(Writes(), "98=5A 98=00 98=00");
    EXPECT_EQ(Text(idc::kReg98), "00");
    EXPECT_TRUE(Ticked(idc::kIboostLow));
}

TEST_F(Boost, RangeRadiosWriteEvenWhenTheirRegisterCannotBeRead)
{
    StartPanel();
    chip.failReads = {0x98, 0x9E};
    Click(idc::kVboostLow);
    Click(idc::kIboostHigh);
    EXPECT_EQ(Writes(), "9E=00 98=80");
    EXPECT_EQ(Text(idc::kReg9E), "00");
    EXPECT_EQ(Text(idc::kReg98), "80");
}
