// The current group: the 12-bit LED current in registers 0xA0 and 0xA1 bits
// 3-0 (slider, Target box, Set), the current scale in 0xA1 bits 6-4 and PDET
// standby in 0xA1 bit 7.
//
// A blank chip gets 0xA0 = 0xFF and 0xA1 = 0xCF at start-up, so the panel
// opens with "PDET Standby" ticked, the scale "100 = 23mA" (4) and the
// slider at 4095.
#include "PanelHarness.h"

#include "ControlIds.h"
#include "Controls.h"
#include "Shadows.h"

#include <QTest>

namespace {

const QString kOutOfRange = QStringLiteral("Target out of range (000-FFF)");

}  // namespace

class CurrentTest : public PanelTest {};

TEST_F(CurrentTest, ReleaseAtFullScaleOnABlankChipWritesFFAndCF)
{
    StartPanel();
    ASSERT_EQ(Slider(idc::kCurrent)->value(), 4095);
    ASSERT_TRUE(Ticked(idc::kPdetStandby));
    ASSERT_EQ(SelectedEntry(idc::kCurrentScale), 4);
    ASSERT_EQ(Text(idc::kTarget), "");

    ReleaseSliderAt(idc::kCurrent, 4095);

    EXPECT_EQ(chip.reads, std::vector<uint8_t>{0xA1});
    EXPECT_EQ(Writes(), "A0=FF A1=CF");
    EXPECT_EQ(Text(idc::kTarget), "FFF");
    EXPECT_EQ(Panel().StatusText(), "Ready4");
    EXPECT_EQ(g_regA1, 0xCF);
}

TEST_F(CurrentTest, ReleaseTakesTheScaleFromTheChipAndStandbyFromTheBox)
{
    StartPanel();
    Click(idc::kPdetStandby);
    ASSERT_FALSE(Ticked(idc::kPdetStandby));
    ASSERT_EQ(Text(idc::kRegA1), "00");
    // Meanwhile the chip holds scale 2 with its standby bit set.
    chip.regs[0xA1] = 0xA5;
    chip.ClearRecords();

    ReleaseSliderAt(idc::kCurrent, 0x123);

    EXPECT_EQ(Writes(), "A0=23 A1=21");
    EXPECT_EQ(chip.reads, std::vector<uint8_t>{0xA1});
    EXPECT_EQ(SelectedEntry(idc::kCurrentScale), 2);
    EXPECT_EQ(ListText(idc::kCurrentScale), "010 = 15mA");
    EXPECT_EQ(g_currentScale, 2);
    EXPECT_EQ(g_regA1, 0x21);
    EXPECT_FALSE(Ticked(idc::kPdetStandby));
    EXPECT_EQ(Text(idc::kTarget), "123");
    EXPECT_EQ(Panel().StatusText(), "Ready4");
    // The register boxes keep what they showed.
    EXPECT_EQ(Text(idc::kRegA0), "FF");
    EXPECT_EQ(Text(idc::kRegA1), "00");
}

TEST_F(CurrentTest, ReleaseShowsThePositionAsAtLeastTwoHexDigits)
{
    StartPanel();
    ReleaseSliderAt(idc::kCurrent, 0x0A);
    EXPECT_EQ(Text(idc::kTarget), "0A");
    ReleaseSliderAt(idc::kCurrent, 0);
    EXPECT_EQ(Text(idc::kTarget), "00");
    ReleaseSliderAt(idc::kCurrent, 0x100);
    EXPECT_EQ(Text(idc::kTarget), "100");
    EXPECT_EQ(Writes(), "A0=0A A1=C0 A0=00 A1=C0 A0=00 A1=C1");
}

TEST_F(CurrentTest, ReleaseKeepsTheKnownScaleWhenTheChipCannotBeRead)
{
    StartPanel();
    chip.regs[0xA1] = 0x20;  // scale 2, but the read fails
    chip.failReads = {0xA1};

    ReleaseSliderAt(idc::kCurrent, 0x345);

    EXPECT_EQ(chip.reads, std::vector<uint8_t>{0xA1});
    EXPECT_EQ(Writes(), "A0=45 A1=C3");
    EXPECT_EQ(SelectedEntry(idc::kCurrentScale), 4);
    EXPECT_EQ(ListText(idc::kCurrentScale), "100 = 23mA");
    EXPECT_EQ(g_currentScale, 4);
    EXPECT_EQ(Text(idc::kTarget), "345");
    EXPECT_EQ(Panel().StatusText(), "Ready4");
}

