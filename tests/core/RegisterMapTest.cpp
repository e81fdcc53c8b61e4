#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "Decode.h"
#include "Fields.h"
#include "RegisterImage.h"

using namespace chip;

namespace {

std::string Meaning(uint8_t address, uint8_t value, const char* field)
{
    for (const DecodedField& f : DecodeRegister(address, value))
        if (std::string(f.field->name) == field) return f.meaning;
    return "<no field " + std::string(field) + ">";
}

}  // namespace

TEST(RegisterMap, DescribesEveryRegisterThePanelTouchesWithFieldsThatFitTheirByte)
{
    const std::set<uint8_t> grid(ReadbackRegisters().begin(), ReadbackRegisters().end());
    EXPECT_EQ(ReadbackRegisters().size(), 26u);
    EXPECT_EQ(grid.size(), 26u) << "no register twice in the grid";
    EXPECT_EQ(ReadbackRegisters().front(), 0x00);
    EXPECT_EQ(ReadbackRegisters()[23], 0x72);
    EXPECT_EQ(ReadbackRegisters().back(), 0x9E);
    for (uint8_t reg : grid) EXPECT_NE(FindRegister(reg), nullptr) << int(reg);
    ASSERT_NE(FindRegister(0x16), nullptr);
    EXPECT_EQ(AllRegisters().size(), 27u);
    EXPECT_EQ(FindRegister(0x10), nullptr);

    for (const RegisterInfo& reg : AllRegisters()) {
        unsigned used = 0;
        for (const FieldInfo& f : reg.fields) {
            SCOPED_TRACE(f.name);
            EXPECT_EQ(f.reg, reg.address) << "a field sits in the register that lists it";
            EXPECT_GE(f.width, 1);
            EXPECT_LE(f.lsb + f.width, 8);
            EXPECT_EQ(used & FieldMask(f), 0u) << "fields do not overlap";
            used |= FieldMask(f);
            if (!f.valueNames) continue;
            EXPECT_LE(f.valueNames->size(), FieldMax(f) + 1);
            // A listed field names every value, but for boost frequency 3.
            for (unsigned v = 0; v <= FieldMax(f); ++v) {
                const bool unnamed = reg.address == 0xA6 && f.lsb == 6 && v == 3;
                EXPECT_EQ(EntryOf(f, v) < f.valueNames->size(), !unnamed) << "value " << v;
            }
        }
    }
    for (uint8_t unknown : {0x03, 0x04, 0x05, 0x06, 0xA8, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF})
        EXPECT_TRUE(FindRegister(unknown)->fields.empty()) << int(unknown);
    EXPECT_EQ(FindRegister(0x02)->access, Access::ReadOnly);
    EXPECT_EQ(FindRegister(0x72)->access, Access::EepromBurn);
    EXPECT_STREQ(AccessText(FindRegister(0x72)->access), "EEPROM burn");
}

TEST(RegisterMap, FieldHelpersReplaceOnlyTheirBits)
{
    EXPECT_EQ(FieldMask(kPhaseShift), 0x70);
    EXPECT_EQ(FieldValue(kPhaseShift, 0xE9), 6u);
    EXPECT_EQ(WithField(kVboostCode, 0x80, 63), 0xBF);
    EXPECT_EQ(WithField(kBoostFreq, 0xBF, 0), 0x3F);
    EXPECT_EQ(WithField(kVboostMax, 0xB5, 2), 0x55);
    EXPECT_EQ(WithField(kPwmDirect, 0x14, 1), 0x94);
    EXPECT_EQ(WithField(kCurrentHigh, 0xC0, 0x123 >> kCurrentLow.width), 0xC1)
        << "value bits beyond the field are dropped";
}

