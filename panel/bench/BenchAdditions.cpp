#include "BenchAdditions.h"

#include "BoardLine.h"
#include "ChipDifferences.h"
#include "EvalDlg.h"
#include "FaultFlags.h"
#include "OnDemandWindow.h"
#include "RegistersWindow.h"
#include "SessionMenu.h"

void AddBenchAdditions(CEvalDlg& dlg)
{
    auto* session = new CSessionMenu(dlg, *dlg.SystemMenu(), dlg.StartedOn());
    QObject::connect(&dlg, &CEvalDlg::windowCommand, session, &CSessionMenu::OnCommand);
    QObject::connect(&dlg, &CEvalDlg::readbackStarting, session, &CSessionMenu::ForgetComparison);
    QObject::connect(&dlg, &CEvalDlg::windowCommand, &dlg, [&dlg](unsigned id) {
        if ((id & 0xFFF0) != CSessionMenu::kIdmRegisters) return;
        WindowOnDemand<CRegistersWindow>(dlg, [&dlg] { return new CRegistersWindow(dlg); }).Open();
    });
    new CBoardLine(dlg);
    new CChipDifferences(dlg);
    new CFaultFlags(dlg);
    dlg.InstallToolTips();
}
