// The current group: the 12-bit LED current in registers 0xA0 and 0xA1 bits
// 3-0 (slider, Target box, Set), the current scale in 0xA1 bits 6-4 and PDET
// standby in 0xA1 bit 7.
//
// A blank chip gets 0xA0 = 0xFF and 0xA1 = 0xCF at start-up, so the panel
// opens with "PDET Standby" ticked, the scale "100 = 23mA" (4) and the
// slider at 4095.
#include "PanelHarness.h"

#include "Controls.h"
#include "Shadows.h"

#include <QTest>

namespace {

constexpr int kSlider = 1054;
constexpr int kTarget = 1102;
constexpr int kSet = 1077;
constexpr int kScaleList = 1070;
constexpr int kPdet = 1103;
constexpr int kRegA0Box = 1053;
constexpr int kRegA1Box = 1007;
constexpr int kReadbackAll = 1020;
constexpr int kBrightnessSlider = 1047;

const QString kOutOfRange = QStringLiteral("Target out of range (000-FFF)");

}  // namespace

class CurrentTest : public PanelTest {};

TEST_F(CurrentTest, ReleaseAtFullScaleOnABlankChipWritesFFAndCF)
{
    StartPanel();
    ASSERT_EQ(Slider(kSlider)->value(), 4095);
    ASSERT_TRUE(Ticked(kPdet));
    ASSERT_EQ(SelectedEntry(kScaleList), 4);
    ASSERT_EQ(Text(kTarget), "");

    ReleaseSliderAt(kSlider, 4095);

    EXPECT_EQ(chip.reads, std::vector<uint8_t>{0xA1});
    EXPECT_EQ(Writes(), "A0=FF A1=CF");
    EXPECT_EQ(Text(kTarget), "FFF");
    EXPECT_EQ(Panel().StatusText(), "Ready4");
    EXPECT_EQ(g_regA1, 0xCF);
}

TEST_F(CurrentTest, ReleaseTakesTheScaleFromTheChipAndStandbyFromTheBox)
{
    StartPanel();
    Click(kPdet);
    ASSERT_FALSE(Ticked(kPdet));
    ASSERT_EQ(Text(kRegA1Box), "00");
    // Meanwhile the chip holds scale 2 with its standby bit set.
    chip.regs[0xA1] = 0xA5;
    chip.ClearRecords();

    ReleaseSliderAt(kSlider, 0x123);

    EXPECT_EQ(Writes(), "A0=23 A1=21");
    EXPECT_EQ(chip.reads, std::vector<uint8_t>{0xA1});
    EXPECT_EQ(SelectedEntry(kScaleList), 2);
    EXPECT_EQ(ListText(kScaleList), "010 = 15mA");
    EXPECT_EQ(g_currentScale, 2);
    EXPECT_EQ(g_regA1, 0x21);
    EXPECT_FALSE(Ticked(kPdet));
    EXPECT_EQ(Text(kTarget), "123");
    EXPECT_EQ(Panel().StatusText(), "Ready4");
    // The register boxes keep what they showed.
    EXPECT_EQ(Text(kRegA0Box), "FF");
    EXPECT_EQ(Text(kRegA1Box), "00");
}

TEST_F(CurrentTest, ReleaseShowsThePositionAsAtLeastTwoHexDigits)
{
    StartPanel();
    ReleaseSliderAt(kSlider, 0x0A);
    EXPECT_EQ(Text(kTarget), "0A");
    ReleaseSliderAt(kSlider, 0);
    EXPECT_EQ(Text(kTarget), "00");
    ReleaseSliderAt(kSlider, 0x100);
    EXPECT_EQ(Text(kTarget), "100");
    EXPECT_EQ(Writes(), "A0=0A A1=C0 A0=00 A1=C0 A0=00 A1=C1");
}

TEST_F(CurrentTest, ReleaseKeepsTheKnownScaleWhenTheChipCannotBeRead)
{
    StartPanel();
    chip.regs[0xA1] = 0x20;  // scale 2, but the read fails
    chip.failReads = {0xA1};

    ReleaseSliderAt(kSlider, 0x345);

    EXPECT_EQ(chip.reads, std::vector<uint8_t>{0xA1});
    EXPECT_EQ(Writes(), "A0=45 A1=C3");
    EXPECT_EQ(SelectedEntry(kScaleList), 4);
    EXPECT_EQ(ListText(kScaleList), "100 = 23mA");
    EXPECT_EQ(g_currentScale, 4);
    EXPECT_EQ(Text(kTarget), "345");
    EXPECT_EQ(Panel().StatusText(), "Ready4");
}

