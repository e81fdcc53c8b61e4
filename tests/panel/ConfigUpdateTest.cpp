// Config registers 0xA2, 0xA3 and 0xA7: the group's controls change nothing
// on the chip until its Update button composes and writes the whole byte.
#include "PanelHarness.h"

#include "ControlIds.h"
#include "Controls.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

namespace {

// A2 group: check box ID and the register value it alone gives.
struct A2Box {
    int id;
    const char* value;
};
constexpr A2Box kA2Boxes[] = {
    {idc::kPwmFsetEn, "01"},    // PWM FSET EN
    {idc::kBoostFsetEn, "02"},  // Boost FSET EN
    {idc::kIsetEn, "04"},       // Iset EN
    {idc::kBacklightOn, "08"},  // Backlight On
    {idc::kUvloLevel, "10"},    // UVLO Level
    {idc::kUvloEnable, "20"},   // UVLO Enable
};

class ConfigUpdate : public PanelTest {};

}  // namespace

// ---- 0xA2 ------------------------------------------------------------------

TEST_F(ConfigUpdate, A2AfterStartupWritesTheTickedBitsAndClearsTheTopTwo)
{
    StartPanel();  // blank chip: the start-up programs 0xA2 = 0xAF
    EXPECT_EQ(Text(idc::kRegA2), "AF");
    EXPECT_TRUE(Ticked(idc::kPwmFsetEn));
    EXPECT_TRUE(Ticked(idc::kBoostFsetEn));
    EXPECT_TRUE(Ticked(idc::kIsetEn));
    EXPECT_TRUE(Ticked(idc::kBacklightOn));
    EXPECT_FALSE(Ticked(idc::kUvloLevel));
    EXPECT_TRUE(Ticked(idc::kUvloEnable));

    Click(idc::kUpdateA2);
    EXPECT_EQ(Writes(), "A2=2F");
    EXPECT_TRUE(chip.reads.empty()) << "Update writes the whole byte without reading";
    EXPECT_EQ(Text(idc::kRegA2), "2F");
    EXPECT_EQ(Panel().StatusText(), kReady);

    // The chip now holds 0x2F: a readback ticks the same boxes.
    Click(idc::kReadbackAll);
    EXPECT_EQ(Text(idc::kRegA2), "2F");
    EXPECT_TRUE(Ticked(idc::kUvloEnable));
    EXPECT_FALSE(Ticked(idc::kUvloLevel));
    EXPECT_TRUE(Ticked(idc::kPwmFsetEn));
    EXPECT_EQ(Writes(), "A2=2F");
}

TEST_F(ConfigUpdate, A2TickingWritesNothingUntilUpdate)
{
    StartOnConfiguredChip({{0xA2, 0x00}});
    Click(idc::kIsetEn);     // Iset EN
    Click(idc::kUvloLevel);  // UVLO Level
    EXPECT_TRUE(Ticked(idc::kIsetEn));
    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(Text(idc::kRegA2), "00");

    Click(idc::kUpdateA2);
    EXPECT_EQ(Writes(), "A2=14");
    EXPECT_EQ(Text(idc::kRegA2), "14");
    EXPECT_TRUE(Ticked(idc::kIsetEn)) << "the user's ticks stay after the Update";
    EXPECT_TRUE(Ticked(idc::kUvloLevel));
}

TEST_F(ConfigUpdate, A2EachBoxDrivesItsOwnBit)
{
    StartOnConfiguredChip({{0xA2, 0x00}});
    for (const A2Box& box : kA2Boxes) {
        chip.ClearRecords();
        Click(box.id);
        Click(idc::kUpdateA2);
        EXPECT_EQ(Writes(), std::string("A2=") + box.value) << "box " << box.id;
        EXPECT_EQ(Text(idc::kRegA2), box.value) << "box " << box.id;
        Click(box.id);  // untick again
    }

    for (const A2Box& box : kA2Boxes) Click(box.id);
    chip.ClearRecords();
    Click(idc::kUpdateA2);
    EXPECT_EQ(Writes(), "A2=3F");
    EXPECT_EQ(Text(idc::kRegA2), "3F");

    for (const A2Box& box : kA2Boxes) Click(box.id);
    Click(idc::kUpdateA2);
    EXPECT_EQ(Writes(), "A2=3F A2=00");
    EXPECT_EQ(Text(idc::kRegA2), "00");
}

