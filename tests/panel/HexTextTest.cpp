#include "HexText.h"

#include <gtest/gtest.h>

TEST(HexText, FormatsAtLeastTwoUpperCaseDigits)
{
    EXPECT_EQ(HexText(0x0F), "0F");
    EXPECT_EQ(HexText(0xA0), "A0");
    EXPECT_EQ(HexText(0x00), "00");
    EXPECT_EQ(HexText(0xFFF), "FFF");
    EXPECT_EQ(HexText(0x123), "123");
}

TEST(HexText, ParsesLikeTheRuntimeBase16Conversion)
{
    EXPECT_EQ(ParseHex("A5"), 0xA5u);
    EXPECT_EQ(ParseHex("  a5"), 0xA5u);
    EXPECT_EQ(ParseHex("0x72"), 0x72u);
    EXPECT_EQ(ParseHex("0X72"), 0x72u);
    EXPECT_EQ(ParseHex("72h"), 0x72u);     // stops at the first non-hex character
    EXPECT_EQ(ParseHex("1A5"), 0x1A5u);
    EXPECT_EQ(ParseHex(""), 0u);
    EXPECT_EQ(ParseHex("zz"), 0u);
    EXPECT_EQ(ParseHex("0x"), 0u);         // no digit after the prefix: just the 0
    EXPECT_EQ(ParseHex("0xg"), 0u);
    EXPECT_EQ(ParseHex("+1F"), 0x1Fu);
    EXPECT_EQ(ParseHex("FFFFFFFF"), 0xFFFFFFFFu);
}

TEST(HexText, SaturatesAt32BitsAndNegatesModulo32Bits)
{
    EXPECT_EQ(ParseHex("1000000A0"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseHex("123456789ABCDEF"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseHex("-1"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseHex("-10"), 0xFFFFFFF0u);
    EXPECT_EQ(ParseHex(" -0x2"), 0xFFFFFFFEu);
    EXPECT_EQ(ParseHex("-1000000A0"), 0xFFFFFFFFu);  // overflow wins over the sign
}
