// The Registers window, worked by keys as a bench engineer would: a field
// changed by name and meaning goes to the chip as one read-modify-write,
// seen in the trace, the window and the panel's readback grid.
#include "ControlIds.h"
#include "PanelHarness.h"

#include "RegisterMap.h"
#include "RegistersWindow.h"
#include "Trace.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <cstdlib>
#include <fstream>
#include <set>

namespace {

using W = CRegistersWindow;
constexpr int kBits = 1;  // the tree's columns after the name
constexpr int kValue = 2;

class RegistersWindow : public PanelTest {
protected:
    // Ctrl+G on the panel, as many times as asked; the window it opened.
    CRegistersWindow* Open(int times = 1)
    {
        for (int i = 0; i < times; ++i) {
            Panel().activateWindow();  // the key is the panel's
            QCoreApplication::processEvents();
            QTest::keyClick(&Panel(), Qt::Key_G, Qt::ControlModifier);
        }
        const QList<CRegistersWindow*> windows = Panel().findChildren<CRegistersWindow*>();
        EXPECT_EQ(windows.size(), 1);
        if (windows.isEmpty() || !QTest::qWaitForWindowExposed(windows.front())) return nullptr;
        return windows.front();
    }
    template <class T = QWidget>
    T* Find(int id)
    {
        return Panel().findChild<T*>(QString::number(id));
    }
    QTreeView* Tree() { return Find<QTreeView>(W::kTree); }
    QString Current(int column = 0)
    {
        return Tree()->currentIndex().siblingAtColumn(column).data().toString();
    }

    // Down the tree by arrow keys to the row named name.
    void GoTo(const QString& name)
    {
        Tree()->setCurrentIndex(Tree()->model()->index(0, 0));
        for (int step = 0; step < 200 && Current() != name; ++step)
            QTest::keyClick(Tree(), Qt::Key_Down);
        ASSERT_EQ(Current(), name);
    }
    // start opens the row's editor (F2 or Enter); keys then go to it.
    QWidget* StartEditing(Qt::Key start)
    {
        QTest::keyClick(Tree(), start);
        return Tree()->indexWidget(Tree()->currentIndex().siblingAtColumn(kValue));
    }
    // The field at the current row set to the entry steps away (Up < 0) and
    // Enter pressed.
    void ChooseBy(int steps)
    {
        QWidget* editor = StartEditing(Qt::Key_F2);
        ASSERT_NE(editor, nullptr);
        for (int i = 0; i < std::abs(steps); ++i)
            QTest::keyClick(editor, steps < 0 ? Qt::Key_Up : Qt::Key_Down);
        QTest::keyClick(editor, Qt::Key_Enter);
        QCoreApplication::processEvents();  // the view takes the value after the key
    }
    QString Message() { return Find<QLabel>(W::kMessage)->text(); }
};

TEST_F(RegistersWindow, AFieldChosenByKeysIsOneReadModifyWriteShownInTheWindowAndTheGrid)
{
    StartOnConfiguredChip({{0xA5, 0xE9}});
    QTemporaryDir dir;
    std::string error;
    const std::string trace = dir.filePath("trace.txt").toStdString();
    ASSERT_TRUE(TraceOpen(trace, error)) << error;
    CRegistersWindow* window = Open(2);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible() && !window->isModal());

    GoTo("PWM Frequency");
    EXPECT_EQ(Current(kBits), "A5 bits 3-0");
    EXPECT_EQ(Current(kValue), "16828 Hz") << "the grid's value, shown without a read";
    for (const Qt::Key start : {Qt::Key_F2, Qt::Key_Enter}) {
        QWidget* editor = StartEditing(start);
        ASSERT_TRUE(qobject_cast<QComboBox*>(editor)) << "a list of the field's meanings";
        QTest::keyClick(editor, Qt::Key_Up);
        QTest::keyClick(editor, Qt::Key_Escape);
    }
    EXPECT_EQ(Writes(), "") << "Escape leaves the chip as it is";
    EXPECT_EQ(Current(kValue), "16828 Hz");