TEST_F(ConfigUpdate, UpdateWithoutAdapterWritesNothingItCouldShow)
{
    StartPanelWithoutAdapter();
    Click(idc::kUvloEnable);  // UVLO Enable
    Click(idc::kPwmFsetEn);   // PWM FSET EN
    Click(idc::kUpdateA2);
    EXPECT_EQ(Text(idc::kRegA2), "--");
    EXPECT_EQ(Panel().StatusText(), "Write to A2 failed");
}

// ---- 0xA3 ------------------------------------------------------------------

TEST_F(ConfigUpdate, A3RewritesTheStartupValueAndComposesTheThreeLists)
{
    StartPanel();  // blank chip: 0xA3 = 0x5E
    EXPECT_EQ(ListText(idc::kPwmSlope), "200 ms");
    EXPECT_EQ(ListText(idc::kFilter), "Heavy");
    EXPECT_EQ(ListText(idc::kPwmHysteresis), "1-bit with 12-bit res");

    Click(idc::kUpdateA3);
    EXPECT_EQ(Writes(), "A3=5E");
    EXPECT_EQ(Text(idc::kRegA3), "5E");

    ChooseEntry(idc::kPwmSlope, 7);       // 500 ms
    ChooseEntry(idc::kPwmHysteresis, 3);  // 1-bit with 8-bit res
    EXPECT_EQ(Writes(), "A3=5E") << "choosing an entry writes nothing";
    EXPECT_EQ(Text(idc::kRegA3), "5E");
    Click(idc::kUpdateA3);
    EXPECT_EQ(Writes(), "A3=5E A3=7F");
    EXPECT_EQ(Text(idc::kRegA3), "7F");

    ChooseEntry(idc::kPwmSlope, 0);       // Immediate
    ChooseEntry(idc::kFilter, 0);         // None
    ChooseEntry(idc::kPwmHysteresis, 0);  // None
    Click(idc::kUpdateA3);
    EXPECT_EQ(Writes(), "A3=5E A3=7F A3=00");
    EXPECT_EQ(Text(idc::kRegA3), "00");
    EXPECT_TRUE(chip.reads.empty());
    EXPECT_EQ(Panel().StatusText(), kReady);
}

TEST_F(ConfigUpdate, A3FieldsLandInTheirOwnBitsAndReadBack)
{
    StartOnConfiguredChip({{0xA3, 0x00}});
    ChooseEntry(idc::kPwmSlope, 1);       // 1 ms
    ChooseEntry(idc::kFilter, 2);         // Medium
    ChooseEntry(idc::kPwmHysteresis, 1);  // 1-bit with 13-bit res
    Click(idc::kUpdateA3);
    EXPECT_EQ(Writes(), "A3=19");
    EXPECT_EQ(Text(idc::kRegA3), "19");

    // Bit 7 set behind the panel's back: the Update clears it again.
    chip.regs[0xA3] = 0x99;
    Click(idc::kReadbackAll);
    EXPECT_EQ(Text(idc::kRegA3), "99");
    EXPECT_EQ(ListText(idc::kPwmSlope), "1 ms");
    EXPECT_EQ(ListText(idc::kFilter), "Medium");
    EXPECT_EQ(ListText(idc::kPwmHysteresis), "1-bit with 13-bit res");
    Click(idc::kUpdateA3);
    EXPECT_EQ(Writes(), "A3=19 A3=19");
    EXPECT_EQ(Text(idc::kRegA3), "19");
}

TEST_F(ConfigUpdate, A3WithTextTypedIntoAListWritesNothing)
{
    StartPanel();
    ChooseEntry(idc::kPwmSlope, 2);  // 2 ms
    ClearText(idc::kFilter);
    Type(idc::kFilter, "Heavy");
    Click(idc::kUpdateA3);
    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(Text(idc::kRegA3), "5E");
    EXPECT_EQ(ListText(idc::kFilter), "Heavy");
    EXPECT_EQ(SelectedEntry(idc::kFilter), -1);
    EXPECT_EQ(SelectedEntry(idc::kPwmSlope), 2) << "the other choices stay";

    // Choosing an entry again makes Update write.
    ChooseEntry(idc::kFilter, 1);  // Light
    Click(idc::kUpdateA3);
    EXPECT_EQ(Writes(), "A3=26");
    EXPECT_EQ(Text(idc::kRegA3), "26");
}

