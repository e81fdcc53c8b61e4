// The routing table: which user event on which control runs which action.
#include "Controls.h"
#include "EvalDlg.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QRadioButton>

#include <functional>
#include <memory>
#include <utility>

namespace {

enum class Event { Click, SelChange, SliderRelease, TextUpdate };

struct Route {
    int id;
    Event event;
    void (CEvalDlg::*action)();
};

using D = CEvalDlg;
const Route kRoutingTable[] = {
    {2, Event::Click, &D::OnCancel},
    {1020, Event::Click, &D::OnReadbackAll},
    {1018, Event::Click, &D::OnManualWrite},
    {1019, Event::Click, &D::OnManualRead},
    {1047, Event::SliderRelease, &D::OnBrightnessReleased},
    {1046, Event::SelChange, &D::OnModeChanged},
    {1044, Event::Click, &D::OnEnableBacklight},
    {1078, Event::Click, &D::OnFastResume},
    {1039, Event::Click, &D::OnLed1},
    {1027, Event::Click, &D::OnLed2},
    {1028, Event::Click, &D::OnLed3},
    {1029, Event::Click, &D::OnLed4},
    {1030, Event::Click, &D::OnLed5},
    {1031, Event::Click, &D::OnLed6},
    {1036, Event::Click, &D::OnAllOn},
    {1037, Event::Click, &D::OnAllOff},
    {1054, Event::SliderRelease, &D::OnCurrentReleased},
    {1102, Event::TextUpdate, &D::OnTargetUpdate},
    {1077, Event::Click, &D::OnSetTarget},
    {1070, Event::SelChange, &D::OnCurrentScaleChanged},
    {1103, Event::Click, &D::OnPdetStandby},
    {1066, Event::Click, &D::OnUpdateA2},
    {1126, Event::Click, &D::OnUpdateA3},
    {1052, Event::Click, &D::OnUpdateA7},
    {1123, Event::SelChange, &D::OnDimThresholdChanged},
    {1120, Event::Click, &D::OnPwmDirect},
    {1121, Event::SelChange, &D::OnPhaseShiftChanged},
    {1122, Event::SelChange, &D::OnPwmFreqChanged},
    {1113, Event::SliderRelease, &D::OnVboostReleased},
    {1119, Event::SelChange, &D::OnBoostFreqChanged},
    {1114, Event::SelChange, &D::OnVboostMaxChanged},
    {1115, Event::Click, &D::OnAdaptive},
    {1131, Event::Click, &D::OnSsEn},
    {1132, Event::Click, &D::OnVboostRangeLow},
    {1133, Event::Click, &D::OnVboostRangeHigh},
    {1140, Event::Click, &D::OnIboostRangeLow},
    {1141, Event::Click, &D::OnIboostRangeHigh},
    {1135, Event::Click, &D::OnLoad},
    {1136, Event::Click, &D::OnPrepareWrite},
    {1137, Event::Click, &D::OnCompleteWrite},
};

// A check box or radio button runs its action once for every change of its
// tick, whichever way the user makes it: mouse, Space key, or an assistive
// tool's toggle action (which changes the tick without a click). A click
// that leaves a radio button ticked runs it too, as any click does. A click
// reports its change of tick first, so the click itself then runs nothing.
void ConnectTick(CEvalDlg* dlg, QAbstractButton* button, const std::function<void()>& run)
{
    const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
    auto ranForThisClick = std::make_shared<bool>(false);
    QObject::connect(button, &QAbstractButton::pressed, dlg, [ranForThisClick] {
        *ranForThisClick = false;
    });
    QObject::connect(button, &QAbstractButton::toggled, dlg, [=](bool ticked) {
        if (radio && !ticked) return;  // its partner reports the change
        *ranForThisClick = true;
        run();
    });
    QObject::connect(button, &QAbstractButton::clicked, dlg, [=] {
        if (!std::exchange(*ranForThisClick, false)) run();
    });
}

}  // namespace

void CEvalDlg::ConnectRoutes()
{
    for (const Route& route : kRoutingTable) {
        QWidget* control = m_controls.value(route.id);
        Q_ASSERT(control);
        // Notifications raised while pull or push runs are not the user's.
        auto run = [this, action = route.action] {
            if (m_exchangeDepth != 0) return;
            const BusAction busAction(*this);
            (this->*action)();
        };
        // clicked, activated, released and textEdited come from the user only;
        // a tick's toggled also comes from a push, which run ignores.
        switch (route.event) {
        case Event::Click:
            if (auto* button = static_cast<QAbstractButton*>(control); button->isCheckable())
                ConnectTick(this, button, run);
            else
                connect(button, &QAbstractButton::clicked, this, run);
            break;
        case Event::SelChange:
            connect(static_cast<CDropDownList*>(control), &QComboBox::activated, this, run);
            break;
        case Event::SliderRelease:
            connect(static_cast<CTrackSlider*>(control), &CTrackSlider::released, this, run);
            break;
        case Event::TextUpdate:
            connect(static_cast<QLineEdit*>(control), &QLineEdit::textEdited, this, run);
            break;
        }
    }
}