    ChooseBy(-5);
    TraceClose();
    std::ifstream in(trace);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              "R A5 E9 ok\nW A5 E4 ok\nR A5 E4 ok\n");
    EXPECT_EQ(Current(kValue), "9616 Hz");
    EXPECT_EQ(Tree()->currentIndex().parent().siblingAtColumn(kValue).data().toString(), "E4");
    EXPECT_EQ(Text(idc::kRegA5), "E4");
    EXPECT_TRUE(Panel().MarkedChanged(idc::kRegA5));
    EXPECT_FALSE(Panel().MarkedChanged(idc::kRegA4));
    EXPECT_EQ(ListText(idc::kPwmFreq), "9616 Hz") << "the panel's own list follows";
    EXPECT_EQ(Message(), "PWM Frequency set to 9616 Hz");
    EXPECT_EQ(Panel().StatusText(), Message());

    // Escape closes the window; Ctrl+G brings it back as it was.
    QTest::keyClick(Tree(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(Open(), window);
    EXPECT_EQ(Current(kValue), "9616 Hz");

    // Every cell is named for a screen reader; the edited one says it changed.
    QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(Tree());
    ASSERT_TRUE(tree && tree->tableInterface());
    QAccessibleTableInterface* cells = tree->tableInterface();
    EXPECT_GT(cells->rowCount(), int(chip::AllRegisters().size()));
    QAccessibleInterface* edited = nullptr;
    for (int row = 0; row < cells->rowCount(); ++row) {
        for (int column = 0; column < 4; ++column)
            EXPECT_FALSE(cells->cellAt(row, column)->text(QAccessible::Name).isEmpty()) << row;
        if (cells->cellAt(row, 0)->text(QAccessible::Name) == "PWM Frequency")
            edited = cells->cellAt(row, kValue);
    }
    ASSERT_NE(edited, nullptr);
    EXPECT_EQ(edited->text(QAccessible::Name), "PWM Frequency, Value: 9616 Hz");
    EXPECT_TRUE(edited->text(QAccessible::Description).contains("changed"));
}

// Each way a field's read-modify-write can go wrong, before, during and
// after the write: told in the window and on the status line, the boxes
// showing what the chip holds, and nothing written after a failed write.
TEST_F(RegistersWindow, AFailureIsToldInTheWindowAndOnTheStatusLine)
{
    struct Case {
        const char* field;
        const char* typed;  // a number, or empty: the meaning five up the list
        std::set<uint8_t> ScriptedAdapter::*failing;
        uint8_t reg;
        const char* writes;
        std::vector<uint8_t> reads;
        const char* told;
        std::vector<std::pair<int, const char*>> boxes;
    };
    using A = ScriptedAdapter;
    const Case cases[] = {
        {"PWM Frequency", "", &A::failReads, 0xA5, "", {0xA5}, "Read of A5 failed: nothing written",
         {{idc::kRegA5, "--"}}},
        {"PWM Frequency", "", &A::failWrites, 0xA5, "A5=E4", {0xA5, 0xA5}, "Write to A5 failed",
         {{idc::kRegA5, "E9"}}},
        {"PWM Frequency", "", &A::keepValues, 0xA5, "A5=E4", {0xA5, 0xA5},
         "Write to A5 failed: reads back E9, not E4", {{idc::kRegA5, "E9"}}},
        {"PWM Frequency", "", &A::deafAfterWrite, 0xA5, "A5=E4", {0xA5, 0xA5},
         "Read of A5 failed after writing E4", {{idc::kRegA5, "--"}}},
        // A0 first: A1 is left as it was, and only A0 is read back.
        {"LED Current", "291", &A::failWrites, 0xA0, "A0=23", {0xA0, 0xA1, 0xA0},
         "Write to A0 failed", {{idc::kRegA0, "55"}, {idc::kRegA1, "F7"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.told);
        for (std::set<uint8_t> ScriptedAdapter::*failing :
             {&A::failReads, &A::failWrites, &A::keepValues, &A::deafAfterWrite})
            (chip.*failing).clear();
        StartOnConfiguredChip({{0xA5, 0xE9}, {0xA0, 0x55}, {0xA1, 0xF7}});
        ASSERT_NE(Open(), nullptr);
        GoTo(c.field);
        (chip.*c.failing).insert(c.reg);
        if (*c.typed) {
            QWidget* number = StartEditing(Qt::Key_F2);
            ASSERT_NE(number, nullptr);
            QTest::keyClick(number, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(number, c.typed);
            QTest::keyClick(number, Qt::Key_Return);
            QCoreApplication::processEvents();
        } else {
            ChooseBy(-5);
        }
        EXPECT_EQ(Writes(), c.writes);
        EXPECT_EQ(chip.reads, c.reads);
        EXPECT_EQ(Message(), c.told);
        EXPECT_EQ(Panel().StatusText(), c.told);
        for (const auto& [box, shown] : c.boxes) EXPECT_EQ(Text(box), shown) << box;
        EXPECT_EQ(Tree()->currentIndex().parent().siblingAtColumn(kValue).data().toString(),
                  c.boxes.front().second);
        TearDown();
    }
}

TEST_F(RegistersWindow, ReadOnlyRegistersAndTheBurnRegisterAreShownNotEditable)
{
    StartPanel();
    ASSERT_NE(Open(), nullptr);
    for (const char* name : {"Open", "UVLO", "Burn", "Programmed"}) {
        GoTo(name);
        EXPECT_EQ(StartEditing(Qt::Key_F2), nullptr) << name;
        EXPECT_EQ(StartEditing(Qt::Key_Enter), nullptr) << name;
        EXPECT_NE(Current(kValue), "") << "shown";
    }
    EXPECT_EQ(chip.reads.size() + chip.writes.size(), 0u);

    // A field across two registers is one number, written A0 then A1.
    GoTo("LED Current");
    EXPECT_EQ(Current(kBits), "A1 bits 3-0, A0 bits 7-0");
    const uint8_t a1 = chip.regs[0xA1];
    QWidget* number = StartEditing(Qt::Key_F2);
    ASSERT_NE(number, nullptr);
    QTest::keyClick(number, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(number, "291");
    QTest::keyClick(number, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(Writes(), "A0=23 A1=" + QString::number((a1 & 0xF0) | 1, 16).toUpper().toStdString());
    EXPECT_EQ(chip.reads, (std::vector<uint8_t>{0xA0, 0xA1, 0xA0, 0xA1}));
    EXPECT_EQ(Current(kValue), "291");
}

TEST_F(RegistersWindow, ReadAllReadsTheWholeMapAndTheFilterFindsByName)
{
    StartPanel();
    ASSERT_NE(Open(), nullptr);
    chip.regs[0x16] = 0x15;
    chip.failReads = {0x04, 0xAC};
    Find<QPushButton>(W::kReadAll)->click();
    std::vector<uint8_t> map;
    for (const chip::RegisterInfo& info : chip::AllRegisters()) map.push_back(info.address);
    EXPECT_EQ(chip.reads, map);
    EXPECT_EQ(Writes(), "");
    EXPECT_EQ(Message(), "2 of 27 registers did not answer (first: 04)");
    EXPECT_EQ(Text(idc::kReg04), "--");
    GoTo("LED 5");
    EXPECT_EQ(Current(kValue), "1") << "16 = 15 read, though the grid has no box for it";

    // The panel's own readback shows in the window too.
    chip.regs[0xA4] = 0x5F;
    Click(idc::kReadbackAll);
    QCoreApplication::processEvents();
    GoTo("Dimming threshold");
    EXPECT_EQ(Current(kValue), "5F");

    const struct {
        const char* typed;
        QStringList rows;
    } filters[] = {
        {"pwm_FREQ", {"PWM dimming", "PWM Frequency"}},
        {"0xa5", {"PWM dimming", "PWM Direct", "Phase Shift Mode", "PWM Frequency"}},
        {"vboost max", {"Vboost maximum", "Vboost Maximum"}},
    };
    auto* filter = Find<QLineEdit>(W::kFilter);
    for (const auto& f : filters) {
        filter->clear();
        QTest::keyClicks(filter, f.typed);
        QStringList shown;
        for (QModelIndex row = Tree()->model()->index(0, 0); row.isValid();
             row = Tree()->indexBelow(row))
            shown << row.data().toString();
        EXPECT_EQ(shown, f.rows) << f.typed;
    }
}

}  // namespace
