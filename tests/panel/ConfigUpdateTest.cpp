// Config registers 0xA2, 0xA3 and 0xA7: the group's controls change nothing
// on the chip until its Update button composes and writes the whole byte.
#include "PanelHarness.h"

#include "Controls.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

namespace {

constexpr int kReadbackAll = 1020;
constexpr const char* kReady = "Initialization Complete";

// A2 group: check box ID and the register value it alone gives.
struct A2Box {
    int id;
    const char* value;
};
constexpr A2Box kA2Boxes[] = {
    {1106, "01"},  // PWM FSET EN
    {1107, "02"},  // Boost FSET EN
    {1108, "04"},  // Iset EN
    {1109, "08"},  // Backlight On
    {1110, "10"},  // UVLO Level
    {1111, "20"},  // UVLO Enable
};
constexpr int kUpdateA2 = 1066;
constexpr int kBoxA2 = 1055;

constexpr int kPwmSlope = 1125;
constexpr int kFilter = 1127;
constexpr int kHysteresis = 1128;
constexpr int kUpdateA3 = 1126;
constexpr int kBoxA3 = 1065;

constexpr int kDrv2 = 1104;
constexpr int kDrv3 = 1105;
constexpr int kPfmThreshold = 1050;
constexpr int kCurrentLimit = 1049;
constexpr int kUpdateA7 = 1052;
constexpr int kBoxA7 = 1061;

class ConfigUpdate : public PanelTest {};

}  // namespace

// ---- 0xA2 ------------------------------------------------------------------

TEST_F(ConfigUpdate, A2AfterStartupWritesTheTickedBitsAndClearsTheTopTwo)
{
    StartPanel();  // blank chip: the start-up programs 0xA2 = 0xAF
    EXPECT_EQ(Text(kBoxA2), "AF");
    EXPECT_TRUE(Ticked(1106));
    EXPECT_TRUE(Ticked(1107));
    EXPECT_TRUE(Ticked(1108));
    EXPECT_TRUE(Ticked(1109));
    EXPECT_FALSE(Ticked(1110));
    EXPECT_TRUE(Ticked(1111));

    Click(kUpdateA2);
    EXPECT_EQ(Writes(), "A2=2F");
    EXPECT_TRUE(chip.reads.empty()) << "Update writes the whole byte without reading";
    EXPECT_EQ(Text(kBoxA2), "2F");
    EXPECT_EQ(Panel().StatusText(), kReady);

    // The chip now holds 0x2F: a readback ticks the same boxes.
    Click(kReadbackAll);
    EXPECT_EQ(Text(kBoxA2), "2F");
    EXPECT_TRUE(Ticked(1111));
    EXPECT_FALSE(Ticked(1110));
    EXPECT_TRUE(Ticked(1106));
    EXPECT_EQ(Writes(), "A2=2F");
}

TEST_F(ConfigUpdate, A2TickingWritesNothingUntilUpdate)
{
    StartOnConfiguredChip({{0xA2, 0x00}});
    Click(1108);  // Iset EN
    Click(1110);  // UVLO Level
    EXPECT_TRUE(Ticked(1108));
    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(Text(kBoxA2), "00");

    Click(kUpdateA2);
    EXPECT_EQ(Writes(), "A2=14");
    EXPECT_EQ(Text(kBoxA2), "14");
    EXPECT_TRUE(Ticked(1108)) << "the user's ticks stay after the Update";
    EXPECT_TRUE(Ticked(1110));
}

TEST_F(ConfigUpdate, A2EachBoxDrivesItsOwnBit)
{
    StartOnConfiguredChip({{0xA2, 0x00}});
    for (const A2Box& box : kA2Boxes) {
        chip.ClearRecords();
        Click(box.id);
        Click(kUpdateA2);
        EXPECT_EQ(Writes(), std::string("A2=") + box.value) << "box " << box.id;
        EXPECT_EQ(Text(kBoxA2), box.value) << "box " << box.id;
        Click(box.id);  // untick again
    }

    for (const A2Box& box : kA2Boxes) Click(box.id);
    chip.ClearRecords();
    Click(kUpdateA2);
    EXPECT_EQ(Writes(), "A2=3F");
    EXPECT_EQ(Text(kBoxA2), "3F");

    for (const A2Box& box : kA2Boxes) Click(box.id);
    Click(kUpdateA2);
    EXPECT_EQ(Writes(), "A2=3F A2=00");
    EXPECT_EQ(Text(kBoxA2), "00");
}