TEST_F(CurrentTest, ActionsRunNoOtherAction)
{
    StartPanel();
    chip.regs[0xA1] = 0x50;  // scale 5

    // The release selects the chip's scale and pushes a Target text: neither
    // the scale action (an 0xA1 write first) nor the Target action (a second
    // pair of writes) runs.
    ReleaseSliderAt(kSlider, 0x2B4);
    EXPECT_EQ(SelectedEntry(kScaleList), 5);
    EXPECT_EQ(Text(kTarget), "2B4");
    EXPECT_EQ(Writes(), "A0=B4 A1=D2");
    EXPECT_EQ(chip.reads.size(), 1u);
    chip.ClearRecords();

    // Set moves the slider: the release action (a read of 0xA1, "Ready4")
    // does not run.
    ClearText(kTarget);
    Type(kTarget, "9C");
    ReleaseSliderAt(kBrightnessSlider, 1);
    chip.ClearRecords();
    Click(kSet);
    EXPECT_EQ(Slider(kSlider)->value(), 0x9C);
    EXPECT_EQ(Writes(), "A0=9C A1=D0");
    EXPECT_TRUE(chip.reads.empty());
    EXPECT_EQ(Panel().StatusText(), "Ready2");
    EXPECT_EQ(SelectedEntry(kScaleList), 5);
}

TEST_F(CurrentTest, PdetStandbyAfterStartupWrites00Then80)
{
    StartPanel();
    ASSERT_EQ(g_regA1, 0x00);

    Click(kPdet);
    EXPECT_EQ(Writes(), "A1=00");
    EXPECT_FALSE(Ticked(kPdet));
    EXPECT_EQ(Text(kRegA1Box), "00");
    EXPECT_EQ(chip.regs[0xA1], 0x00);
    // The list still shows the scale the chip had before.
    EXPECT_EQ(ListText(kScaleList), "100 = 23mA");

    Click(kPdet);
    EXPECT_EQ(Writes(), "A1=00 A1=80");
    EXPECT_TRUE(Ticked(kPdet));
    EXPECT_EQ(Text(kRegA1Box), "80");
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete");
    EXPECT_TRUE(chip.reads.empty());
}

TEST_F(CurrentTest, ScaleAndStandbyKeepTheOtherBitsOfTheLastWrite)
{
    StartPanel();
    ChooseEntry(kScaleList, 7);
    EXPECT_EQ(Writes(), "A1=F0");
    EXPECT_EQ(Text(kRegA1Box), "F0");
    EXPECT_EQ(g_currentScale, 7);
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete");

    ReleaseSliderAt(kSlider, 0x5AB);
    EXPECT_EQ(Writes(), "A1=F0 A0=AB A1=F5");
    chip.ClearRecords();

    Click(kPdet);
    EXPECT_EQ(Writes(), "A1=75");
    EXPECT_EQ(Text(kRegA1Box), "75");
    ChooseEntry(kScaleList, 1);
    EXPECT_EQ(Writes(), "A1=75 A1=15");
    EXPECT_EQ(Text(kRegA1Box), "15");
    EXPECT_EQ(g_currentScale, 1);
    EXPECT_TRUE(chip.reads.empty());
}

TEST_F(CurrentTest, TargetTypingWritesAPairOnEveryKeystroke)
{
    StartPanel();
    Type(kTarget, "1");
    Type(kTarget, "2");
    Type(kTarget, "3");
    EXPECT_EQ(Writes(), "A0=01 A1=C0 A0=12 A1=C0 A0=23 A1=C1");
    EXPECT_EQ(g_regA1, 0xC1);
    // Typing moves nothing and shows nothing else.
    EXPECT_EQ(Slider(kSlider)->value(), 4095);
    EXPECT_EQ(Text(kRegA1Box), "CF");
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete");
    EXPECT_TRUE(chip.reads.empty());
    chip.ClearRecords();

    QTest::keyClick(Control(kTarget), Qt::Key_Backspace);
    EXPECT_EQ(Writes(), "A0=12 A1=C0");
    chip.ClearRecords();

    ClearText(kTarget);
    EXPECT_EQ(Text(kTarget), "");
    EXPECT_EQ(Writes(), "A0=00 A1=C0");
}

TEST_F(CurrentTest, TargetWithoutHexDigitsReadsAsZero)
{
    StartPanel();
    Type(kTarget, "zq");
    EXPECT_EQ(Writes(), "A0=00 A1=C0 A0=00 A1=C0");
    chip.ClearRecords();

    Click(kSet);
    EXPECT_EQ(Slider(kSlider)->value(), 0);
    EXPECT_EQ(Writes(), "A0=00 A1=C0");
    EXPECT_EQ(Text(kTarget), "zq");
}

TEST_F(CurrentTest, TargetSetWithFFFMovesTheSliderToTheEnd)
{
    StartPanel();
    // Keys move the slider without any action.
    CTrackSlider* slider = Slider(kSlider);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Home);
    ASSERT_EQ(slider->value(), 0);
    EXPECT_EQ(Writes(), "");

    Type(kTarget, "FFF");
    chip.ClearRecords();
    Click(kSet);

    EXPECT_EQ(slider->value(), 4095);
    EXPECT_EQ(Writes(), "A0=FF A1=CF");
    EXPECT_TRUE(chip.reads.empty());
    EXPECT_EQ(Text(kTarget), "FFF");
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete");
}