TEST(RegisterMap, DecodesValuesIntoNamedFields)
{
    const auto a5 = DecodeRegister(0xA5, 0xE9);
    ASSERT_EQ(a5.size(), 3u);
    EXPECT_EQ(FieldLine(a5[0]), "PWM Direct (bit 7) = 1 (1 = direct PWM)");
    EXPECT_EQ(FieldLine(a5[1]), "Phase Shift Mode (bits 6-4) = \"2 PH 6 DR\"");
    EXPECT_EQ(FieldLine(a5[2]), "PWM Frequency (bits 3-0) = \"16828 Hz\"");

    // Threshold values 10-15 all read as "PWM Always".
    EXPECT_EQ(Meaning(0xA4, 0x90, "PWM / Current Dimming Threshold"), "PWM Below 41.6%");
    EXPECT_EQ(Meaning(0xA4, 0xA0, "PWM / Current Dimming Threshold"), "PWM Always");
    EXPECT_EQ(Meaning(0xA4, 0xF3, "PWM / Current Dimming Threshold"), "PWM Always");
    // Boost frequency 3 has no name: the number stands for it.
    EXPECT_EQ(Meaning(0xA6, 0xC5, "Frequency"), "3");
    EXPECT_FALSE(DecodeRegister(0xA6, 0xC5)[0].named);
    EXPECT_EQ(Meaning(0xA6, 0x85, "Vboost"), "5");
    EXPECT_EQ(Meaning(0xA1, 0xCF, "Current Scale"), "100 = 23mA");
    EXPECT_EQ(Meaning(0xA9, 0x20, "Vboost Maximum"), "NA / NA");
    EXPECT_EQ(Meaning(0x02, 0x81, "Open"), "1");
    EXPECT_EQ(Meaning(0x02, 0x81, "Short"), "0");
    EXPECT_EQ(DecodeRegister(0xA7, 0)[0].bits, "bit 5");
    EXPECT_TRUE(DecodeRegister(0x03, 0x55).empty());
    EXPECT_TRUE(DecodeRegister(0x10, 0x55).empty());
}

TEST(RegisterMap, DecodesAnImageAndTellsWhichFieldsDiffer)
{
    std::array<int, 256> image;
    image.fill(-1);
    image[0xA5] = 0x14;
    const auto decoded = DecodeImage(image);
    ASSERT_EQ(decoded.size(), AllRegisters().size());
    for (const DecodedRegister& reg : decoded) {
        if (reg.info->address == 0xA5) {
            EXPECT_EQ(reg.value, 0x14);
            ASSERT_EQ(reg.fields.size(), 3u);
            EXPECT_EQ(reg.fields[1].meaning, "5 PH 5 DR");
        } else {
            EXPECT_FALSE(reg.value) << "register " << int(reg.info->address) << " was not read";
            EXPECT_TRUE(reg.fields.empty());
        }
    }

    const auto changes = DiffFields(0xA5, 0x14, 0x9F);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_STREQ(changes[0].before.field->name, "PWM Direct");
    EXPECT_EQ(changes[0].after.value, 1u);
    EXPECT_EQ(changes[1].before.meaning, "9616 Hz");
    EXPECT_EQ(changes[1].after.meaning, "38464 Hz");
    EXPECT_TRUE(DiffFields(0xA5, 0x14, 0x14).empty());
    EXPECT_TRUE(DiffFields(0x03, 0x00, 0xFF).empty()) << "no known field to differ";
}

// What the command line tool does with a dump: parse, then decode every
// described register; XX reads as not read.
TEST(RegisterMap, DecodesAnI2cdumpImage)
{
    std::string dump = "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f\n";
    for (int row = 0; row < 16; ++row) {
        char line[64];
        std::snprintf(line, sizeof line, "%x0:", row);
        dump += line;
        for (int col = 0; col < 16; ++col) {
            const int reg = row * 16 + col;
            dump += reg == 0x02 ? " XX" : reg == 0xA5 ? " e9" : reg == 0xA4 ? " A0" : " 00";
        }
        dump += '\n';
    }
    std::istringstream in(dump);
    RegisterImage image;
    std::string error;
    ASSERT_TRUE(ParseRegisterImage(in, image, error)) << error;

    std::map<uint8_t, DecodedRegister> byAddress;
    for (DecodedRegister& reg : DecodeImage(image.values)) byAddress.emplace(reg.info->address, reg);
    EXPECT_EQ(byAddress.size(), 27u);
    EXPECT_FALSE(byAddress.at(0x02).value) << "XX: the status register did not answer";
    EXPECT_EQ(byAddress.at(0xA5).value, 0xE9);
    EXPECT_EQ(byAddress.at(0xA5).fields.at(2).meaning, "16828 Hz");
    EXPECT_EQ(byAddress.at(0xA4).fields.at(0).meaning, "PWM Always");
    EXPECT_EQ(byAddress.at(0x16).fields.size(), 6u);
    EXPECT_STREQ(byAddress.at(0x16).fields.front().field->name, "LED 6");
}
