// Configuration Selection (Load) and the EEPROM burn helper.
#include "PanelHarness.h"

#include "ControlIds.h"
#include "Controls.h"
#include "Presets.h"
#include "Shadows.h"

namespace {

std::string PresetWrites(const Preset& preset)
{
    std::string log;
    for (const RegisterValue& rv : preset.values)
        log += QStringLiteral(" %1=%2")
                   .arg(rv.reg, 2, 16, QLatin1Char('0'))
                   .arg(rv.value, 2, 16, QLatin1Char('0'))
                   .toUpper()
                   .toStdString();
    return log;
}

}  // namespace

TEST_F(PanelTest, LoadE0WritesControlRegisterThenPresetThenReadsBack)
{
    StartPanel();
    Click(idc::kEnableBacklight);  // Enable Backlight: 0x81
    chip.ClearRecords();
    Click(idc::kLoad);
    EXPECT_EQ(Writes(),
              "01=80 98=1B 9E=22 A0=FF A1=CF A2=2F A3=5E A4=72 A5=14 A6=80 A7=FE A8=00 A9=A0 "
              "AA=0F AB=00 AC=00 AD=00 AE=0F AF=00");
    EXPECT_EQ(chip.reads.size(), 26u);
    EXPECT_EQ(Panel().StatusText(), "Config E0 loaded");
    EXPECT_EQ(g_reg01, 0x80);
    // The readback shows what the chip now holds.
    EXPECT_EQ(ListText(idc::kPhaseShift), "5 PH 5 DR");
    EXPECT_EQ(ListText(idc::kVboostMax), "25 V / 34.5 V");
    EXPECT_TRUE(Ticked(idc::kVboostHigh));
    EXPECT_TRUE(Ticked(idc::kIboostLow));
    EXPECT_EQ(ListText(idc::kCurrentScale), "100 = 23mA");
    EXPECT_EQ(ListText(idc::kDimThreshold), "PWM Below 25%");
    EXPECT_EQ(ListText(idc::kPwmFreq), "9616 Hz");
    EXPECT_EQ(ListText(idc::kBoostFreq), "1250kHz");
    EXPECT_EQ(ListText(idc::kPwmSlope), "200 ms");
    EXPECT_EQ(ListText(idc::kFilter), "Heavy");
    EXPECT_EQ(Panel().m_sldVboost->value(), 0);
    EXPECT_EQ(Text(idc::kReg01), "80");
    // Enable Backlight is not decoded from the chip: it keeps its tick.
    EXPECT_TRUE(Ticked(idc::kEnableBacklight));
}

TEST_F(PanelTest, LoadE8AndE9DifferOnlyWhereTheirPresetsDo)
{
    StartPanel();
    ChooseEntry(idc::kConfig, 8);
    Click(idc::kLoad);
    EXPECT_EQ(Writes(), "01=00" + PresetWrites(kPresetE8));
    EXPECT_EQ(Panel().StatusText(), "Config E8 loaded");
    EXPECT_EQ(ListText(idc::kPhaseShift), "4 PH 4 DR");
    EXPECT_EQ(ListText(idc::kPwmSlope), "200 ms");

    chip.ClearRecords();
    ChooseEntry(idc::kConfig, 9);
    EXPECT_EQ(Writes(), "");  // choosing an entry writes nothing
    Click(idc::kLoad);
    EXPECT_EQ(Writes(), "01=00" + PresetWrites(kPresetE9));
    EXPECT_EQ(Panel().StatusText(), "Config E9 loaded");
    EXPECT_EQ(ListText(idc::kPhaseShift), "6 PH 6 DR");
    EXPECT_EQ(ListText(idc::kPwmSlope), "Immediate");
    EXPECT_EQ(ListText(idc::kFilter), "None");
    EXPECT_EQ(ListText(idc::kPwmHysteresis), "1-bit with 12-bit res");
}

