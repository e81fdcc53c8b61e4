#pragma once

#include "ControlUses.h"

class CEvalDlg;

// What the bench adds to a panel being started, after its About entry: the
// window-menu entries for sessions (with the Adapter list and the status
// watch), the Registers window (built when first opened), the board line,
// the marks of controls that differ from the chip, the fault flags' look and
// the tooltips, each listening to what the panel announces.
void AddBenchAdditions(CEvalDlg& dlg);

void AddToolTipUses(std::vector<ControlUse>& uses);
