// The panel on the register map: control tables against the template,
// tooltips built from the map, and the change marks of the readback grid.
#include "PanelHarness.h"

#include "BoxMarks.h"
#include "ControlIds.h"
#include "ControlUses.h"
#include "DialogTemplate.h"
#include "RegisterMap.h"
#include "ReadbackGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QLineEdit>
#include <QRegularExpression>

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

// A register written by hand: the readback marks its box, and only it, and
// its tooltip decodes the new value when shown. Controls that write name the
// register and bits.
TEST_F(PanelTest, ReadbackMarksTheChangedBoxAndToolTipsExplainBoxesAndControls)
{
    StartOnConfiguredChip({{0xA5, 0x14}});
    QWidget* box = Control(idc::kRegA5);
    const QColor plain = BoxBackground(box);
    WriteByHand("A5", "E9");
    ReadbackAll();
    EXPECT_EQ(Text(idc::kRegA5), "E9") << "the text itself is the register's";
    EXPECT_EQ(box->toolTip(), "") << "built when shown, not at the readback";
    for (const GridBox& g : GridBoxes()) {
        EXPECT_EQ(Panel().MarkedChanged(g.id), g.id == idc::kRegA5) << g.id;
        EXPECT_EQ(BoxBackground(Control(g.id)) != plain, g.id == idc::kRegA5) << g.id;
    }
    const QString tip = HoverToolTip(box);
    for (const char* part : {"A5", "E9", "2 PH 6 DR", "16828 Hz", "it showed 14 before"})
        EXPECT_TRUE(tip.contains(QString::fromUtf8(part))) << part << " in " << tip.toStdString();
    EXPECT_TRUE(HoverToolTip(Control(idc::kRegA8)).contains("No known field"));
    EXPECT_TRUE(HoverToolTip(Control(idc::kReg02)).contains("Status (read only)"));
    EXPECT_EQ(HoverToolTip(Control(idc::kPwmDirect)), "Register A5, bit 7: PWM Direct");
    // The mouse rests on a list's edit field; the list answers for it.
    HoverToolTip(static_cast<QComboBox*>(Control(idc::kBoostFreq))->lineEdit());
    EXPECT_EQ(Control(idc::kBoostFreq)->toolTip(), "Register A6, bits 7-6: Frequency");
    EXPECT_TRUE(HoverToolTip(Control(idc::kLoad)).contains("Registers 98, 9E, A0"));
    EXPECT_EQ(HoverToolTip(Control(idc::kReadbackAll)), "") << "writes nothing";

    ReadbackAll();
    EXPECT_FALSE(HoverToolTip(box).contains("before")) << "no longer changed";
    for (const GridBox& g : GridBoxes()) {
        EXPECT_FALSE(Panel().MarkedChanged(g.id)) << g.id;
        EXPECT_EQ(BoxBackground(Control(g.id)), plain) << g.id;
    }
}

// A box can carry the readback's changed mark and a mark of the bench
// additions (a comparison with a file) in turn; once neither holds, the box
// has its own colour again, whichever went first.
TEST_F(PanelTest, ABoxGetsItsOwnColourBackOnceItsMarksAreGone)
{
    StartOnConfiguredChip({{0xA5, 0x14}});
    QWidget* box = Control(idc::kRegA5);
    const QColor plain = BoxBackground(box);
    MarkBox(box, kDiffersMark, kDiffersColour, {});
    WriteByHand("A5", "E9");
    ReadbackAll();
    EXPECT_EQ(BoxBackground(box), kChangedColour) << "the newer mark shows";
    UnmarkBox(box, kDiffersMark);
    ReadbackAll();
    EXPECT_FALSE(Panel().MarkedChanged(idc::kRegA5));
    EXPECT_EQ(BoxBackground(box), plain);

    WriteByHand("A5", "14");
    ReadbackAll();
    MarkBox(box, kDiffersMark, kDiffersColour, {});
    EXPECT_EQ(BoxBackground(box), kDiffersColour);
    UnmarkBox(box, kDiffersMark);  // as the next readback starts
    WriteByHand("A5", "E9");
    ReadbackAll();
    EXPECT_EQ(BoxBackground(box), kChangedColour) << "changed again";
    ReadbackAll();
    EXPECT_EQ(BoxBackground(box), plain);
}

