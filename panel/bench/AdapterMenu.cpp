// The window menu's Adapter list.
#include "AdapterMenu.h"

#include "AdapterMemory.h"
#include "AdapterOrder.h"
#include "StartChoice.h"
#include "DeviceLink.h"
#include "EvalDlg.h"
#include "tvx.h"

#include <QMenu>

#include <cctype>
#include <cstdio>

namespace {

bool IsBus(const AdapterListEntry& entry) { return !entry.node.empty(); }

QString MenuText(const AdapterListEntry& entry)
{
    const QString text = QString::fromStdString(entry.text);
    return entry.setting == kDumpFileSetting ? text + QStringLiteral("...") : text;
}

}  // namespace

CAdapterMenu::CAdapterMenu(CEvalDlg& dlg, QMenu& menu, AdapterStart start,
                           std::function<QString()> askDumpFile)
    : QObject(&dlg),
      m_dlg(dlg),
      m_list(menu.addMenu(QStringLiteral("Adapter"))),
      m_options(std::move(start.options)),
      m_askDumpFile(std::move(askDumpFile)),
      m_setting(std::move(start.setting))
{
    connect(m_list, &QMenu::aboutToShow, this, &CAdapterMenu::Rebuild);
}

// Nothing may go on talking to an adapter that is gone.
CAdapterMenu::~CAdapterMenu()
{
    if (m_adapter && tvxInstalledAdapter() == m_adapter.get()) tvxInstallAdapter(nullptr);
}

bool CAdapterMenu::OnCommand(unsigned id)
{
    if (!Owns(id)) return false;
    if (m_entries.empty()) Rebuild();
    const size_t index = ((id & 0xFFF0) - kIdmFirstAdapter) / 0x10;
    if (index < m_entries.size()) Choose(m_entries[index]);
    return true;
}

void CAdapterMenu::Rebuild()
{
    m_entries = ListAdapters(m_options.sysClassDir);
    m_list->clear();
    for (size_t i = 0; i < m_entries.size() && kIdmFirstAdapter + 0x10 * i <= kIdmLastAdapter; ++i) {
        QAction* action = m_list->addAction(MenuText(m_entries[i]));
        action->setData(unsigned(kIdmFirstAdapter + 0x10 * i));
        action->setCheckable(true);
        action->setChecked(InUse(m_entries[i]));
    }
}

// A bus is in use however it was named: by its node, or by a part of its
// name that now finds it.
bool CAdapterMenu::InUse(const AdapterListEntry& entry) const
{
    const std::string setting = m_setting.toStdString();
    if (setting == entry.setting) return true;
    if (entry.setting == kDumpFileSetting) return setting.starts_with("sim:");
    if (!IsBus(entry)) return false;
    if (setting == entry.node) return true;
    if (!setting.starts_with("i2c:")) return false;
    const I2cBusLookup found = FindI2cBusByName(setting.substr(4), m_options.sysClassDir);
    return found.error.empty() && found.bus.node == entry.node;
}

QString CAdapterMenu::InUseText() const
{
    for (const AdapterListEntry& entry : m_entries)
        if (InUse(entry)) return MenuText(entry).remove(QStringLiteral("..."));
    return m_setting.isEmpty() ? QStringLiteral("the adapter it had") : m_setting;
}

// The new adapter is opened before anything changes, so that one that
// cannot be opened leaves the panel as it was; once open, the start-up's
// steps run on it.
void CAdapterMenu::Choose(const AdapterListEntry& entry)
{
    QString setting = QString::fromStdString(entry.setting);
    if (entry.setting == kDumpFileSetting) {
        const QString path = m_askDumpFile();
        if (path.isEmpty()) return;
        setting = QStringLiteral("sim:") + path;
    }
    // A bus chosen by its node is held to the name it has now.
    const bool byNode = IsBus(entry) && entry.setting == entry.node;
    AdapterChoice choice =
        ChooseRecalledAdapter(setting.toStdString(), byNode ? entry.busName : "", m_options);
    if (!choice.error.empty()) {
        // The simulated board's own options name themselves.
        const std::string& why =
            choice.errorSetting == kAdapterVariable ? choice.errorCause : choice.error;
        m_dlg.SetFailureText(QStringLiteral("Cannot use %1: %2; still on %3")
                                 .arg(MenuText(entry), QString::fromStdString(why), InUseText()));
        return;
    }

    TvxAdapter* before = tvxInstalledAdapter();
    const LinkSession session = LinkSaveSession();
    tvxInstallAdapter(choice.adapter.get());
    uint8_t rfw = 0;
    const int opened = AdapterOpen(rfw);
    if (opened != kAdapterOk && choice.adapter) {
        tvxInstallAdapter(before);
        LinkRestoreSession(session);
        std::string why = choice.adapter->OpenFailure();
        if (why.empty()) why = "the adapter did not come up";
        why[0] = char(std::toupper(static_cast<unsigned char>(why[0])));
        m_dlg.SetFailureText(
            QStringLiteral("%1; still on %2").arg(QString::fromStdString(why), InUseText()));
        return;
    }

    if (!choice.notice.empty()) std::fprintf(stderr, "%s\n", choice.notice.c_str());
    m_adapter = std::move(choice.adapter);
    m_setting = setting;
    if (const std::string problem = RememberAdapter(setting.toStdString(), m_options);
        !problem.empty() && FirstTime(problem))
        std::fprintf(stderr, "zr5130-eval: %s\n", problem.c_str());
    m_dlg.ShowAdapterOpen(opened, rfw);
    m_dlg.ProgramBlankChip();
    m_dlg.OnReadbackAll();
}
