#include "PanelTimeline.h"

#include "DeviceLink.h"
#include "EvalDlg.h"
#include "FailureLook.h"
#include "OnDemandWindow.h"
#include "TimelineWindow.h"

#include <mutex>

namespace {

// The observer is called with the bus lock held, so it is changed only under it.
void ObserveChip(ChipLink::Observer observer)
{
    ChipLink& chip = LinkChip();
    const std::lock_guard hold(chip.BusLock());
    chip.SetObserver(std::move(observer));
}

}  // namespace

CPanelTimeline::CPanelTimeline(CEvalDlg& dlg) : QObject(&dlg), m_dlg(dlg)
{
    ObserveChip([this](const RegisterAccess& access) {
        if (access.write)
            m_record.AddWrite(access.time, access.reg, access.value, access.ok);
        else
            m_record.AddRead(access.time, access.reg,
                             access.ok ? std::optional(access.value) : std::nullopt);
    });
}

CPanelTimeline::~CPanelTimeline()
{
    ObserveChip({});
    delete m_dlg.findChild<CTimelineWindow*>(QString(), Qt::FindDirectChildrenOnly);
}

CTimelineWindow& CPanelTimeline::Open()
{
    CTimelineWindow& window = WindowOnDemand<CTimelineWindow>(m_dlg, [this] {
        auto* built = new CTimelineWindow(m_record, &m_dlg);
        built->SetFailureColour(kFailureColour);
        connect(built, &CTimelineWindow::told, &m_dlg, [this](const QString& text, bool failed) {
            if (failed)
                m_dlg.SetFailureText(text);
            else
                m_dlg.SetStatusText(text);
        });
        return built;
    });
    window.Open();
    return window;
}
