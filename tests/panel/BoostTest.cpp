// Boost: the Vboost slider and Frequency list share 0xA6, Vboost Maximum sets
// 0xA9 bits 7-5, Adaptive and SS set bits 3 and 7 of 0xAA; each reads its
// register and keeps the other bits. The range radios write 0x9E and 0x98
// whole, without reading.
#include "PanelHarness.h"

#include "Controls.h"

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {

constexpr int kReadbackAll = 1020;
constexpr int kRegAddr = 1016;
constexpr int kData = 1017;
constexpr int kManualWrite = 1018;
constexpr int kLoad = 1135;
constexpr const char* kReady = "Initialization Complete";

constexpr int kVboostSlider = 1113;
constexpr int kVboostCode = 1116;
constexpr int kVboostMax = 1114;
constexpr int kBoostFreq = 1119;
constexpr int kSs = 1131;
constexpr int kAdaptive = 1115;
constexpr int kVboostLow = 1132;   // 7 - 34 V
constexpr int kVboostHigh = 1133;  // 16 - 43 V
constexpr int kIboostLow = 1140;   // 0.9 - 1.8A
constexpr int kIboostHigh = 1141;  // 1.6 - 2.6A
constexpr int kBoxA6 = 1060;
constexpr int kBoxA9 = 1063;
constexpr int kBoxAA = 1064;
constexpr int kBox9E = 1142;
constexpr int kBox98 = 1130;

class Boost : public PanelTest {
protected:
    int SliderPosition(int id) const { return Slider(id)->value(); }
};

}  // namespace

// ---- 0xA6 ------------------------------------------------------------------

TEST_F(Boost, VboostSliderSetsTheCodeAndKeepsTheFrequencyBits)
{
    StartPanel();  // blank chip: 0xA6 = 0x80
    EXPECT_EQ(SliderPosition(kVboostSlider), 0);
    EXPECT_EQ(Text(kVboostCode), "");

    ReleaseSliderAt(kVboostSlider, 63);
    EXPECT_EQ(Writes(), "A6=BF");
    EXPECT_EQ(Text(kVboostCode), "3F");
    EXPECT_EQ(Text(kBoxA6), "BF");
    EXPECT_EQ(chip.reads, std::vector<uint8_t>{0xA6});

    ReleaseSliderAt(kVboostSlider, 0);
    EXPECT_EQ(Writes(), "A6=BF A6=80");
    EXPECT_EQ(Text(kVboostCode), "00");
    EXPECT_EQ(Text(kBoxA6), "80");

    ReleaseSliderAt(kVboostSlider, 0x2A);
    EXPECT_EQ(Writes(), "A6=BF A6=80 A6=AA");
    EXPECT_EQ(Text(kVboostCode), "2A");
    EXPECT_EQ(ListText(kBoostFreq), "1250kHz");
    EXPECT_EQ(Panel().StatusText(), kReady);

    Click(kReadbackAll);
    EXPECT_EQ(SliderPosition(kVboostSlider), 0x2A);
    EXPECT_EQ(Text(kBoxA6), "AA");
}

TEST_F(Boost, VboostCodeBoxKeepsTheLastReleaseAcrossAReadback)
{
    StartPanel();
    ReleaseSliderAt(kVboostSlider, 0x11);
    EXPECT_EQ(Text(kVboostCode), "11");

    WriteByHand("A6", "45");
    Click(kReadbackAll);
    EXPECT_EQ(SliderPosition(kVboostSlider), 5);
    EXPECT_EQ(ListText(kBoostFreq), "625kHz");
    EXPECT_EQ(Text(kBoxA6), "45");
    EXPECT_EQ(Text(kVboostCode), "11");
    EXPECT_EQ(Writes(), "A6=91 A6=45");
}

TEST_F(Boost, VboostCodeBoxStaysEmptyUntilTheFirstRelease)
{
    StartOnConfiguredChip({{0xA6, 0x85}});
    EXPECT_EQ(SliderPosition(kVboostSlider), 5);
    Click(kReadbackAll);
    EXPECT_EQ(Text(kVboostCode), "");
}

