// The routing table: which user event on which control runs which action.
#include "ControlIds.h"
#include "ControlUses.h"
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
    {idc::kExit, Event::Click, &D::OnCancel},
    {idc::kReadbackAll, Event::Click, &D::OnReadbackAll},
    {idc::kManualWrite, Event::Click, &D::OnManualWrite},
    {idc::kManualRead, Event::Click, &D::OnManualRead},
    {idc::kBrightness, Event::SliderRelease, &D::OnBrightnessReleased},
    {idc::kMode, Event::SelChange, &D::OnModeChanged},
    {idc::kEnableBacklight, Event::Click, &D::OnEnableBacklight},
    {idc::kFastResume, Event::Click, &D::OnFastResume},
    {idc::kLed1, Event::Click, &D::OnLed1},
    {idc::kLed2, Event::Click, &D::OnLed2},
    {idc::kLed3, Event::Click, &D::OnLed3},
    {idc::kLed4, Event::Click, &D::OnLed4},
    {idc::kLed5, Event::Click, &D::OnLed5},
    {idc::kLed6, Event::Click, &D::OnLed6},
    {idc::kAllOn, Event::Click, &D::OnAllOn},
    {idc::kAllOff, Event::Click, &D::OnAllOff},
    {idc::kCurrent, Event::SliderRelease, &D::OnCurrentReleased},
    {idc::kTarget, Event::TextUpdate, &D::OnTargetUpdate},
    {idc::kSet, Event::Click, &D::OnSetTarget},
    {idc::kCurrentScale, Event::SelChange, &D::OnCurrentScaleChanged},
    {idc::kPdetStandby, Event::Click, &D::OnPdetStandby},
    {idc::kUpdateA2, Event::Click, &D::OnUpdateA2},
    {idc::kUpdateA3, Event::Click, &D::OnUpdateA3},
    {idc::kUpdateA7, Event::Click, &D::OnUpdateA7},
    {idc::kDimThreshold, Event::SelChange, &D::OnDimThresholdChanged},
    {idc::kPwmDirect, Event::Click, &D::OnPwmDirect},
    {idc::kPhaseShift, Event::SelChange, &D::OnPhaseShiftChanged},
    {idc::kPwmFreq, Event::SelChange, &D::OnPwmFreqChanged},
    {idc::kVboost, Event::SliderRelease, &D::OnVboostReleased},
    {idc::kBoostFreq, Event::SelChange, &D::OnBoostFreqChanged},
    {idc::kVboostMax, Event::SelChange, &D::OnVboostMaxChanged},
    {idc::kAdaptive, Event::Click, &D::OnAdaptive},
    {idc::kSsEn, Event::Click, &D::OnSsEn},
    {idc::kVboostLow, Event::Click, &D::OnVboostRangeLow},
    {idc::kVboostHigh, Event::Click, &D::OnVboostRangeHigh},
    {idc::kIboostLow, Event::Click, &D::OnIboostRangeLow},
    {idc::kIboostHigh, Event::Click, &D::OnIboostRangeHigh},
    {idc::kLoad, Event::Click, &D::OnLoad},
    {idc::kPrepareWrite, Event::Click, &D::OnPrepareWrite},
    {idc::kCompleteWrite, Event::Click, &D::OnCompleteWrite},
};

std::vector<ControlKind> KindsFor(Event event)
{
    switch (event) {
    case Event::Click:
        return {ControlKind::PushButton, ControlKind::CheckBox, ControlKind::RadioButton};
    case Event::SelChange: return {ControlKind::ComboBox};
    case Event::SliderRelease: return {ControlKind::Slider};
    case Event::TextUpdate: return {ControlKind::Edit};
    }
    return {};
}

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

void AddRouteUses(std::vector<ControlUse>& uses)
{
    for (const Route& route : kRoutingTable)
        uses.push_back({"routing", route.id, KindsFor(route.event)});
}

void CEvalDlg::ConnectRoutes()
{
    for (const Route& route : kRoutingTable) {
        QWidget* control = m_controls.value(route.id);
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
