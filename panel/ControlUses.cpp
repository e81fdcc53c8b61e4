#include "ControlUses.h"

#include "OptionLists.h"

std::vector<ControlUse> PanelControlUses()
{
    std::vector<ControlUse> uses;
    AddRouteUses(uses);
    AddBindingUses(uses);
    AddMemberUses(uses);
    AddGridUses(uses);
    AddToolTipUses(uses);
    for (const OptionList& list : kOptionLists)
        uses.push_back({"option lists", list.controlId, {ControlKind::ComboBox}});
    return uses;
}
