#include "BusTurns.h"

#include "DeviceLink.h"

BusTurns::Hold BusTurns::ForAction()
{
    m_waiting.fetch_add(1);
    Hold hold(LinkChip().BusLock());
    m_waiting.fetch_sub(1);
    m_started.fetch_add(1);
    return hold;
}

BusTurns::Hold BusTurns::TryForRead()
{
    if (m_waiting.load() > 0) return {};
    return Hold(LinkChip().BusLock(), std::try_to_lock);
}

BusTurns& PanelBusTurns()
{
    static BusTurns turns;
    return turns;
}
