#pragma once

#include "EvalDlg.h"

// A window beside the panel, built by build (a window whose parent is the
// panel) the first time it is opened, and kept from then on: one that nobody
// opens costs the start-up nothing. What it shows from before its first
// opening it takes from the panel, or from a record kept from the start, then.
template <class Window, class Build>
Window& WindowOnDemand(CEvalDlg& dlg, Build build)
{
    if (auto* window = dlg.findChild<Window*>(QString(), Qt::FindDirectChildrenOnly)) return *window;
    return *build();
}