TEST_F(PanelTest, WithoutAdapterTheBoxesSayTheChipDidNotAnswer)
{
    StartPanelWithoutAdapter();
    for (const GridBox& g : GridBoxes())
        EXPECT_TRUE(HoverToolTip(Control(g.id)).contains("The chip did not answer")) << g.id;
}

// Decode and compose take their bits from the same map: after a readback, each
// group's Update, or choosing the entry the readback selected, writes the byte
// back unchanged, for every value of the bits the group's controls cover.
TEST_F(PanelTest, UpdatesAndChosenEntriesWriteBackExactlyWhatTheReadbackDecoded)
{
    StartOnConfiguredChip();
    const auto Hex = [](unsigned byte) { return QString::asprintf("%.2X", byte).toStdString(); };
    for (unsigned v = 0; v <= 0xFF; ++v) {
        chip.regs[0xA2] = uint8_t(v & 0x3F);
        chip.regs[0xA3] = uint8_t(v & 0x7F);
        chip.regs[0xA7] = uint8_t((v & 0x0F) | 0x30);  // DRV2 and DRV3 Enable stay ticked
        chip.regs[0xA5] = uint8_t(v);
        chip.regs[0xA6] = uint8_t(v & 0xBF);  // boost frequency 3 has no entry
        ReadbackAll();
        chip.ClearRecords();
        for (int update : {idc::kUpdateA2, idc::kUpdateA3, idc::kUpdateA7}) Click(update);
        for (int list : {idc::kPhaseShift, idc::kPwmFreq, idc::kBoostFreq})
            ChooseEntry(list, SelectedEntry(list));
        const std::string a5 = " A5=" + Hex(v);
        ASSERT_EQ(Writes(), "A2=" + Hex(v & 0x3F) + " A3=" + Hex(v & 0x7F) + " A7="
                                + Hex((v & 0x0F) | 0x30) + a5 + a5 + " A6=" + Hex(v & 0xBF))
            << "value " << v;
    }
}

// Every box decodes what it shows, the 72h box too; every flag and list names
// its register and bits, after what the chip's state adds first; no line
// names a field's bits twice.
TEST_F(PanelTest, ToolTipsNameRegisterAndBitsOfEveryFlagAndListWithoutRepeatingThem)
{
    StartOnConfiguredChip({{0xA0, 0x5A}, {0x02, 0x08}});
    EXPECT_EQ(HoverToolTip(Control(idc::kReg72)),
              "Register 72: EEPROM burn (a write burns the EEPROM)\nShows 80\n"
              "Burn (bit 7) = 1 (1 = written by the burn helper)\n"
              "Programmed (bits 3-0) = 0 (all 0 on a blank chip)");
    EXPECT_EQ(HoverToolTip(Control(idc::kOverVoltage)),
              "Over Voltage: fault\n"
              "Register 02, bit 3: Over Voltage\nRead only: the chip's flag as last read.");
    EXPECT_EQ(HoverToolTip(Control(idc::kPfmThreshold)),
              "Register A7, bits 3-2: PFM Threshold\nWritten by the group's Update button.");
    EXPECT_TRUE(HoverToolTip(Control(idc::kConfig)).contains("Registers 98, 9E, A0"));

    const QRegularExpression bits(QStringLiteral("bits? \\d+(-\\d+)?"));
    for (const ControlTemplate& c : kPanelTemplate.controls) {
        if (c.id == kNoControlId) continue;
        const QString tip = HoverToolTip(Control(c.id));
        const QString lead = LeadLine(Control(c.id));
        const QString own = lead.isEmpty() ? tip : tip.mid(lead.size() + 1);
        if (c.kind == ControlKind::ComboBox || c.kind == ControlKind::CheckBox) {
            EXPECT_TRUE(own.startsWith("Register ") && bits.match(own).hasMatch())
                << c.id << ": " << tip.toStdString();
        }
        for (const QString& line : tip.split('\n')) {
            QStringList named;
            for (const QRegularExpressionMatch& m : bits.globalMatch(line)) named << m.captured();
            EXPECT_EQ(named.removeDuplicates(), 0) << c.id << ": " << line.toStdString();
        }
    }
}