TEST_F(ConfigUpdate, A2FailedWriteShowsTheComposedValueUntilTheNextReadback)
{
    StartPanel();
    chip.failWrites = {0xA2};
    Click(1110);  // UVLO Level
    Click(kUpdateA2);
    EXPECT_EQ(Writes(), "A2=3F");
    EXPECT_EQ(Text(kBoxA2), "3F");
    EXPECT_EQ(Panel().StatusText(), kReady);

    Click(kReadbackAll);
    EXPECT_EQ(Text(kBoxA2), "AF") << "the chip kept its value";
    EXPECT_FALSE(Ticked(1110));
}

TEST_F(ConfigUpdate, UpdateWithoutAdapterShowsTheComposedValue)
{
    StartPanelWithoutAdapter();
    Click(1111);  // UVLO Enable
    Click(1106);  // PWM FSET EN
    Click(kUpdateA2);
    EXPECT_EQ(Text(kBoxA2), "21");
    EXPECT_EQ(Panel().StatusText(), "USB Initialization Error");
}

// ---- 0xA3 ------------------------------------------------------------------

TEST_F(ConfigUpdate, A3RewritesTheStartupValueAndComposesTheThreeLists)
{
    StartPanel();  // blank chip: 0xA3 = 0x5E
    EXPECT_EQ(ListText(kPwmSlope), "200 ms");
    EXPECT_EQ(ListText(kFilter), "Heavy");
    EXPECT_EQ(ListText(kHysteresis), "1-bit with 12-bit res");

    Click(kUpdateA3);
    EXPECT_EQ(Writes(), "A3=5E");
    EXPECT_EQ(Text(kBoxA3), "5E");

    ChooseEntry(kPwmSlope, 7);    // 500 ms
    ChooseEntry(kHysteresis, 3);  // 1-bit with 8-bit res
    EXPECT_EQ(Writes(), "A3=5E") << "choosing an entry writes nothing";
    EXPECT_EQ(Text(kBoxA3), "5E");
    Click(kUpdateA3);
    EXPECT_EQ(Writes(), "A3=5E A3=7F");
    EXPECT_EQ(Text(kBoxA3), "7F");

    ChooseEntry(kPwmSlope, 0);    // Immediate
    ChooseEntry(kFilter, 0);      // None
    ChooseEntry(kHysteresis, 0);  // None
    Click(kUpdateA3);
    EXPECT_EQ(Writes(), "A3=5E A3=7F A3=00");
    EXPECT_EQ(Text(kBoxA3), "00");
    EXPECT_TRUE(chip.reads.empty());
    EXPECT_EQ(Panel().StatusText(), kReady);
}

TEST_F(ConfigUpdate, A3FieldsLandInTheirOwnBitsAndReadBack)
{
    StartOnConfiguredChip({{0xA3, 0x00}});
    ChooseEntry(kPwmSlope, 1);    // 1 ms
    ChooseEntry(kFilter, 2);      // Medium
    ChooseEntry(kHysteresis, 1);  // 1-bit with 13-bit res
    Click(kUpdateA3);
    EXPECT_EQ(Writes(), "A3=19");
    EXPECT_EQ(Text(kBoxA3), "19");

    // Bit 7 set behind the panel's back: the Update clears it again.
    chip.regs[0xA3] = 0x99;
    Click(kReadbackAll);
    EXPECT_EQ(Text(kBoxA3), "99");
    EXPECT_EQ(ListText(kPwmSlope), "1 ms");
    EXPECT_EQ(ListText(kFilter), "Medium");
    EXPECT_EQ(ListText(kHysteresis), "1-bit with 13-bit res");
    Click(kUpdateA3);
    EXPECT_EQ(Writes(), "A3=19 A3=19");
    EXPECT_EQ(Text(kBoxA3), "19");
}