TEST_F(Boost, FrequencyListKeepsTheVboostCode)
{
    StartOnConfiguredChip({{0xA6, 0xBF}});
    EXPECT_EQ(ListText(kBoostFreq), "1250kHz");
    EXPECT_EQ(SliderPosition(kVboostSlider), 63);

    ChooseEntry(kBoostFreq, 0);  // 312kHz
    EXPECT_EQ(Writes(), "A6=3F");
    EXPECT_EQ(Text(kBoxA6), "3F");

    ChooseEntry(kBoostFreq, 1);  // 625kHz
    EXPECT_EQ(Writes(), "A6=3F A6=7F");
    EXPECT_EQ(Text(kBoxA6), "7F");

    ChooseEntry(kBoostFreq, 2);  // 1250kHz
    EXPECT_EQ(Writes(), "A6=3F A6=7F A6=BF");
    EXPECT_EQ(Text(kBoxA6), "BF");
    EXPECT_EQ(chip.reads, (std::vector<uint8_t>{0xA6, 0xA6, 0xA6}));
    EXPECT_EQ(Panel().StatusText(), kReady);

    ChooseEntry(kBoostFreq, 1);
    Click(kReadbackAll);
    EXPECT_EQ(ListText(kBoostFreq), "625kHz");
    EXPECT_EQ(SliderPosition(kVboostSlider), 63);
}

TEST_F(Boost, FrequencyFieldWithoutAnEntryLeavesTheListUnselectedAndWritesNothing)
{
    StartOnConfiguredChip({{0xA6, 0x85}, {0xA9, 0xA0}});
    EXPECT_EQ(ListText(kBoostFreq), "1250kHz");

    WriteByHand("A6", "C7");
    WriteByHand("A9", "E0");
    chip.ClearRecords();
    Click(kReadbackAll);
    EXPECT_EQ(SelectedEntry(kBoostFreq), -1);
    EXPECT_EQ(SliderPosition(kVboostSlider), 7);
    EXPECT_EQ(ListText(kVboostMax), "34 V / 43 V") << "the other fields decode as usual";
    EXPECT_EQ(Text(kBoxA6), "C7");
    EXPECT_EQ(Writes(), "");

    // The slider keeps the chip's top bits, even the value without an entry.
    ReleaseSliderAt(kVboostSlider, 1);
    EXPECT_EQ(Writes(), "A6=C1");
}

TEST_F(Boost, A6WithAnUnreadableRegisterWritesNothing)
{
    StartPanel();
    chip.failReads = {0xA6};

    ReleaseSliderAt(kVboostSlider, 20);
    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(Text(kBoxA6), "--");
    EXPECT_EQ(SliderPosition(kVboostSlider), 20);

    ChooseEntry(kBoostFreq, 0);  // 312kHz
    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(Text(kBoxA6), "--");
    EXPECT_EQ(ListText(kBoostFreq), "312kHz");

    EXPECT_EQ(chip.regs[0xA6], 0x80);
    EXPECT_EQ(Panel().StatusText(), kReady);
}

// ---- 0xA9 ------------------------------------------------------------------

TEST_F(Boost, VboostMaximumSetsTheTopThreeBits)
{
    StartPanel();  // blank chip: 0xA9 = 0xA0
    EXPECT_EQ(ListText(kVboostMax), "25 V / 34.5 V");

    ChooseEntry(kVboostMax, 7);  // 34 V / 43 V
    EXPECT_EQ(Writes(), "A9=E0");
    EXPECT_EQ(Text(kBoxA9), "E0");

    // Two entries read "NA / NA": the position, not the text, is written.
    ChooseEntry(kVboostMax, 1);
    EXPECT_EQ(Writes(), "A9=E0 A9=20");
    ChooseEntry(kVboostMax, 0);
    EXPECT_EQ(Writes(), "A9=E0 A9=20 A9=00");
    EXPECT_EQ(Text(kBoxA9), "00");
    EXPECT_EQ(Panel().StatusText(), kReady);

    Click(kReadbackAll);
    EXPECT_EQ(SelectedEntry(kVboostMax), 0);
}

TEST_F(Boost, VboostMaximumKeepsTheLowFiveBits)
{
    StartOnConfiguredChip({{0xA9, 0xB5}});
    ChooseEntry(kVboostMax, 2);  // NA / 21 V
    EXPECT_EQ(Writes(), "A9=55");
    EXPECT_EQ(Text(kBoxA9), "55");
    EXPECT_EQ(chip.reads, std::vector<uint8_t>{0xA9});

    chip.failReads = {0xA9};
    ChooseEntry(kVboostMax, 6);  // 30 V / 39 V
    EXPECT_EQ(Writes(), "A9=55");
    EXPECT_EQ(Text(kBoxA9), "--");
    EXPECT_EQ(ListText(kVboostMax), "30 V / 39 V");
}

// ---- 0xAA ------------------------------------------------------------------

