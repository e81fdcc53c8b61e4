// The panel on the register map: control tables against the template,
// tooltips built from the map, and the change marks of the readback grid.
#include "PanelHarness.h"

#include "ControlIds.h"
#include "ControlUses.h"
#include "DialogTemplate.h"
#include "RegisterMap.h"
#include "ReadbackGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QLineEdit>

#include <algorithm>

namespace {

// What the user sees when resting the mouse on the control.
QString HoverToolTip(QWidget* control)
{
    QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), control->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(control, &hover);
    return control->toolTip();
}

QColor BoxBackground(QWidget* box) { return box->palette().color(QPalette::Base); }

}  // namespace

TEST(PanelTables, EveryTableRowNamesATemplateControlOfTheKindItExpects)
{
    const std::vector<ControlUse> uses = PanelControlUses();
    EXPECT_GT(uses.size(), 150u);
    for (const ControlUse& use : uses) {
        const auto it = std::ranges::find(kPanelTemplate.controls, use.id, &ControlTemplate::id);
        ASSERT_NE(it, kPanelTemplate.controls.end()) << use.table << " names " << use.id;
        EXPECT_NE(std::ranges::find(use.kinds, it->kind), use.kinds.end())
            << use.table << " row " << use.id << " is of another kind";
    }
    const std::span<const uint8_t> order = chip::ReadbackRegisters();
    ASSERT_EQ(GridBoxes().size(), order.size());
    for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(GridBoxes()[i].reg, order[i]) << i;
}

TEST_F(PanelTest, ReadbackBoxToolTipDecodesTheRegisterWhenShown)
{
    StartOnConfiguredChip({{0xA5, 0xE9}});
    QWidget* box = Control(idc::kRegA5);
    EXPECT_EQ(box->toolTip(), "") << "built when shown, not at the readback";

    const QString tip = HoverToolTip(box);
    for (const char* part : {"A5", "E9", "PWM Direct (bit 7) = 1", "2 PH 6 DR", "16828 Hz"})
        EXPECT_TRUE(tip.contains(QString::fromUtf8(part))) << part << " in " << tip.toStdString();

    chip.regs[0xA5] = 0x14;
    ReadbackAll();
    const QString after = HoverToolTip(box);
    EXPECT_TRUE(after.contains("5 PH 5 DR")) << after.toStdString();
    EXPECT_TRUE(after.contains("it showed E9 before")) << after.toStdString();
    EXPECT_TRUE(HoverToolTip(Control(idc::kRegA8)).contains("No known field"));
    EXPECT_TRUE(HoverToolTip(Control(idc::kReg02)).contains("Status (read only)"));
}

TEST_F(PanelTest, WithoutAdapterTheBoxesSayTheRegisterWasNotRead)
{
    StartPanelWithoutAdapter();
    for (const GridBox& g : GridBoxes()) {
        const QString tip = HoverToolTip(Control(g.id));
        EXPECT_TRUE(tip.contains("was not read")) << tip.toStdString();
        EXPECT_FALSE(Panel().MarkedChanged(g.id));
    }
}

TEST_F(PanelTest, ControlsThatWriteNameTheRegisterAndBits)
{
    StartOnConfiguredChip();
    EXPECT_EQ(HoverToolTip(Control(idc::kPwmDirect)), "Register A5, bit 7: PWM Direct");
    // The mouse rests on a list's edit field; the list answers for it.
    HoverToolTip(static_cast<QComboBox*>(Control(idc::kBoostFreq))->lineEdit());
    EXPECT_EQ(Control(idc::kBoostFreq)->toolTip(), "Register A6, bits 7-6: Frequency");
    EXPECT_TRUE(HoverToolTip(Control(idc::kCurrent)).contains("Register A1, bits 3-0"));
    EXPECT_TRUE(HoverToolTip(Control(idc::kLoad)).contains("Registers 98, 9E, A0"));
    // Every control routed to an action that writes has a tooltip.
    for (int id : {idc::kBrightness, idc::kMode, idc::kLed1, idc::kAllOff, idc::kTarget,
                   idc::kUpdateA2, idc::kUpdateA3, idc::kUpdateA7, idc::kDimThreshold,
                   idc::kVboost, idc::kVboostMax, idc::kSsEn, idc::kIboostHigh, idc::kVboostLow,
                   idc::kPrepareWrite, idc::kManualWrite})
        EXPECT_TRUE(HoverToolTip(Control(id)).startsWith("Register")) << id;
    EXPECT_EQ(HoverToolTip(Control(idc::kReadbackAll)), "") << "writes nothing";
}

