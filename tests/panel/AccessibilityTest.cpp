// What assistive tools rely on: every way of ticking runs the action once,
// and frames hold their controls without moving them or the tab order.
#include "PanelHarness.h"

#include "ControlIds.h"
#include "DialogBuilder.h"
#include "DialogTemplate.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QGroupBox>
#include <QTest>

#include <functional>

namespace {

QAbstractButton* Button(QWidget* w) { return qobject_cast<QAbstractButton*>(w); }

void ToggleAsAssistiveTool(QWidget* w)
{
    QAccessible::queryAccessibleInterface(w)->actionInterface()->doAction(
        QAccessibleActionInterface::toggleAction());
}

}  // namespace

TEST_F(PanelTest, EveryWayOfTickingRunsTheActionOnceAndAPushNone)
{
    StartPanel();  // "16 - 43 V" ticked by the readback
    const std::function<void()> userActs[] = {
        [&] { Click(idc::kFastResume); },                                    // Fast Resume on
        [&] { QTest::keyClick(Control(idc::kFastResume), Qt::Key_Space); },  // off
        [&] { Button(Control(idc::kFastResume))->toggle(); },                // on
        [&] { ToggleAsAssistiveTool(Control(idc::kFastResume)); },           // off
        [&] { Click(idc::kVboostLow); },                                     // 7 - 34 V
        [&] { QTest::keyClick(Control(idc::kVboostHigh), Qt::Key_Space); },
        [&] { Button(Control(idc::kVboostLow))->toggle(); },
        [&] { Button(Control(idc::kVboostLow))->toggle(); },  // a ticked radio stays ticked
        [&] { ToggleAsAssistiveTool(Control(idc::kVboostHigh)); },
    };
    for (const auto& act : userActs) act();
    EXPECT_EQ(Writes(), "01=80 01=00 01=80 01=00 9E=00 9E=20 9E=00 9E=20");

    chip.ClearRecords();
    Panel().pull();
    Panel().m_bFastResume = 1;
    Panel().m_nVboostRange = 0;
    Panel().push();
    EXPECT_TRUE(Ticked(idc::kFastResume) && Ticked(idc::kVboostLow));
    EXPECT_EQ(Writes(), "");
}

TEST_F(PanelTest, FramesHoldTheirControlsWithoutMovingThemOrChangingTheTabOrder)
{
    StartPanel();
    const DialogUnits du = DialogUnits::ForFont(Panel().font());
    QStringList tabStops;
    int framed = 0;
    for (const ControlTemplate& c : kPanelTemplate.controls) {
        if (c.id == kNoControlId) continue;
        QWidget* w = Control(c.id);
        const QRect inWindow(w->mapTo(&Panel(), QPoint(0, 0)), w->size());
        EXPECT_EQ(inWindow.topLeft(), du.Map(c.x, c.y, c.cx, c.cy).topLeft()) << c.id;
        QWidget* frame = &Panel();
        for (QGroupBox* box : Panel().findChildren<QGroupBox*>())
            if (box->geometry().contains(inWindow)) frame = box;
        EXPECT_EQ(w->parentWidget(), frame) << c.id;
        framed += frame != &Panel();
        if (w->focusPolicy() != Qt::NoFocus) tabStops << w->objectName();
    }
    EXPECT_EQ(framed, 63);  // all but Exit, Readback All, the two lines above
                            // the first frame, the status lines and the grid

    QStringList tabOrder;
    for (QWidget* w = Control(idc::kExit); tabOrder.size() < tabStops.size();
         w = w->nextInFocusChain())
        if (tabStops.contains(w->objectName())) tabOrder << w->objectName();
    EXPECT_EQ(tabOrder, tabStops);
}