TEST_F(Boost, AdaptiveAndSsChangeOneBitEach)
{
    StartPanel();  // blank chip: 0xAA = 0x0F
    EXPECT_TRUE(Ticked(kAdaptive));
    EXPECT_FALSE(Ticked(kSs));

    Click(kAdaptive);
    EXPECT_EQ(Writes(), "AA=07");
    EXPECT_EQ(Text(kBoxAA), "07");

    Click(kSs);
    EXPECT_EQ(Writes(), "AA=07 AA=87");
    EXPECT_EQ(Text(kBoxAA), "87");
    EXPECT_EQ(chip.reads, (std::vector<uint8_t>{0xAA, 0xAA}));
    EXPECT_EQ(Panel().StatusText(), kReady);

    Click(kReadbackAll);
    EXPECT_FALSE(Ticked(kAdaptive));
    EXPECT_TRUE(Ticked(kSs));
    EXPECT_EQ(Text(kBoxAA), "87");
}

TEST_F(Boost, AdaptiveAndSsKeepTheOtherBitsOfTheChip)
{
    StartOnConfiguredChip({{0xAA, 0x75}});
    EXPECT_FALSE(Ticked(kAdaptive));
    Click(kSs);
    Click(kAdaptive);
    EXPECT_EQ(Writes(), "AA=F5 AA=FD");
    Click(kSs);
    Click(kAdaptive);
    EXPECT_EQ(Writes(), "AA=F5 AA=FD AA=7D AA=75");
    EXPECT_EQ(Text(kBoxAA), "75");
}

TEST_F(Boost, AdaptiveAndSsWithAnUnreadableRegisterWriteNothing)
{
    StartPanel();
    chip.failReads = {0xAA};
    Click(kAdaptive);
    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(Text(kBoxAA), "--");
    EXPECT_FALSE(Ticked(kAdaptive));

    Click(kSs);
    EXPECT_EQ(Writes(), "");
    EXPECT_TRUE(Ticked(kSs));
    EXPECT_EQ(chip.regs[0xAA], 0x0F);
    EXPECT_EQ(Panel().StatusText(), kReady);
}

// ---- 0x9E and 0x98 -----------------------------------------------------------

TEST_F(Boost, RangeRadiosAfterAPresetWriteTheWholeByte)
{
    StartPanel();
    Click(kLoad);  // preset E0: 0x98 = 0x1B, 0x9E = 0x22
    ASSERT_EQ(Panel().StatusText(), "Config E0 loaded");
    ASSERT_EQ(chip.regs[0x98], 0x1B);
    EXPECT_TRUE(Ticked(kVboostHigh));
    EXPECT_TRUE(Ticked(kIboostLow));
    chip.ClearRecords();

    Click(kIboostHigh);
    EXPECT_EQ(Writes(), "98=80");
    EXPECT_EQ(Text(kBox98), "80");
    EXPECT_TRUE(Ticked(kIboostHigh));
    EXPECT_FALSE(Ticked(kIboostLow));

    Click(kVboostHigh);  // already chosen
    EXPECT_EQ(Writes(), "98=80 9E=20");
    EXPECT_EQ(Text(kBox9E), "20");
    Click(kVboostLow);
    EXPECT_EQ(Writes(), "98=80 9E=20 9E=00");
    EXPECT_EQ(Text(kBox9E), "00");
    EXPECT_TRUE(Ticked(kVboostLow));
    EXPECT_TRUE(Ticked(kIboostHigh)) << "the pairs are independent";
    EXPECT_TRUE(chip.reads.empty()) << "the radios write without reading";
    EXPECT_EQ(Panel().StatusText(), "Config E0 loaded");

    Click(kReadbackAll);
    EXPECT_TRUE(Ticked(kIboostHigh));
    EXPECT_TRUE(Ticked(kVboostLow));
    EXPECT_EQ(Text(kBox98), "80");
    EXPECT_EQ(Text(kBox9E), "00");
}

TEST_F(Boost, ClickingTheChosenRadioWritesAgain)
{
    StartPanel();  // blank chip: 0x98 = 0x00, 0x9E = 0x20
    EXPECT_TRUE(Ticked(kIboostLow));
    WriteByHand("98", "5A");
    Click(kIboostLow);
    Click(kIboostLow);
    EXPECT_EQ(Writes(), "98=5A 98=00 98=00");
    EXPECT_EQ(Text(kBox98), "00");
    EXPECT_TRUE(Ticked(kIboostLow));
}

TEST_F(Boost, RangeRadiosWriteEvenWhenTheirRegisterCannotBeRead)
{
    StartPanel();
    chip.failReads = {0x98, 0x9E};
    Click(kVboostLow);
    Click(kIboostHigh);
    EXPECT_EQ(Writes(), "9E=00 98=80");
    EXPECT_EQ(Text(kBox9E), "00");
    EXPECT_EQ(Text(kBox98), "80");
}