TEST_F(PanelTest, ReadbackMarksExactlyTheBoxesThatChanged)
{
    StartOnConfiguredChip({{0xA5, 0x14}});
    const QColor plain = BoxBackground(Control(idc::kRegA5));
    for (const GridBox& g : GridBoxes()) EXPECT_FALSE(Panel().MarkedChanged(g.id)) << g.id;

    WriteByHand("A5", "E9");
    ReadbackAll();
    EXPECT_EQ(Text(idc::kRegA5), "E9") << "the text itself is the register's";
    for (const GridBox& g : GridBoxes()) {
        const bool isA5 = g.id == idc::kRegA5;
        EXPECT_EQ(Panel().MarkedChanged(g.id), isA5) << g.id;
        EXPECT_EQ(BoxBackground(Control(g.id)) != plain, isA5) << g.id;
    }

    ReadbackAll();
    for (const GridBox& g : GridBoxes()) {
        EXPECT_FALSE(Panel().MarkedChanged(g.id)) << g.id;
        EXPECT_EQ(BoxBackground(Control(g.id)), plain) << g.id;
    }
}

namespace {

// The bits of a register that some field of the map covers.
uint8_t CoveredBits(uint8_t reg)
{
    uint8_t covered = 0;
    for (const chip::FieldInfo& field : chip::FindRegister(reg)->fields)
        covered |= chip::FieldMask(field);
    return covered;
}

std::string Hex(uint8_t value) { return QString::asprintf("%.2X", value).toStdString(); }

}  // namespace

// Decode and compose take their bits from the same map: a readback followed by
// the group's Update writes the byte back unchanged, for every value of the
// fields the group's controls cover.
TEST_F(PanelTest, UpdateWritesBackExactlyWhatTheReadbackDecoded)
{
    StartOnConfiguredChip();
    const uint8_t a2 = CoveredBits(0xA2);
    const uint8_t a3 = CoveredBits(0xA3);
    const uint8_t a7 = CoveredBits(0xA7);
    EXPECT_EQ(a2, 0x3F);
    EXPECT_EQ(a3, 0x7F);
    EXPECT_EQ(a7, 0x3F);
    for (unsigned v = 0; v <= 0xFF; ++v) {
        // DRV2 and DRV3 Enable are not decoded: they stay ticked.
        chip.regs[0xA2] = uint8_t(v & a2);
        chip.regs[0xA3] = uint8_t(v & a3);
        chip.regs[0xA7] = uint8_t((v & 0x0F) | 0x30);
        ReadbackAll();
        chip.ClearRecords();
        Click(idc::kUpdateA2);
        Click(idc::kUpdateA3);
        Click(idc::kUpdateA7);
        ASSERT_EQ(Writes(), "A2=" + Hex(uint8_t(v & a2)) + " A3=" + Hex(uint8_t(v & a3))
                                + " A7=" + Hex(uint8_t((v & 0x0F) | 0x30)))
            << "value " << v;
    }
}

// The same for a read-modify-write group: choosing the entry the readback
// selected writes the register back as it was.
TEST_F(PanelTest, ChoosingTheDecodedEntryWritesTheRegisterBackUnchanged)
{
    StartOnConfiguredChip();
    for (unsigned v = 0; v <= 0xFF; v += 7) {
        chip.regs[0xA5] = uint8_t(v);
        chip.regs[0xA6] = uint8_t(v & 0xBF);  // boost frequency 3 has no entry
        ReadbackAll();
        chip.ClearRecords();
        ChooseEntry(idc::kPhaseShift, SelectedEntry(idc::kPhaseShift));
        ChooseEntry(idc::kPwmFreq, SelectedEntry(idc::kPwmFreq));
        ChooseEntry(idc::kBoostFreq, SelectedEntry(idc::kBoostFreq));
        const std::string a5 = "A5=" + Hex(uint8_t(v));
        ASSERT_EQ(Writes(), a5 + " " + a5 + " A6=" + Hex(uint8_t(v & 0xBF))) << "value " << v;
    }
}