TEST_F(ConfigUpdate, A3WithTextTypedIntoAListWritesNothing)
{
    StartPanel();
    ChooseEntry(kPwmSlope, 2);  // 2 ms
    ClearText(kFilter);
    Type(kFilter, "Heavy");
    Click(kUpdateA3);
    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(Text(kBoxA3), "5E");
    EXPECT_EQ(ListText(kFilter), "Heavy");
    EXPECT_EQ(SelectedEntry(kFilter), -1);
    EXPECT_EQ(SelectedEntry(kPwmSlope), 2) << "the other choices stay";

    // Choosing an entry again makes Update write.
    ChooseEntry(kFilter, 1);  // Light
    Click(kUpdateA3);
    EXPECT_EQ(Writes(), "A3=26");
    EXPECT_EQ(Text(kBoxA3), "26");
}

// ---- 0xA7 ------------------------------------------------------------------

TEST_F(ConfigUpdate, A7AfterStartupWritesTheDriverEnablesAndTheLists)
{
    StartPanel();  // blank chip: 0xA7 = 0xFF
    EXPECT_EQ(Text(kBoxA7), "FF");
    EXPECT_EQ(ListText(kPfmThreshold), "49 uA");
    EXPECT_EQ(ListText(kCurrentLimit), "1.8 A / NA");
    EXPECT_TRUE(Ticked(kDrv2));
    EXPECT_TRUE(Ticked(kDrv3));

    Click(kUpdateA7);
    EXPECT_EQ(Writes(), "A7=3F");
    EXPECT_EQ(Text(kBoxA7), "3F");

    Click(kDrv3);
    EXPECT_EQ(Writes(), "A7=3F") << "unticking writes nothing";
    EXPECT_EQ(Text(kBoxA7), "3F");
    Click(kUpdateA7);
    EXPECT_EQ(Writes(), "A7=3F A7=1F");
    EXPECT_EQ(Text(kBoxA7), "1F");

    Click(kDrv2);
    Click(kDrv3);
    Click(kUpdateA7);
    EXPECT_EQ(Writes(), "A7=3F A7=1F A7=2F");
    EXPECT_TRUE(chip.reads.empty());
    EXPECT_EQ(Panel().StatusText(), kReady);
}

TEST_F(ConfigUpdate, A7ListsLandInTheirBitsAndTheReadbackLeavesTheDriverBoxes)
{
    StartOnConfiguredChip({{0xA7, 0x00}});
    ChooseEntry(kPfmThreshold, 1);  // 27 uA
    ChooseEntry(kCurrentLimit, 2);  // 1.5 A / 2.6 A
    Click(kDrv2);
    EXPECT_EQ(Writes(), "");
    Click(kUpdateA7);
    EXPECT_EQ(Writes(), "A7=26");
    EXPECT_EQ(Text(kBoxA7), "26");

    // Bits 5-4 are not decoded: the driver boxes show what the user ticked.
    chip.regs[0xA7] = 0x1E;
    Click(kReadbackAll);
    EXPECT_EQ(Text(kBoxA7), "1E");
    EXPECT_EQ(ListText(kPfmThreshold), "49 uA");
    EXPECT_EQ(ListText(kCurrentLimit), "1.5 A / 2.6 A");
    EXPECT_FALSE(Ticked(kDrv2));
    EXPECT_TRUE(Ticked(kDrv3));
    EXPECT_EQ(Writes(), "A7=26");
}

TEST_F(ConfigUpdate, A7WithTextTypedIntoAListWritesNothing)
{
    StartPanel();
    Click(kDrv3);
    ClearText(kCurrentLimit);
    Type(kCurrentLimit, "2 A");
    Click(kUpdateA7);
    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(Text(kBoxA7), "FF");
    EXPECT_FALSE(Ticked(kDrv3)) << "the user's untick stays";
    EXPECT_EQ(ListText(kCurrentLimit), "2 A");

    // A readback selects an entry again, and Update writes.
    Click(kReadbackAll);
    EXPECT_EQ(ListText(kCurrentLimit), "1.8 A / NA");
    EXPECT_EQ(List(kCurrentLimit)->currentIndex(), 3);
    Click(kUpdateA7);
    EXPECT_EQ(Writes(), "A7=1F");
}
