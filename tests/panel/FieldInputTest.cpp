// The Registers window takes what is typed whole or refuses it, writing
// nothing, and says when a field is not written here. It is built only when
// first opened.
#include "PanelHarness.h"

#include "RegistersWindow.h"
#include "SessionMenu.h"

#include <QLabel>
#include <QTest>
#include <QTreeView>

TEST_F(PanelTest, TheRegistersWindowTakesInputWholeOrRefusesItWritingNothing)
{
    StartOnConfiguredChip({{0xA1, 0x80}});
    EXPECT_TRUE(Panel().findChildren<CRegistersWindow*>().isEmpty()) << "not built until opened";
    Panel().OnSysCommand(CSessionMenu::kIdmRegisters);
    auto* tree = Panel().findChild<QTreeView*>(QString::number(CRegistersWindow::kTree));
    ASSERT_TRUE(tree && QTest::qWaitForWindowExposed(tree->window()));
    const struct {
        const char* field;
        Qt::Key key;
        const char* typed;  // with Enter after it; nothing: the key alone
        const char* writes;
        const char* told;
    } cases[] = {
        {"LED Current", Qt::Key_F2, "5000", "", "5000 is out of range for LED Current (0-4095); nothing written"},
        {"PWM Slope", Qt::Key_F2, "7 ms", "", "'7 ms' is not a value of PWM Slope"},
        {"LED Current", Qt::Key_F2, "4095", "A0=FF A1=8F", "LED Current set to 4095"},
        {"Over Voltage", Qt::Key_F2, nullptr, "", "Over Voltage is read only: the chip sets it"},
        {"Burn", Qt::Key_Return, nullptr, "", "Burn is not written here: the panel's burn steps write it"},
    };
    for (const auto& c : cases) {
        chip.ClearRecords();
        const QModelIndexList rows = tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole, c.field, 1,
                                                          Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(rows.size(), 1) << c.field;
        tree->setCurrentIndex(rows.front());
        QTest::keyClick(tree, c.key);
        if (c.typed) {
            QWidget* editor = tree->indexWidget(rows.front().siblingAtColumn(2));
            ASSERT_NE(editor, nullptr) << c.field;
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(editor, c.typed);
            QTest::keyClick(editor, Qt::Key_Return);
            QCoreApplication::processEvents();
        }
        EXPECT_EQ(Writes(), c.writes) << c.field;
        EXPECT_TRUE(Panel().StatusText().startsWith(c.told)) << Panel().StatusText().toStdString();
    }
}
