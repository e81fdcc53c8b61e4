#pragma once

#include "EvalDlg.h"

// A window beside the panel, built the first time it is opened and kept from
// then on: one that nobody opens costs the start-up nothing. What it shows
// from before its first opening it takes from the panel then.
template <class Window>
Window& WindowOnDemand(CEvalDlg& dlg)
{
    if (auto* window = dlg.findChild<Window*>(QString(), Qt::FindDirectChildrenOnly)) return *window;
    return *new Window(dlg);
}
