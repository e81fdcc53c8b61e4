#include "RegisterFilter.h"

#include "Likeness.h"
#include "RegisterTree.h"

CRegisterFilter::CRegisterFilter(QObject* parent) : QSortFilterProxyModel(parent)
{
    setRecursiveFilteringEnabled(true);
    setAutoAcceptChildRows(true);
}

void CRegisterFilter::SetText(const QString& typed)
{
    m_key = chip::NameKey(typed.toStdString());
    if (m_key.starts_with("0x")) m_key.erase(0, 2);
    invalidateFilter();
}

bool CRegisterFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    if (m_key.empty()) return true;
    const auto key = [&](int column) {
        const QModelIndex cell = sourceModel()->index(sourceRow, column, sourceParent);
        return chip::NameKey(cell.data().toString().toStdString());
    };
    const bool registerRow = !sourceParent.isValid();
    return key(CRegisterTree::kName).find(m_key) != std::string::npos ||
        (registerRow && key(CRegisterTree::kLocation) == m_key);
}
