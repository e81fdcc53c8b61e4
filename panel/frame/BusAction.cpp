// What a run of the panel against the bus leaves on the status line: the
// first failed write, a stuck bus's cause (one try per run, told where a user
// started from the desktop sees it), or a failure text that gives way.
#include "DeviceLink.h"
#include "EvalDlg.h"
#include "HexText.h"
#include "StatusLine.h"

#include <cstdio>

CEvalDlg::BusAction::BusAction(CEvalDlg& dlg, Kind kind) : m_dlg(dlg), m_kind(kind)
{
    if (m_dlg.m_run.depth++ != 0) return;
    if (m_kind == Kind::UserAction) {
        m_bus = PanelBusTurns().ForAction();
        LinkClearStuck();
    }
    m_dlg.m_run = RunNotes();
    m_dlg.m_run.depth = 1;
    m_dlg.m_statusLine->BeginAction();
}

CEvalDlg::BusAction::~BusAction()
{
    RunNotes& run = m_dlg.m_run;
    if (--run.depth != 0) return;
    const std::string* stuck = LinkStuckCause();
    if (run.failedWrite && !run.failureTold) {
        QString text = QStringLiteral("Write to %1 failed").arg(HexText(*run.failedWrite));
        if (!run.failedWriteCause.isEmpty()) text += QStringLiteral(": ") + run.failedWriteCause;
        m_dlg.m_statusLine->Retract();
        m_dlg.SetFailureText(text);
    } else if (stuck) {
        m_dlg.SetFailureText(QString::fromStdString(*stuck));
    } else if (m_kind == Kind::UserAction && run.accessed && !run.accessFailed && !run.textSet) {
        m_dlg.m_statusLine->GiveWay();
    }
    if (stuck) std::fprintf(stderr, "zr5130-eval: %s\n", stuck->c_str());
}