TEST_F(PanelTest, EntriesWithoutPresetOnlyClearTheBacklightBit)
{
    StartPanel();
    Click(idc::kFastResume);  // Fast Resume: 0x80
    for (int entry : {3, 1, 7, 10, 15}) {
        ChooseEntry(idc::kConfig, entry);
        chip.ClearRecords();
        Click(idc::kLoad);
        EXPECT_EQ(Writes(), "01=80") << entry;
        EXPECT_EQ(chip.reads.size(), 26u);
        EXPECT_EQ(Panel().StatusText(), "No Config loaded");
    }
}

TEST_F(PanelTest, LoadWithoutSelectedEntryUsesE0AsDefault)
{
    StartPanel();
    ClearText(idc::kConfig);
    Type(idc::kConfig, "E09");
    Click(idc::kLoad);
    EXPECT_EQ(Writes(), "01=00" + PresetWrites(kPresetE0));
    EXPECT_EQ(Panel().StatusText(), "Default Config E0 loaded");
}

TEST_F(PanelTest, LoadWithAFailedWriteSaysSoAndStillReadsBack)
{
    StartPanel();
    chip.failWrites = {0xA5};
    Click(idc::kLoad);
    EXPECT_EQ(Writes(), "01=00" + PresetWrites(kPresetE0));  // the others are still written
    EXPECT_EQ(Panel().StatusText(), "Config E0 load failed (first: A5)");
    EXPECT_EQ(chip.reads.size(), 26u);

    chip.failWrites = {0x01};
    ClearText(idc::kConfig);
    Click(idc::kLoad);
    EXPECT_EQ(Panel().StatusText(), "Default Config E0 load failed (first: 01)");

    ChooseEntry(idc::kConfig, 9);
    Click(idc::kLoad);
    EXPECT_EQ(Panel().StatusText(), "Config E9 load failed (first: 01)");

    ChooseEntry(idc::kConfig, 4);  // no preset: the write of 01 is all it does
    Click(idc::kLoad);
    EXPECT_EQ(Panel().StatusText(), "Write to 01 failed");
}

TEST_F(PanelTest, BurnButtonsWriteTheBurnValueInEitherOrder)
{
    StartPanel();
    Click(idc::kCompleteWrite);  // Complete Write first: no check of the order
    EXPECT_EQ(Writes(), "72=80");
    EXPECT_EQ(Text(idc::kReg72), "80");
    EXPECT_EQ(Panel().StatusText(), "Remove 6V from VLDO");
    Click(idc::kPrepareWrite);
    EXPECT_EQ(Writes(), "72=80 72=80");
    EXPECT_EQ(Panel().StatusText(), "Apply 6V to VLDO");
    EXPECT_TRUE(chip.reads.empty());
}

TEST_F(PanelTest, FailedBurnWriteIsNotReportedAsDone)
{
    StartPanel();
    chip.failWrites = {0x72};
    Click(idc::kPrepareWrite);
    EXPECT_EQ(Text(idc::kReg72), "--");
    EXPECT_EQ(Panel().StatusText(), "Prepare Write failed");
    Click(idc::kCompleteWrite);
    EXPECT_EQ(Text(idc::kReg72), "--");
    EXPECT_EQ(Panel().StatusText(), "Complete Write failed");
}

TEST_F(PanelTest, BurnWithoutAdapterFailsVisibly)
{
    StartPanelWithoutAdapter();
    Click(idc::kPrepareWrite);
    EXPECT_EQ(Text(idc::kReg72), "--");
    EXPECT_EQ(Panel().StatusText(), "Prepare Write failed");
}

TEST_F(PanelTest, BurnedChipIsLeftAloneAtTheNextStart)
{
    StartPanel();
    Click(idc::kPrepareWrite);
    Click(idc::kCompleteWrite);
    TearDown();
    chip.ClearRecords();
    StartPanel();
    for (const std::string& call : startupCalls)
        EXPECT_EQ(call.rfind("RegisterWrite", 0), std::string::npos) << call;
}
