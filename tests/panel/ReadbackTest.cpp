// Readback All: the grid, the decode into controls, and failed reads.
#include "PanelHarness.h"

#include "ControlIds.h"
#include "Controls.h"
#include "Shadows.h"

TEST_F(PanelTest, StatusFlagsFollowRegister02BitByBit)
{
    MarkChipConfigured();
    StartPanel();
    // Bits 7..0: Open, Short, VRef OK, VBoost OK, Over Voltage, Over Current, TSD, UVLO.
    const int flags[8] = {idc::kUvlo,     idc::kTsd,    idc::kOverCurrent, idc::kOverVoltage,
                          idc::kVboostOk, idc::kVrefOk, idc::kShort,       idc::kOpen};
    for (uint8_t value : {uint8_t(0x81), uint8_t(0xA0), uint8_t(0x5A), uint8_t(0x00)}) {
        chip.regs[0x02] = value;
        ReadbackAll();
        for (int bit = 0; bit < 8; ++bit)
            EXPECT_EQ(Ticked(flags[bit]), bool(value >> bit & 1)) << int(value) << " bit " << bit;
        EXPECT_EQ(Text(idc::kReg02), QString::asprintf("%.2X", value));
    }
    EXPECT_EQ(Writes(), "");
}

TEST_F(PanelTest, ThresholdFieldsTenToFifteenAllShowPwmAlways)
{
    MarkChipConfigured();
    StartPanel();
    const struct {
        uint8_t a4;
        int entry;
    } cases[] = {{0x90, 9}, {0xA0, 11}, {0xF3, 11}, {0x00, 0}, {0x72, 7}};
    for (const auto& c : cases) {
        chip.regs[0xA4] = c.a4;
        ReadbackAll();
        EXPECT_EQ(SelectedEntry(idc::kDimThreshold), c.entry) << int(c.a4);
    }
    EXPECT_EQ(ListText(idc::kDimThreshold), "PWM Below 25%");
}

TEST_F(PanelTest, BoostRegisterMovesFrequencyAndSliderButNotTheCodeBox)
{
    MarkChipConfigured();
    StartPanel();
    Panel().pull();
    Panel().m_strVboostCode = "2A";
    Panel().push();
    chip.regs[0xA6] = 0x85;
    ReadbackAll();
    EXPECT_EQ(ListText(idc::kBoostFreq), "1250kHz");
    EXPECT_EQ(Panel().m_sldVboost->value(), 5);
    EXPECT_EQ(Text(idc::kVboostCode), "2A");

    // Field value 3 has no entry: the list shows none, nothing is written.
    chip.regs[0xA6] = 0xC1;
    ReadbackAll();
    EXPECT_EQ(SelectedEntry(idc::kBoostFreq), -1);
    EXPECT_EQ(ListText(idc::kBoostFreq), "");
    EXPECT_EQ(Panel().m_sldVboost->value(), 1);
    EXPECT_EQ(Writes(), "");
}

TEST_F(PanelTest, CurrentConfigSetsPdetScaleAndShadowOnly)
{
    MarkChipConfigured();
    chip.regs[0xA1] = 0xCF;
    StartPanel();
    EXPECT_TRUE(Ticked(idc::kPdetStandby));
    EXPECT_EQ(ListText(idc::kCurrentScale), "100 = 23mA");
    EXPECT_EQ(g_currentScale, 4);
    EXPECT_EQ(Panel().m_sldCurrent->value(), 4095);
    EXPECT_EQ(Text(idc::kTarget), "");
    EXPECT_EQ(g_regA1, 0);

    chip.regs[0xA1] = 0x2F;
    ReadbackAll();
    EXPECT_FALSE(Ticked(idc::kPdetStandby));
    EXPECT_EQ(ListText(idc::kCurrentScale), "010 = 15mA");
    EXPECT_EQ(g_currentScale, 2);
}

TEST_F(PanelTest, RegisterA7SetsItsListsButNotTheDriverEnables)
{
    MarkChipConfigured();
    chip.regs[0xA7] = 0x0E;
    StartPanel();
    EXPECT_EQ(ListText(idc::kPfmThreshold), "49 uA");
    EXPECT_EQ(ListText(idc::kCurrentLimit), "1.5 A / 2.6 A");
    EXPECT_TRUE(Ticked(idc::kDrv2Enable));
    EXPECT_TRUE(Ticked(idc::kDrv3Enable));
}

TEST_F(PanelTest, RangeRadiosFollowTheirSingleBits)
{
    MarkChipConfigured();
    chip.regs[0x9E] = 0x22;
    chip.regs[0x98] = 0x1B;
    StartPanel();
    EXPECT_TRUE(Ticked(idc::kVboostHigh));
    EXPECT_TRUE(Ticked(idc::kIboostLow));
    chip.regs[0x9E] = 0xDF;
    chip.regs[0x98] = 0x80;
    ReadbackAll();
    EXPECT_TRUE(Ticked(idc::kVboostLow));
    EXPECT_TRUE(Ticked(idc::kIboostHigh));
    EXPECT_FALSE(Ticked(idc::kIboostLow));
}