TEST_F(CurrentTest, TargetSetWithEmptyTextMovesTheSliderToZero)
{
    StartPanel();
    ASSERT_EQ(Text(kTarget), "");
    Click(kSet);
    EXPECT_EQ(Slider(kSlider)->value(), 0);
    EXPECT_EQ(Writes(), "A0=00 A1=C0");
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete");
}

TEST_F(CurrentTest, TargetSetRepeatsWhatTheLastKeystrokeWrote)
{
    StartPanel();
    Click(kPdet);
    ChooseEntry(kScaleList, 3);
    Type(kTarget, "2A7");
    ASSERT_EQ(chip.writes.size(), 8u);
    const std::string lastPair = Writes().substr(Writes().size() - 11);
    EXPECT_EQ(lastPair, "A0=A7 A1=32");
    chip.ClearRecords();

    Click(kSet);
    EXPECT_EQ(Writes(), lastPair);
    EXPECT_EQ(Slider(kSlider)->value(), 0x2A7);
}

TEST_F(CurrentTest, TargetAboveFFFOrNegativeWritesNothingAndMovesNothing)
{
    struct Case {
        const char* before;  // typed first, its writes not checked
        const char* last;    // the keystroke that makes the text out of range
    };
    const Case cases[] = {
        {"100", "0"},   // 1000: bit 12 would land in the scale field
        {"800", "0"},   // 8000: bit 15 would land in the standby bit
        {"1000", "0"},  // 10000
        {"FFFFFFFF", "F"},
        {"", "-"},
        {"-", "1"},  // -1
        {"", "+"},
    };

    StartPanel();
    ReleaseSliderAt(kSlider, 0x800);

    for (const Case& c : cases) {
        const std::string text = std::string(c.before) + c.last;
        SCOPED_TRACE(text);
        ClearText(kTarget);
        Type(kTarget, c.before);
        const uint8_t shadowBefore = g_regA1;
        const uint8_t chipA0 = chip.regs[0xA0];
        const uint8_t chipA1 = chip.regs[0xA1];
        Panel().SetStatusText("Before");
        chip.ClearRecords();

        Type(kTarget, c.last);
        ASSERT_EQ(Text(kTarget), QString::fromStdString(text));
        if (text == "+") {
            // A sign alone has no digits: 0, written like empty text.
            EXPECT_EQ(Writes(), "A0=00 A1=C0");
            EXPECT_EQ(Panel().StatusText(), "Before");
            continue;
        }
        EXPECT_EQ(Writes(), "");
        EXPECT_EQ(Panel().StatusText(), kOutOfRange);
        EXPECT_EQ(g_regA1, shadowBefore);
        EXPECT_EQ(Slider(kSlider)->value(), 0x800);

        Panel().SetStatusText("Before");
        Click(kSet);
        EXPECT_EQ(Writes(), "");
        EXPECT_EQ(Slider(kSlider)->value(), 0x800);
        EXPECT_EQ(Panel().StatusText(), kOutOfRange);
        EXPECT_EQ(g_regA1, shadowBefore);
        EXPECT_EQ(chip.regs[0xA0], chipA0);
        EXPECT_EQ(chip.regs[0xA1], chipA1);
        EXPECT_EQ(Text(kTarget), QString::fromStdString(text));
    }
}

TEST_F(CurrentTest, TargetAtTheTopOfTheRangeIsWritten)
{
    StartPanel();
    Click(kPdet);
    ChooseEntry(kScaleList, 0);
    chip.ClearRecords();
    Type(kTarget, "0FFF");
    EXPECT_EQ(Writes(), "A0=00 A1=00 A0=0F A1=00 A0=FF A1=00 A0=FF A1=0F");
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete");
    chip.ClearRecords();
    Click(kSet);
    EXPECT_EQ(Writes(), "A0=FF A1=0F");
    EXPECT_EQ(Slider(kSlider)->value(), 4095);
}

TEST_F(CurrentTest, ReadbackSetsScaleAndStandbyButNotSliderTargetOrShadow)
{
    StartPanel();
    Type(kTarget, "5");
    ASSERT_EQ(g_regA1, 0xC0);
    chip.regs[0xA1] = 0x7F;
    chip.ClearRecords();

    Click(kReadbackAll);
    EXPECT_EQ(Writes(), "");
    EXPECT_FALSE(Ticked(kPdet));
    EXPECT_EQ(SelectedEntry(kScaleList), 7);
    EXPECT_EQ(g_currentScale, 7);
    EXPECT_EQ(Text(kRegA1Box), "7F");
    EXPECT_EQ(Slider(kSlider)->value(), 4095);
    EXPECT_EQ(Text(kTarget), "5");
    EXPECT_EQ(g_regA1, 0xC0);

    // The next keystroke composes from what the readback found.
    Type(kTarget, "6");
    EXPECT_EQ(Writes(), "A0=56 A1=70");
}
