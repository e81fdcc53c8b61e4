#include "ControlUses.h"

#include "OptionLists.h"

void AddOptionListUses(std::vector<ControlUse>& uses)
{
    for (const OptionList& list : kOptionLists)
        uses.push_back({"option lists", list.controlId, {ControlKind::ComboBox}});
}
