// The brightness group: the slider writes register 0x00; Enable Backlight,
// Fast Resume and the Mode list write register 0x01 from its shadow or from
// the group's controls.
#include "PanelHarness.h"

#include "ControlIds.h"
#include "Controls.h"
#include "Shadows.h"

#include <QTest>

namespace {

constexpr int kPwmInputOnly = 0;
constexpr int kBrightnessRegOnly = 2;
constexpr int kPwmAndBrightnessPost = 3;

// p * 100 / 255 rounded to tenths, worked out in integers.
QString PercentText(int position)
{
    const int tenths = (position * 2000 + 255) / 510;
    return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}

QString TwoHexDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

class BrightnessTest : public PanelTest {};

TEST_F(BrightnessTest, ReleaseAtZeroAfterStartupShowsTheBoxesWithoutWriting)
{
    StartPanel();
    ASSERT_EQ(Slider(idc::kBrightness)->value(), 0);
    ASSERT_EQ(Text(idc::kBrightnessPct), "");

    ReleaseSliderAt(idc::kBrightness, 0);

    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(Text(idc::kReg00), "00");
    EXPECT_EQ(Text(idc::kBrightnessPct), "0.0");
    EXPECT_EQ(Panel().StatusText(), "Ready2");
}

TEST_F(BrightnessTest, ReleaseAtFullScaleWritesFF)
{
    StartPanel();
    ReleaseSliderAt(idc::kBrightness, 255);

    EXPECT_EQ(Writes(), "00=FF");
    EXPECT_EQ(chip.regs[0x00], 0xFF);
    EXPECT_EQ(Text(idc::kReg00), "FF");
    EXPECT_EQ(Text(idc::kBrightnessPct), "100.0");
    EXPECT_EQ(Panel().StatusText(), "Ready2");
    EXPECT_EQ(g_brightnessPos, 0xFF);
    EXPECT_EQ(g_brightnessWritten, 0xFF);
}

TEST_F(BrightnessTest, BoxesShowEveryPositionInHexAndAsAPercentage)
{
    StartPanel();
    std::string expectedWrites;
    for (int p = 0; p <= 255; ++p) {
        ReleaseSliderAt(idc::kBrightness, p);
        EXPECT_EQ(Text(idc::kReg00), TwoHexDigits(p)) << "position " << p;
        EXPECT_EQ(Text(idc::kBrightnessPct), PercentText(p)) << "position " << p;
        if (p > 0) {
            if (!expectedWrites.empty()) expectedWrites += ' ';
            expectedWrites += "00=" + TwoHexDigits(p).toStdString();
        }
    }
    // Each new position is written once, in the order released.
    EXPECT_EQ(Writes(), expectedWrites);

    // A few positions worked out by hand.
    const std::pair<int, const char*> known[] = {{1, "0.4"}, {64, "25.1"}, {128, "50.2"}, {3, "1.2"}};
    for (const auto& [position, text] : known) {
        ReleaseSliderAt(idc::kBrightness, position);
        EXPECT_EQ(Text(idc::kBrightnessPct), text) << "position " << position;
    }
}

TEST_F(BrightnessTest, TwoReleasesAtTheSamePositionWriteOnce)
{
    StartPanel();
    ReleaseSliderAt(idc::kBrightness, 0x40);
    EXPECT_EQ(Writes(), "00=40");

    // The register is changed by hand behind the slider's back; the readback
    // shows the hand-written value.
    Type(idc::kRegAddr, "00");
    Type(idc::kData, "10");
    Click(idc::kManualWrite);
    Click(idc::kReadbackAll);
    ASSERT_EQ(Text(idc::kReg00), "10");
    Panel().SetStatusText("Something else");
    chip.ClearRecords();

    // Releasing again at the position last written writes nothing, yet the
    // boxes and the status line are set again.
    ReleaseSliderAt(idc::kBrightness, 0x40);
    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(chip.regs[0x00], 0x10);
    EXPECT_EQ(Text(idc::kReg00), "40");
    EXPECT_EQ(Text(idc::kBrightnessPct), "25.1");
    EXPECT_EQ(Panel().StatusText(), "Ready2");

    ReleaseSliderAt(idc::kBrightness, 0x41);
    EXPECT_EQ(Writes(), "00=41");
}

// How the failure is told: CheckedWritesTest.
TEST_F(BrightnessTest, WriteThatFailedIsTriedAgainAtTheSamePosition)
{
    StartPanel();
    chip.failWrites = {0x00};
    ReleaseSliderAt(idc::kBrightness, 0x80);
    chip.failWrites.clear();
    ReleaseSliderAt(idc::kBrightness, 0x80);
    EXPECT_EQ(Writes(), "00=80 00=80");
    EXPECT_EQ(chip.regs[0x00], 0x80);
    EXPECT_EQ(Text(idc::kReg00), "80");
    EXPECT_EQ(Panel().StatusText(), "Ready2");
    ReleaseSliderAt(idc::kBrightness, 0x80);
    EXPECT_EQ(Writes(), "00=80 00=80") << "written once it went out";
}

TEST_F(BrightnessTest, KeyboardMovesRunNothingUntilTheNextMouseRelease)
{
    StartPanel();
    ReleaseSliderAt(idc::kBrightness, 0x10);
    chip.ClearRecords();
    Panel().SetStatusText("Before keys");

    CTrackSlider* slider = Slider(idc::kBrightness);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    QTest::keyClick(slider, Qt::Key_Right);
    QTest::keyClick(slider, Qt::Key_Up);
    ASSERT_EQ(slider->value(), 0x13);
    QTest::keyClick(slider, Qt::Key_End);
    QTest::keyClick(slider, Qt::Key_Left);
    ASSERT_EQ(slider->value(), 0xFE);

    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(Text(idc::kReg00), "10");
    EXPECT_EQ(Text(idc::kBrightnessPct), "6.3");
    EXPECT_EQ(Panel().StatusText(), "Before keys");
    EXPECT_EQ(g_brightnessPos, 0x10);

    // The mouse release acts on where the keys left the slider.
    ReleaseSliderAt(idc::kBrightness, slider->value());
    EXPECT_EQ(Writes(), "00=FE");
    EXPECT_EQ(Text(idc::kReg00), "FE");
    EXPECT_EQ(Text(idc::kBrightnessPct), "99.6");
    EXPECT_EQ(Panel().StatusText(), "Ready2");
}

TEST_F(BrightnessTest, SliderAndBoxesAreNotSetByAReadback)
{
    StartPanel();
    ReleaseSliderAt(idc::kBrightness, 0x20);
    chip.regs[0x00] = 0x55;
    chip.ClearRecords();

    Click(idc::kReadbackAll);

    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(Text(idc::kReg00), "55");
    EXPECT_EQ(Slider(idc::kBrightness)->value(), 0x20);
    EXPECT_EQ(Text(idc::kBrightnessPct), "12.5");
    EXPECT_EQ(g_brightnessWritten, 0x20);
}

TEST_F(BrightnessTest, EnableBacklightSetsFastResumeAndUntickingClearsOnlyBit0)
{
    StartPanel();
    ASSERT_FALSE(Ticked(idc::kEnableBacklight));
    ASSERT_FALSE(Ticked(idc::kFastResume));

    Click(idc::kEnableBacklight);
    EXPECT_EQ(Writes(), "01=81");
    EXPECT_TRUE(Ticked(idc::kEnableBacklight));
    EXPECT_TRUE(Ticked(idc::kFastResume));
    EXPECT_EQ(Text(idc::kReg01), "81");
    EXPECT_EQ(Panel().StatusText(), "Ready1");
    EXPECT_EQ(g_reg01, 0x81);

    Panel().SetStatusText("Something else");
    Click(idc::kEnableBacklight);
    EXPECT_EQ(Writes(), "01=81 01=80");
    EXPECT_FALSE(Ticked(idc::kEnableBacklight));
    EXPECT_TRUE(Ticked(idc::kFastResume));
    EXPECT_EQ(Text(idc::kReg01), "80");
    EXPECT_EQ(Panel().StatusText(), "Ready1");
    EXPECT_EQ(chip.regs[0x01], 0x80);
}

TEST_F(BrightnessTest, FastResumeChangesOnlyBit7AndLeavesTheStatusLine)
{
    StartPanel();
    Click(idc::kEnableBacklight);
    ChooseEntry(idc::kMode, kBrightnessRegOnly);
    ASSERT_EQ(g_reg01, 0x85);
    Panel().SetStatusText("Before Fast Resume");
    chip.ClearRecords();

    Click(idc::kFastResume);
    EXPECT_EQ(Writes(), "01=05");
    EXPECT_FALSE(Ticked(idc::kFastResume));
    EXPECT_TRUE(Ticked(idc::kEnableBacklight));
    EXPECT_EQ(Text(idc::kReg01), "05");
    EXPECT_EQ(Panel().StatusText(), "Before Fast Resume");

    Click(idc::kFastResume);
    EXPECT_EQ(Writes(), "01=05 01=85");
    EXPECT_EQ(Text(idc::kReg01), "85");
    EXPECT_EQ(chip.regs[0x01], 0x85);
}

TEST_F(BrightnessTest, ModeChoiceBuildsRegister01FromTheCheckBoxesAsTicked)
{
    StartPanel();
    ASSERT_EQ(SelectedEntry(idc::kMode), kPwmInputOnly);

    // Neither box ticked.
    ChooseEntry(idc::kMode, kBrightnessRegOnly);
    EXPECT_EQ(Writes(), "01=04");
    EXPECT_EQ(Text(idc::kReg01), "04");
    EXPECT_EQ(ListText(idc::kMode), "Brightness reg only");
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete");
    chip.ClearRecords();

    // Only Fast Resume ticked.
    Click(idc::kFastResume);
    ASSERT_EQ(Writes(), "01=84");
    chip.ClearRecords();
    ChooseEntry(idc::kMode, kPwmAndBrightnessPost);
    EXPECT_EQ(Writes(), "01=86");
    EXPECT_EQ(Text(idc::kReg01), "86");
    chip.ClearRecords();

    // Both ticked.
    Click(idc::kEnableBacklight);
    ASSERT_EQ(Writes(), "01=87");
    chip.ClearRecords();
    ChooseEntry(idc::kMode, kBrightnessRegOnly);
    EXPECT_EQ(Writes(), "01=85");
    EXPECT_EQ(Text(idc::kReg01), "85");
    EXPECT_EQ(g_reg01, 0x85);
    chip.ClearRecords();

    ChooseEntry(idc::kMode, kPwmInputOnly);
    EXPECT_EQ(Writes(), "01=81");
    EXPECT_EQ(ListText(idc::kMode), "PWM input only");
}

TEST_F(BrightnessTest, AfterLoadClearsTheEnableBitFastResumeKeepsItClearAndModeSetsIt)
{
    StartPanel();
    Click(idc::kEnableBacklight);
    chip.ClearRecords();

    Click(idc::kLoad);
    ASSERT_FALSE(chip.writes.empty());
    EXPECT_EQ(chip.writes.front(), std::make_pair(uint8_t(0x01), uint8_t(0x80)));
    EXPECT_EQ(g_reg01, 0x80);
    EXPECT_TRUE(Ticked(idc::kEnableBacklight));
    EXPECT_TRUE(Ticked(idc::kFastResume));
    chip.ClearRecords();

    // The check-box action starts from the shadow: bit 0 stays 0.
    Click(idc::kFastResume);
    EXPECT_EQ(Writes(), "01=00");
    chip.ClearRecords();
    // The Mode action starts from the boxes: bit 0 comes back.
    ChooseEntry(idc::kMode, kBrightnessRegOnly);
    EXPECT_EQ(Writes(), "01=05");
}

TEST_F(BrightnessTest, Register01ReadBackLeavesTheGroupAndItsShadowAlone)
{
    StartPanel();
    Click(idc::kEnableBacklight);
    chip.regs[0x01] = 0x07;
    chip.ClearRecords();

    Click(idc::kReadbackAll);
    EXPECT_EQ(Text(idc::kReg01), "07");
    EXPECT_TRUE(Ticked(idc::kEnableBacklight));
    EXPECT_TRUE(Ticked(idc::kFastResume));
    EXPECT_EQ(SelectedEntry(idc::kMode), kPwmInputOnly);
    EXPECT_EQ(g_reg01, 0x81);
    EXPECT_EQ(Writes(), "");

    // The next check-box action starts from 0x81, not from the chip's 0x07.
    Click(idc::kFastResume);
    EXPECT_EQ(Writes(), "01=01");
    EXPECT_EQ(Text(idc::kReg01), "01");
}
