// Manual Control: any register by hand.
#include "PanelHarness.h"

#include "Shadows.h"

TEST_F(PanelTest, ManualWriteReachesTheChipButNotTheGridUntilReadback)
{
    MarkChipConfigured();
    StartPanel();
    Type(1016, "A5");
    Type(1017, "3C");
    Click(1018);
    EXPECT_EQ(Writes(), "A5=3C");
    EXPECT_EQ(Text(1059), "00");
    EXPECT_EQ(ListText(1121), "6 PH 6 DR");
    EXPECT_EQ(Text(1016), "A5");
    EXPECT_EQ(Text(1017), "3C");
    ReadbackAll();
    EXPECT_EQ(Text(1059), "3C");
    EXPECT_EQ(ListText(1121), "3 PH 3 DR");
}

TEST_F(PanelTest, ManualAddressAcceptsPrefixAndSuffixForms)
{
    MarkChipConfigured();
    StartPanel();
    chip.regs[0x72] = 0x80;
    for (const char* address : {"0x72", "72h", " 72"}) {
        chip.ClearRecords();
        ClearText(1016);
        Type(1016, address);
        Click(1019);
        ASSERT_EQ(chip.reads.size(), 1u) << address;
        EXPECT_EQ(chip.reads[0], 0x72) << address;
        EXPECT_EQ(Text(1017), "80");
    }
}

TEST_F(PanelTest, EmptyOrNonHexManualTextMeansZero)
{
    MarkChipConfigured();
    StartPanel();
    Click(1018);
    EXPECT_EQ(Writes(), "00=00");
    Type(1016, "zz");
    Type(1017, "q");
    Click(1018);
    EXPECT_EQ(Writes(), "00=00 00=00");
}

TEST_F(PanelTest, ManualNumbersBeyondAByteAreRefusedNotTruncated)
{
    MarkChipConfigured();
    StartPanel();
    const struct {
        const char* address;
        const char* data;
        const char* status;
    } cases[] = {
        {"1A5", "3C", "Reg Addr out of range (00-FF)"},
        {"-1", "3C", "Reg Addr out of range (00-FF)"},
        {"A5", "1FF", "Data out of range (00-FF)"},
        {"A5", "-1", "Data out of range (00-FF)"},
        {"A5", "1000000A0", "Data out of range (00-FF)"},
    };
    for (const auto& c : cases) {
        ClearText(1016);
        Type(1016, c.address);
        ClearText(1017);
        Type(1017, c.data);
        Panel().SetStatusText("Ready1");
        Click(1018);
        EXPECT_EQ(Writes(), "") << c.address << " " << c.data;
        EXPECT_EQ(Panel().StatusText(), c.status);
        EXPECT_EQ(Text(1016), c.address);
        EXPECT_EQ(Text(1017), c.data);
    }
    ClearText(1016);
    Type(1016, "100");
    Click(1019);
    EXPECT_TRUE(chip.reads.empty());
    EXPECT_EQ(Panel().StatusText(), "Reg Addr out of range (00-FF)");
    EXPECT_EQ(Text(1017), "1000000A0");
}

TEST_F(PanelTest, ManualReadShowsTwoDigitsOrUnread)
{
    MarkChipConfigured();
    chip.regs[0x33] = 0x0F;
    StartPanel();
    Type(1016, "33");
    Type(1017, "7");
    Click(1019);
    EXPECT_EQ(Text(1017), "0F");
    EXPECT_EQ(Panel().StatusText(), "Initialization Complete");

    chip.failReads = {0x33};
    Click(1019);
    EXPECT_EQ(Text(1017), "--");
    EXPECT_EQ(Writes(), "");
}

TEST_F(PanelTest, HandWrittenControlRegisterIsOverwrittenFromTheShadow)
{
    MarkChipConfigured();
    StartPanel();
    Type(1016, "01");
    Type(1017, "07");
    Click(1018);
    EXPECT_EQ(g_reg01, 0x00);
    Click(1078);  // Fast Resume
    EXPECT_EQ(Writes(), "01=07 01=80");
}
