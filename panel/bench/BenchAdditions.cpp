#include "BenchAdditions.h"

#include "BoardLine.h"
#include "ChipDifferences.h"
#include "EvalDlg.h"
#include "FaultFlags.h"
#include "OnDemandWindow.h"
#include "PanelTimeline.h"
#include "RegistersWindow.h"
#include "SessionMenu.h"

void AddBenchAdditions(CEvalDlg& dlg)
{
    auto* session = new CSessionMenu(dlg, *dlg.SystemMenu(), dlg.StartedOn());
    // After the session menu, whose watch reads on a thread of its own: that
    // thread has stopped before the record goes.
    auto* timeline = new CPanelTimeline(dlg);
    QObject::connect(&dlg, &CEvalDlg::windowCommand, session, &CSessionMenu::OnCommand);
    QObject::connect(&dlg, &CEvalDlg::readbackStarting, session, &CSessionMenu::ForgetComparison);
    QObject::connect(&dlg, &CEvalDlg::windowCommand, &dlg, [&dlg, timeline](unsigned id) {
        switch (id & 0xFFF0) {
        case CSessionMenu::kIdmRegisters:
            WindowOnDemand<CRegistersWindow>(dlg, [&dlg] { return new CRegistersWindow(dlg); })
                .Open();
            break;
        case CSessionMenu::kIdmTimeline: timeline->Open(); break;
        default: break;
        }
    });
    new CBoardLine(dlg);
    new CChipDifferences(dlg);
    new CFaultFlags(dlg);
    dlg.InstallToolTips();
}