TEST_F(CurrentTest, ActionsRunNoOtherAction)
{
    StartPanel();
    chip.regs[0xA1] = 0x50;  // scale 5

    // The release selects the chip's scale and pushes a Target text: neither
    // the scale action (an 0xA1 write first) nor the Target action (a second
    // pair of writes) runs.
    ReleaseSliderAt(idc::kCurrent, 0x2B4);
    EXPECT_EQ(SelectedEntry(idc::kCurrentScale), 5);
    EXPECT_EQ(Text(idc::kTarget), "2B4");
    EXPECT_EQ(Writes(), "A0=B4 A1=D2");
    EXPECT_EQ(chip.reads.size(), 1u);
    chip.ClearRecords();

    // Set moves the slider: the release action (a read of 0xA1, "Ready4")
    // does not run.
    ClearText(idc::kTarget);
    Type(idc::kTarget, "9C");
    ReleaseSliderAt(idc::kBrightness, 1);
    chip.ClearRecords();
    Click(idc::kSet);
    EXPECT_EQ(Slider(idc::kCurrent)->value(), 0x9C);
    EXPECT_EQ(Writes(), "A0=9C A1=D0");
    EXPECT_TRUE(chip.reads.empty());
    EXPECT_EQ(Panel().StatusText(), "Ready2");
    EXPECT_EQ(SelectedEntry(idc::kCurrentScale), 5);
}

TEST_F(CurrentTest, PdetStandbyAfterStartupWrites00Then80)
{
    StartPanel();
    ASSERT_EQ(g_regA1, 0x00);

    Click(idc::kPdetStandby);
    EXPECT_EQ(Writes(), "A1=00");
    EXPECT_FALSE(Ticked(idc::kPdetStandby));
    EXPECT_EQ(Text(idc::kRegA1), "00");
    EXPECT_EQ(chip.regs[0xA1], 0x00);
    // The list still shows the scale the chip had before.
    EXPECT_EQ(ListText(idc::kCurrentScale), "100 = 23mA");

    Click(idc::kPdetStandby);
    EXPECT_EQ(Writes(), "A1=00 A1=80");
    EXPECT_TRUE(Ticked(idc::kPdetStandby));
    EXPECT_EQ(Text(idc::kRegA1), "80");
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete");
    EXPECT_TRUE(chip.reads.empty());
}

TEST_F(CurrentTest, ScaleAndStandbyKeepTheOtherBitsOfTheLastWrite)
{
    StartPanel();
    ChooseEntry(idc::kCurrentScale, 7);
    EXPECT_EQ(Writes(), "A1=F0");
    EXPECT_EQ(Text(idc::kRegA1), "F0");
    EXPECT_EQ(g_currentScale, 7);
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete");

    ReleaseSliderAt(idc::kCurrent, 0x5AB);
    EXPECT_EQ(Writes(), "A1=F0 A0=AB A1=F5");
    chip.ClearRecords();

    Click(idc::kPdetStandby);
    EXPECT_EQ(Writes(), "A1=75");
    EXPECT_EQ(Text(idc::kRegA1), "75");
    ChooseEntry(idc::kCurrentScale, 1);
    EXPECT_EQ(Writes(), "A1=75 A1=15");
    EXPECT_EQ(Text(idc::kRegA1), "15");
    EXPECT_EQ(g_currentScale, 1);
    EXPECT_TRUE(chip.reads.empty());
}

TEST_F(CurrentTest, TargetTypingWritesAPairOnEveryKeystroke)
{
    StartPanel();
    Type(idc::kTarget, "1");
    Type(idc::kTarget, "2");
    Type(idc::kTarget, "3");
    EXPECT_EQ(Writes(), "A0=01 A1=C0 A0=12 A1=C0 A0=23 A1=C1");
    EXPECT_EQ(g_regA1, 0xC1);
    // Typing moves nothing and shows nothing else.
    EXPECT_EQ(Slider(idc::kCurrent)->value(), 4095);
    EXPECT_EQ(Text(idc::kRegA1), "CF");
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete");
    EXPECT_TRUE(chip.reads.empty());
    chip.ClearRecords();

    QTest::keyClick(Control(idc::kTarget), Qt::Key_Backspace);
    EXPECT_EQ(Writes(), "A0=12 A1=C0");
    chip.ClearRecords();

    ClearText(idc::kTarget);  // to type another value: nothing written, nothing said
    EXPECT_EQ(Text(idc::kTarget), "");
    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete");
}

TEST_F(CurrentTest, TargetWithoutHexDigitsIsRefusedBySetToo)
{
    StartPanel();
    Type(idc::kTarget, "zq");
    Click(idc::kSet);
    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(Slider(idc::kCurrent)->value(), 4095);
    EXPECT_EQ(Text(idc::kTarget), "zq");
    EXPECT_EQ(Panel().StatusText(), "Target is not a hex number");
}

TEST_F(CurrentTest, TargetSetWithFFFMovesTheSliderToTheEnd)
{
    StartPanel();
    // Keys move the slider without any action.
    CTrackSlider* slider = Slider(idc::kCurrent);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Home);
    ASSERT_EQ(slider->value(), 0);
    EXPECT_EQ(Writes(), "");

    Type(idc::kTarget, "FFF");
    chip.ClearRecords();
    Click(idc::kSet);

    EXPECT_EQ(slider->value(), 4095);
    EXPECT_EQ(Writes(), "A0=FF A1=CF");
    EXPECT_TRUE(chip.reads.empty());
    EXPECT_EQ(Text(idc::kTarget), "FFF");
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete");
}

