#pragma once

#include "DialogTemplate.h"

#include <vector>

// A control ID named by one of the panel's tables, and the kinds of control
// that row works with.
struct ControlUse {
    const char* table;
    int id;
    std::vector<ControlKind> kinds;
};

// Every control ID that the panel's tables name: the window's own here, the
// readback grid's and the tooltips' where those are.
std::vector<ControlUse> PanelControlUses();

// Each table adds its own rows.
void AddRouteUses(std::vector<ControlUse>& uses);
void AddBindingUses(std::vector<ControlUse>& uses);
void AddMemberUses(std::vector<ControlUse>& uses);
void AddOptionListUses(std::vector<ControlUse>& uses);
