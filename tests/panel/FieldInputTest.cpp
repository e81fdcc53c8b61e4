// The Registers window takes what is typed whole or refuses it, writing
// nothing; a field it does not write says so. The window is built only when
// it is first opened.
#include "PanelHarness.h"

#include "RegistersWindow.h"
#include "SessionMenu.h"

#include <QLabel>
#include <QTest>
#include <QTreeView>

namespace {

using W = CRegistersWindow;

class FieldInput : public PanelTest {
protected:
    CRegistersWindow* Open()
    {
        Panel().OnSysCommand(CSessionMenu::kIdmRegisters);
        auto* window = Panel().findChild<CRegistersWindow*>();
        return window && QTest::qWaitForWindowExposed(window) ? window : nullptr;
    }
    QTreeView* Tree() { return Panel().findChild<QTreeView*>(QString::number(W::kTree)); }
    QString Message() { return Panel().findChild<QLabel*>(QString::number(W::kMessage))->text(); }
    // The field's row made current, then start pressed on it; keys typed
    // into the editor it opens, with Enter after them.
    void Enter(const QString& field, Qt::Key start, const QString& typed = {})
    {
        const QModelIndexList rows = Tree()->model()->match(
            Tree()->model()->index(0, 0), Qt::DisplayRole, field, 1,
            Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(rows.size(), 1) << field.toStdString();
        Tree()->setCurrentIndex(rows.front());
        QTest::keyClick(Tree(), start);
        QWidget* editor = Tree()->indexWidget(rows.front().siblingAtColumn(2));
        if (typed.isEmpty()) return;
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, typed);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();  // the view takes the value after the key
    }
};

TEST_F(FieldInput, ATypedValueIsTakenWholeOrRefusedWithNothingWritten)
{
    StartOnConfiguredChip({{0xA1, 0x80}, {0xA3, 0x00}});
    EXPECT_TRUE(Panel().findChildren<CRegistersWindow*>().isEmpty()) << "not built until opened";
    ASSERT_NE(Open(), nullptr);
    const struct {
        const char* field;
        const char* typed;
        const char* writes;
        QStringList told;  // each part of the window's message
    } cases[] = {
        {"LED Current", "5000", "", {"5000", "LED Current", "0-4095", "; nothing written"}},
        {"LED Current", "0x", "", {"LED Current", "; nothing written"}},
        {"PWM Slope", "7 ms", "", {"7 ms", "PWM Slope", "; nothing written"}},
        {"LED Current", "4095", "A0=FF A1=8F", {"LED Current set to 4095"}},
        {"PWM Slope", "50 ms", "A3=30", {"PWM Slope set to 50 ms"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " = " + c.typed);
        chip.ClearRecords();
        Enter(c.field, Qt::Key_F2, c.typed);
        EXPECT_EQ(Writes(), c.writes);
        for (const QString& part : c.told) EXPECT_TRUE(Message().contains(part)) << Message().toStdString();
        EXPECT_EQ(Panel().StatusText(), Message());
        if (*c.writes == '\0') {
            EXPECT_TRUE(chip.reads.empty()) << "refused before the chip is asked";
        }
    }
}

TEST_F(FieldInput, F2OrEnterOnAFieldNotWrittenHereSaysSo)
{
    StartOnConfiguredChip();
    ASSERT_NE(Open(), nullptr);
    const struct {
        const char* field;
        Qt::Key key;
        const char* told;
    } cases[] = {
        {"Over Voltage", Qt::Key_F2, "Over Voltage is read only: the chip sets it"},
        {"VRef OK", Qt::Key_Return, "VRef OK is read only: the chip sets it"},
        {"Burn", Qt::Key_F2, "Burn is not written here: the panel's burn steps write it"},
    };
    for (const auto& c : cases) {
        Enter(c.field, c.key);
        EXPECT_EQ(Message(), c.told);
        EXPECT_EQ(Panel().StatusText(), c.told);
    }
    EXPECT_EQ(chip.reads.size() + chip.writes.size(), 0u);
}

}  // namespace
