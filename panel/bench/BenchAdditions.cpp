#include "BenchAdditions.h"

#include "EvalDlg.h"
#include "SessionMenu.h"

void AddBenchAdditions(CEvalDlg& dlg)
{
    auto* session = new CSessionMenu(dlg, *dlg.SystemMenu(), dlg.StartedOn());
    QObject::connect(&dlg, &CEvalDlg::windowCommand, session, &CSessionMenu::OnCommand);
    QObject::connect(&dlg, &CEvalDlg::readbackStarting, session, &CSessionMenu::ForgetComparison);
    dlg.InstallToolTips();
}