TEST_F(CurrentTest, TargetSetWithEmptyTextIsRefused)
{
    StartPanel();
    ASSERT_EQ(Text(idc::kTarget), "");
    Click(idc::kSet);
    EXPECT_EQ(Slider(idc::kCurrent)->value(), 4095);
    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(Panel().StatusText(), "Target is not a hex number");
}

TEST_F(CurrentTest, TargetSetRepeatsWhatTheLastKeystrokeWrote)
{
    StartPanel();
    Click(idc::kPdetStandby);
    ChooseEntry(idc::kCurrentScale, 3);
    Type(idc::kTarget, "2A7");
    ASSERT_EQ(chip.writes.size(), 8u);
    const std::string lastPair = Writes().substr(Writes().size() - 11);
    EXPECT_EQ(lastPair, "A0=A7 A1=32");
    chip.ClearRecords();

    Click(idc::kSet);
    EXPECT_EQ(Writes(), lastPair);
    EXPECT_EQ(Slider(idc::kCurrent)->value(), 0x2A7);
}

TEST_F(CurrentTest, TargetAboveFFFOrNotAHexNumberWritesNothingAndMovesNothing)
{
    const QString kNotHex = QStringLiteral("Target is not a hex number");
    struct Case {
        const char* before;  // typed first, its writes not checked
        const char* last;    // the keystroke that makes the text refused
        const QString& status;
    };
    const Case cases[] = {
        {"100", "0", kOutOfRange},   // 1000: bit 12 would land in the scale field
        {"800", "0", kOutOfRange},   // 8000: bit 15 would land in the standby bit
        {"1000", "0", kOutOfRange},  // 10000
        {"FFFFFFFF", "F", kOutOfRange},
        {"", "-", kNotHex},
        {"-", "1", kNotHex},
        {"", "+", kNotHex},
    };

    StartPanel();
    ReleaseSliderAt(idc::kCurrent, 0x800);

    for (const Case& c : cases) {
        const std::string text = std::string(c.before) + c.last;
        SCOPED_TRACE(text);
        ClearText(idc::kTarget);
        Type(idc::kTarget, c.before);
        const uint8_t shadowBefore = g_regA1;
        const uint8_t chipA0 = chip.regs[0xA0];
        const uint8_t chipA1 = chip.regs[0xA1];
        Panel().SetStatusText("Before");
        chip.ClearRecords();

        Type(idc::kTarget, c.last);
        ASSERT_EQ(Text(idc::kTarget), QString::fromStdString(text));
        EXPECT_EQ(Writes(), "");
        EXPECT_EQ(Panel().StatusText(), c.status);
        EXPECT_EQ(g_regA1, shadowBefore);
        EXPECT_EQ(Slider(idc::kCurrent)->value(), 0x800);

        Panel().SetStatusText("Before");
        Click(idc::kSet);
        EXPECT_EQ(Writes(), "");
        EXPECT_EQ(Slider(idc::kCurrent)->value(), 0x800);
        EXPECT_EQ(Panel().StatusText(), c.status);
        EXPECT_EQ(g_regA1, shadowBefore);
        EXPECT_EQ(chip.regs[0xA0], chipA0);
        EXPECT_EQ(chip.regs[0xA1], chipA1);
        EXPECT_EQ(Text(idc::kTarget), QString::fromStdString(text));
    }
}

TEST_F(CurrentTest, TargetAtTheTopOfTheRangeIsWritten)
{
    StartPanel();
    Click(idc::kPdetStandby);
    ChooseEntry(idc::kCurrentScale, 0);
    chip.ClearRecords();
    Type(idc::kTarget, "0FFF");
    EXPECT_EQ(Writes(), "A0=00 A1=00 A0=0F A1=00 A0=FF A1=00 A0=FF A1=0F");
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete");
    chip.ClearRecords();
    Click(idc::kSet);
    EXPECT_EQ(Writes(), "A0=FF A1=0F");
    EXPECT_EQ(Slider(idc::kCurrent)->value(), 4095);
}

TEST_F(CurrentTest, ReadbackSetsScaleAndStandbyButNotSliderTargetOrShadow)
{
    StartPanel();
    Type(idc::kTarget, "5");
    ASSERT_EQ(g_regA1, 0xC0);
    chip.regs[0xA1] = 0x7F;
    chip.ClearRecords();

    Click(idc::kReadbackAll);
    EXPECT_EQ(Writes(), "");
    EXPECT_FALSE(Ticked(idc::kPdetStandby));
    EXPECT_EQ(SelectedEntry(idc::kCurrentScale), 7);
    EXPECT_EQ(g_currentScale, 7);
    EXPECT_EQ(Text(idc::kRegA1), "7F");
    EXPECT_EQ(Slider(idc::kCurrent)->value(), 4095);
    EXPECT_EQ(Text(idc::kTarget), "5");
    EXPECT_EQ(g_regA1, 0xC0);

    // The next keystroke composes from what the readback found.
    Type(idc::kTarget, "6");
    EXPECT_EQ(Writes(), "A0=56 A1=70");
}