// ---- 0xA7 ------------------------------------------------------------------

TEST_F(ConfigUpdate, A7AfterStartupWritesTheDriverEnablesAndTheLists)
{
    StartPanel();  // blank chip: 0xA7 = 0xFF
    EXPECT_EQ(Text(idc::kRegA7), "FF");
    EXPECT_EQ(ListText(idc::kPfmThreshold), "49 uA");
    EXPECT_EQ(ListText(idc::kCurrentLimit), "1.8 A / NA");
    EXPECT_TRUE(Ticked(idc::kDrv2Enable));
    EXPECT_TRUE(Ticked(idc::kDrv3Enable));

    Click(idc::kUpdateA7);
    EXPECT_EQ(Writes(), "A7=3F");
    EXPECT_EQ(Text(idc::kRegA7), "3F");

    Click(idc::kDrv3Enable);
    EXPECT_EQ(Writes(), "A7=3F") << "unticking writes nothing";
    EXPECT_EQ(Text(idc::kRegA7), "3F");
    Click(idc::kUpdateA7);
    EXPECT_EQ(Writes(), "A7=3F A7=1F");
    EXPECT_EQ(Text(idc::kRegA7), "1F");

    Click(idc::kDrv2Enable);
    Click(idc::kDrv3Enable);
    Click(idc::kUpdateA7);
    EXPECT_EQ(Writes(), "A7=3F A7=1F A7=2F");
    EXPECT_TRUE(chip.reads.empty());
    EXPECT_EQ(Panel().StatusText(), kReady);
}

TEST_F(ConfigUpdate, A7ListsLandInTheirBitsAndTheReadbackLeavesTheDriverBoxes)
{
    StartOnConfiguredChip({{0xA7, 0x00}});
    ChooseEntry(idc::kPfmThreshold, 1);  // 27 uA
    ChooseEntry(idc::kCurrentLimit, 2);  // 1.5 A / 2.6 A
    Click(idc::kDrv2Enable);
    EXPECT_EQ(Writes(), "");
    Click(idc::kUpdateA7);
    EXPECT_EQ(Writes(), "A7=26");
    EXPECT_EQ(Text(idc::kRegA7), "26");

    // Bits 5-4 are not decoded: the driver boxes show what the user ticked.
    chip.regs[0xA7] = 0x1E;
    Click(idc::kReadbackAll);
    EXPECT_EQ(Text(idc::kRegA7), "1E");
    EXPECT_EQ(ListText(idc::kPfmThreshold), "49 uA");
    EXPECT_EQ(ListText(idc::kCurrentLimit), "1.5 A / 2.6 A");
    EXPECT_FALSE(Ticked(idc::kDrv2Enable));
    EXPECT_TRUE(Ticked(idc::kDrv3Enable));
    EXPECT_EQ(Writes(), "A7=26");
}

TEST_F(ConfigUpdate, A7WithTextTypedIntoAListWritesNothing)
{
    StartPanel();
    Click(idc::kDrv3Enable);
    ClearText(idc::kCurrentLimit);
    Type(idc::kCurrentLimit, "2 A");
    Click(idc::kUpdateA7);
    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(Text(idc::kRegA7), "FF");
    EXPECT_FALSE(Ticked(idc::kDrv3Enable)) << "the user's untick stays";
    EXPECT_EQ(ListText(idc::kCurrentLimit), "2 A");

    // A readback selects an entry again, and Update writes.
    Click(idc::kReadbackAll);
    EXPECT_EQ(ListText(idc::kCurrentLimit), "1.8 A / NA");
    EXPECT_EQ(List(idc::kCurrentLimit)->currentIndex(), 3);
    Click(idc::kUpdateA7);
    EXPECT_EQ(Writes(), "A7=1F");
}
