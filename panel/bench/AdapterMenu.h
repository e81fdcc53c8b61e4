#pragma once

#include "AdapterList.h"
#include "AdapterStart.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class CEvalDlg;
class QMenu;
class TvxAdapter;

// The Adapter list of the window menu: the simulated board, each Linux I2C
// bus (USB bridges first), a register dump file and no adapter, the one in
// use checked. Rebuilt each time it opens, so that a bridge plugged in later
// is there. Choosing an entry starts the panel over on that adapter and
// remembers it; when it cannot be opened, the panel keeps the one it had.
class CAdapterMenu : public QObject {
    Q_OBJECT
public:
    // Entry i of the list is the window-menu command kIdmFirstAdapter + 0x10 * i.
    static constexpr unsigned kIdmFirstAdapter = 0x0200;
    static constexpr unsigned kIdmLastAdapter = 0x0FF0;

    // Adds the list to menu as the submenu "Adapter". askDumpFile asks for
    // the register dump of "Register Dump File..."; empty when cancelled.
    CAdapterMenu(CEvalDlg& dlg, QMenu& menu, AdapterStart start,
                 std::function<QString()> askDumpFile);
    ~CAdapterMenu() override;

    // Whether id is an entry of the list.
    static bool Owns(unsigned id)
    {
        return (id & 0xFFF0) >= kIdmFirstAdapter && (id & 0xFFF0) <= kIdmLastAdapter;
    }
    bool OnCommand(unsigned id);
    // The adapter in use, as ZR5130_ADAPTER spells it.
    const QString& SettingInUse() const { return m_setting; }

private:
    void Rebuild();
    bool InUse(const AdapterListEntry& entry) const;
    void Choose(const AdapterListEntry& entry);
    QString InUseText() const;

    CEvalDlg& m_dlg;
    QMenu* m_list = nullptr;
    AdapterOptions m_options;
    std::function<QString()> m_askDumpFile;
    std::vector<AdapterListEntry> m_entries;  // as the list was last built
    QString m_setting;                        // the adapter in use
    std::unique_ptr<TvxAdapter> m_adapter;    // chosen here; the start's belongs to the program
};
