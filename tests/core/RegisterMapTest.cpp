#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>

#include "Decode.h"
#include "Fields.h"

using namespace chip;

TEST(RegisterMap, DescribesEveryGridRegisterWithFieldsThatFitTheirByteAndNameEveryValue)
{
    for (uint8_t reg : ReadbackRegisters()) EXPECT_NE(FindRegister(reg), nullptr) << int(reg);
    EXPECT_NE(FindRegister(0x16), nullptr) << "written by the LED controls, not in the grid";
    for (const RegisterInfo& reg : AllRegisters()) {
        unsigned used = 0;
        for (const FieldInfo& f : reg.fields) {
            SCOPED_TRACE(f.name);
            EXPECT_EQ(f.reg, reg.address) << "a field sits in the register that lists it";
            EXPECT_LE(f.lsb + f.width, 8);
            EXPECT_EQ(used & FieldMask(f), 0u) << "fields do not overlap";
            used |= FieldMask(f);
            if (f.valueNames.empty()) continue;
            EXPECT_LE(f.valueNames.size(), FieldMax(f) + 1);
            // A listed field names every value, but for boost frequency 3.
            for (unsigned v = 0; v <= FieldMax(f); ++v) {
                const bool unnamed = reg.address == 0xA6 && f.lsb == 6 && v == 3;
                EXPECT_EQ(EntryOf(f, v) < f.valueNames.size(), !unnamed) << "value " << v;
            }
        }
    }
    EXPECT_STREQ(AccessText(FindRegister(0x72)->access), "a write burns the EEPROM");
    EXPECT_EQ(WithField(kCurrentHigh, 0xC0, 0x13), 0xC3) << "bits beyond the field drop";
}

// What the panel's tooltips and the command line tool show of a register image.
TEST(RegisterMap, DecodesAnImageIntoNamedFieldsAndTellsWhichDiffer)
{
    std::array<std::optional<uint8_t>, 256> image;
    image.fill(0x00);
    image[0x02] = std::nullopt;  // did not answer
    image[0xA4] = 0xA0;
    image[0xA5] = 0xE9;
    std::map<uint8_t, DecodedRegister> byAddress;
    for (DecodedRegister& reg : DecodeImage(image)) byAddress.emplace(reg.info->address, reg);
    ASSERT_EQ(byAddress.size(), AllRegisters().size());

    EXPECT_FALSE(byAddress.at(0x02).value);
    EXPECT_TRUE(byAddress.at(0x02).fields.empty());
    const auto& a5 = byAddress.at(0xA5).fields;
    ASSERT_EQ(a5.size(), 3u);
    EXPECT_EQ(FieldLine(a5[0]), "PWM Direct (bit 7) = 1 (1 = direct PWM)");
    EXPECT_EQ(FieldLine(a5[1]), "Phase Shift Mode (bits 6-4) = \"2 PH 6 DR\"");
    EXPECT_EQ(FieldLine(a5[2]), "PWM Frequency (bits 3-0) = \"16828 Hz\"");
    // Threshold values 10-15 all read as "PWM Always".
    EXPECT_EQ(byAddress.at(0xA4).fields.at(0).meaning, "PWM Always");
    EXPECT_EQ(DecodeRegister(0xA4, 0xF3).at(0).meaning, "PWM Always");
    // Boost frequency 3 has no name: the number stands for it.
    EXPECT_EQ(FieldLine(DecodeRegister(0xA6, 0xC5).at(0)),
              "Frequency (bits 7-6) = 3 (boost frequency)");
    EXPECT_TRUE(DecodeRegister(0x03, 0x55).empty()) << "no known field";
    EXPECT_TRUE(DecodeRegister(0x10, 0x55).empty()) << "not described";

    const auto changes = DiffFields(0xA5, 0x14, 0x9F);
    ASSERT_EQ(changes.size(), 2u) << "the phase shift stays 1";
    EXPECT_EQ(changes[1].before.meaning + " -> " + changes[1].after.meaning, "9616 Hz -> 38464 Hz");
    EXPECT_TRUE(DiffFields(0xA5, 0x14, 0x14).empty());
}
