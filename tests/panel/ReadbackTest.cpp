// Readback All: the grid, the decode into controls, and failed reads.
#include "PanelHarness.h"

#include "Controls.h"
#include "Shadows.h"

TEST_F(PanelTest, StatusFlagsFollowRegister02BitByBit)
{
    MarkChipConfigured();
    StartPanel();
    // Bits 7..0: Open, Short, VRef OK, VBoost OK, Over Voltage, Over Current, TSD, UVLO.
    const int flags[8] = {1026, 1025, 1024, 1023, 1022, 1021, 1074, 1071};
    for (uint8_t value : {uint8_t(0x81), uint8_t(0xA0), uint8_t(0x5A), uint8_t(0x00)}) {
        chip.regs[0x02] = value;
        ReadbackAll();
        for (int bit = 0; bit < 8; ++bit)
            EXPECT_EQ(Ticked(flags[bit]), bool(value >> bit & 1)) << int(value) << " bit " << bit;
        EXPECT_EQ(Text(1041), QString::asprintf("%.2X", value));
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
        EXPECT_EQ(SelectedEntry(1123), c.entry) << int(c.a4);
    }
    EXPECT_EQ(ListText(1123), "PWM Below 25%");
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
    EXPECT_EQ(ListText(1119), "1250kHz");
    EXPECT_EQ(Panel().m_sldVboost->value(), 5);
    EXPECT_EQ(Text(1116), "2A");

    // Field value 3 has no entry: the list shows none, nothing is written.
    chip.regs[0xA6] = 0xC1;
    ReadbackAll();
    EXPECT_EQ(SelectedEntry(1119), -1);
    EXPECT_EQ(ListText(1119), "");
    EXPECT_EQ(Panel().m_sldVboost->value(), 1);
    EXPECT_EQ(Writes(), "");
}

TEST_F(PanelTest, CurrentConfigSetsPdetScaleAndShadowOnly)
{
    MarkChipConfigured();
    chip.regs[0xA1] = 0xCF;
    StartPanel();
    EXPECT_TRUE(Ticked(1103));
    EXPECT_EQ(ListText(1070), "100 = 23mA");
    EXPECT_EQ(g_currentScale, 4);
    EXPECT_EQ(Panel().m_sldCurrent->value(), 4095);
    EXPECT_EQ(Text(1102), "");
    EXPECT_EQ(g_regA1, 0);

    chip.regs[0xA1] = 0x2F;
    ReadbackAll();
    EXPECT_FALSE(Ticked(1103));
    EXPECT_EQ(ListText(1070), "010 = 15mA");
    EXPECT_EQ(g_currentScale, 2);
}

TEST_F(PanelTest, RegisterA7SetsItsListsButNotTheDriverEnables)
{
    MarkChipConfigured();
    chip.regs[0xA7] = 0x0E;
    StartPanel();
    EXPECT_EQ(ListText(1050), "49 uA");
    EXPECT_EQ(ListText(1049), "1.5 A / 2.6 A");
    EXPECT_TRUE(Ticked(1104));
    EXPECT_TRUE(Ticked(1105));
}

TEST_F(PanelTest, RangeRadiosFollowTheirSingleBits)
{
    MarkChipConfigured();
    chip.regs[0x9E] = 0x22;
    chip.regs[0x98] = 0x1B;
    StartPanel();
    EXPECT_TRUE(Ticked(1133));
    EXPECT_TRUE(Ticked(1140));
    chip.regs[0x9E] = 0xDF;
    chip.regs[0x98] = 0x80;
    ReadbackAll();
    EXPECT_TRUE(Ticked(1132));
    EXPECT_TRUE(Ticked(1141));
    EXPECT_FALSE(Ticked(1140));
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
    EXPECT_TRUE(Ticked(1111));
    EXPECT_FALSE(Ticked(1110));
    EXPECT_TRUE(Ticked(1109));
    EXPECT_FALSE(Ticked(1108));
    EXPECT_TRUE(Ticked(1107));
    EXPECT_FALSE(Ticked(1106));
    EXPECT_EQ(ListText(1125), "500 ms");
    EXPECT_EQ(ListText(1127), "Medium");
    EXPECT_EQ(ListText(1128), "1-bit with 13-bit res");
    EXPECT_TRUE(Ticked(1120));
    EXPECT_EQ(ListText(1121), "3 PH 3 DR");
    EXPECT_EQ(ListText(1122), "24040 Hz");
    EXPECT_EQ(ListText(1114), "34 V / 43 V");
    EXPECT_TRUE(Ticked(1131));
    EXPECT_FALSE(Ticked(1115));
}

TEST_F(PanelTest, ReadbackLeavesUndecodedControlsShadowsAndLinesAlone)
{
    MarkChipConfigured();
    StartPanel();
    Click(1028);  // LED 3 off
    Panel().SetStatusText("Ready2");
    chip.regs[0x16] = 0x3F;
    chip.regs[0x01] = 0x07;
    chip.regs[0xA7] = 0x00;  // DRV enables bits clear
    chip.ClearRecords();
    ReadbackAll();
    EXPECT_FALSE(Ticked(1028));
    EXPECT_FALSE(Ticked(1044));
    EXPECT_EQ(ListText(1046), "PWM input only");
    EXPECT_TRUE(Ticked(1104));
    EXPECT_EQ(Text(1040), "07");
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
    ASSERT_TRUE(Ticked(1071));
    ASSERT_EQ(g_currentScale, 4);

    chip.failReads = {0xA0, 0x02, 0xA1, 0xA4};
    chip.regs[0xA1] = 0x00;
    chip.regs[0x02] = 0x00;
    chip.regs[0xA4] = 0xF0;
    chip.regs[0x01] = 0x85;
    ReadbackAll();
    EXPECT_EQ(Text(1048), "3C");
    EXPECT_EQ(Text(1053), "--");  // not the 3C read before it
    EXPECT_EQ(Text(1007), "--");
    EXPECT_EQ(Text(1041), "--");
    EXPECT_EQ(Text(1055), "00");  // read after the failures: its own value
    // The flags keep their state rather than showing register 0x01's bits.
    EXPECT_TRUE(Ticked(1071));
    EXPECT_TRUE(Ticked(1026));
    EXPECT_FALSE(Ticked(1024));
    EXPECT_EQ(g_currentScale, 4);
    EXPECT_EQ(ListText(1070), "100 = 23mA");
    EXPECT_TRUE(Ticked(1103));
    EXPECT_EQ(ListText(1123), "PWM Below 25%");
}