TEST_F(PanelTest, RemainingFieldsDecodeIntoTheirControls)
{
    MarkChipConfigured();
    chip.regs[0xA2] = 0xEA;  // bits 5..0 = 101010
    chip.regs[0xA3] = 0xF9;  // slope 7, filter 2, hysteresis 1
    chip.regs[0xA5] = 0xBC;  // direct, phase 3, frequency 12
    chip.regs[0xA9] = 0xFF;  // maximum 7
    chip.regs[0xAA] = 0x80;  // SS on, Adaptive off
    StartPanel();
    EXPECT_TRUE(Ticked(idc::kUvloEnable));
    EXPECT_FALSE(Ticked(idc::kUvloLevel));
    EXPECT_TRUE(Ticked(idc::kBacklightOn));
    EXPECT_FALSE(Ticked(idc::kIsetEn));
    EXPECT_TRUE(Ticked(idc::kBoostFsetEn));
    EXPECT_FALSE(Ticked(idc::kPwmFsetEn));
    EXPECT_EQ(ListText(idc::kPwmSlope), "500 ms");
    EXPECT_EQ(ListText(idc::kFilter), "Medium");
    EXPECT_EQ(ListText(idc::kPwmHysteresis), "1-bit with 13-bit res");
    EXPECT_TRUE(Ticked(idc::kPwmDirect));
    EXPECT_EQ(ListText(idc::kPhaseShift), "3 PH 3 DR");
    EXPECT_EQ(ListText(idc::kPwmFreq), "24040 Hz");
    EXPECT_EQ(ListText(idc::kVboostMax), "34 V / 43 V");
    EXPECT_TRUE(Ticked(idc::kSsEn));
    EXPECT_FALSE(Ticked(idc::kAdaptive));
}

TEST_F(PanelTest, ReadbackLeavesUndecodedControlsShadowsAndLinesAlone)
{
    MarkChipConfigured();
    StartPanel();
    Click(idc::kLed3);  // LED 3 off
    Panel().SetStatusText("Ready2");
    chip.regs[0x16] = 0x3F;
    chip.regs[0x01] = 0x07;
    chip.regs[0xA7] = 0x00;  // DRV enables bits clear
    chip.ClearRecords();
    ReadbackAll();
    EXPECT_FALSE(Ticked(idc::kLed3));
    EXPECT_FALSE(Ticked(idc::kEnableBacklight));
    EXPECT_EQ(ListText(idc::kMode), "PWM input only");
    EXPECT_TRUE(Ticked(idc::kDrv2Enable));
    EXPECT_EQ(Text(idc::kReg01), "07");
    EXPECT_EQ(g_reg01, 0x00);
    EXPECT_EQ(g_reg16, 0x3B);
    EXPECT_EQ(Panel().StatusText(), "Ready2");
    EXPECT_EQ(Panel().VersionText(), "Version: USB RFW:2.5; FFW:1.0");
    EXPECT_EQ(chip.reads.size(), 26u);
    EXPECT_EQ(Writes(), "");
}

TEST_F(PanelTest, FailedReadShowsUnreadAndKeepsItsControls)
{
    MarkChipConfigured();
    chip.regs[0x06] = 0x3C;
    chip.regs[0xA1] = 0xCF;
    chip.regs[0x02] = 0x81;
    chip.regs[0xA4] = 0x72;
    StartPanel();
    ASSERT_TRUE(Ticked(idc::kOpen));
    ASSERT_EQ(g_currentScale, 4);

    chip.failReads = {0xA0, 0x02, 0xA1, 0xA4};
    chip.regs[0xA1] = 0x00;
    chip.regs[0x02] = 0x00;
    chip.regs[0xA4] = 0xF0;
    chip.regs[0x01] = 0x85;
    ReadbackAll();
    EXPECT_EQ(Text(idc::kReg06), "3C");
    EXPECT_EQ(Text(idc::kRegA0), "--");  // not the 3C read before it
    EXPECT_EQ(Text(idc::kRegA1), "--");
    EXPECT_EQ(Text(idc::kReg02), "--");
    EXPECT_EQ(Text(idc::kRegA2), "00");  // read after the failures: its own value
    // The flags keep their state rather than showing register 0x01's bits.
    EXPECT_TRUE(Ticked(idc::kOpen));
    EXPECT_TRUE(Ticked(idc::kUvlo));
    EXPECT_FALSE(Ticked(idc::kOverCurrent));
    EXPECT_EQ(g_currentScale, 4);
    EXPECT_EQ(ListText(idc::kCurrentScale), "100 = 23mA");
    EXPECT_TRUE(Ticked(idc::kPdetStandby));
    EXPECT_EQ(ListText(idc::kDimThreshold), "PWM Below 25%");
}
