// What the panel does about a stuck bus: one try per action, and the cause
// on the status line, where a user started from the desktop sees it.
#include "DeviceLink.h"
#include "EvalDlg.h"

#include <cstdio>

CEvalDlg::BusAction::BusAction(CEvalDlg& dlg) : m_dlg(dlg)
{
    LinkClearStuck();
    m_dlg.m_stuckTold = false;
}

CEvalDlg::BusAction::~BusAction()
{
    const bool causeShown =
        !m_dlg.m_stuckCauseShown.isEmpty() && m_dlg.StatusText() == m_dlg.m_stuckCauseShown;
    const std::string* cause = LinkStuckCause();
    if (!cause) {
        // The bus answered again: a cause still on the status line is stale.
        if (causeShown) m_dlg.SetStatusText(m_dlg.m_statusBeforeCause);
        m_dlg.m_stuckCauseShown.clear();
        return;
    }
    // A run nested in another (a tick during a modal dialog) has told it.
    if (m_dlg.m_stuckTold) return;
    if (!causeShown) m_dlg.m_statusBeforeCause = m_dlg.StatusText();
    m_dlg.m_stuckCauseShown = QString::fromStdString(*cause);
    m_dlg.SetStatusText(m_dlg.m_stuckCauseShown);
    m_dlg.m_stuckTold = true;
    std::fprintf(stderr, "zr5130-eval: %s\n", cause->c_str());
}
