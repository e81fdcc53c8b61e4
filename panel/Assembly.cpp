// The panel put together: the window frame, its register groups and the
// bench additions. Only this file knows all three.
#include "BenchAdditions.h"
#include "EvalDlg.h"
#include "ReadbackGrid.h"

bool CEvalDlg::OnInitDialog()
{
    const BusAction busAction(*this);
    PrepareControls();
    AddBenchAdditions(*this);
    StartChip();
    return true;
}

std::vector<ControlUse> PanelControlUses()
{
    std::vector<ControlUse> uses;
    AddRouteUses(uses);
    AddBindingUses(uses);
    AddMemberUses(uses);
    AddGridUses(uses);
    AddToolTipUses(uses);
    AddOptionListUses(uses);
    return uses;
}
