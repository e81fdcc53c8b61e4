#include "BoardLine.h"

#include "AdapterList.h"
#include "AdapterMenu.h"
#include "DialogBuilder.h"
#include "EvalDlg.h"
#include "I2cBuses.h"

#include <QFileInfo>
#include <QLabel>

#include <algorithm>

namespace {

// In dialog units: the room between Exit and Readback All.
constexpr int kX = 262, kY = 21, kWidth = 150, kHeight = 9;

QString BusName(const I2cBusInfo& bus)
{
    return QStringLiteral("%1 (%2)").arg(QString::fromStdString(bus.node),
                                         QString::fromStdString(StableBusName(bus.name)));
}

}  // namespace

QString BoardName(const QString& setting, const std::string& sysClassDir)
{
    if (setting.isEmpty() || setting == QLatin1String(kSimSetting))
        return QStringLiteral("Simulated board");
    if (setting == QLatin1String(kNoAdapterSetting)) return QStringLiteral("No adapter");
    if (setting.startsWith(QLatin1String("sim:")))
        return QStringLiteral("Simulated board from %1").arg(QFileInfo(setting.mid(4)).fileName());
    if (setting.startsWith(QLatin1String("i2c:"))) {
        const I2cBusLookup found = FindI2cBusByName(setting.mid(4).toStdString(), sysClassDir);
        return found.error.empty() ? BusName(found.bus)
                                   : QStringLiteral("%1 (not found)").arg(setting);
    }
    const std::vector<I2cBusInfo> buses = ListI2cBuses(sysClassDir);
    const auto bus = std::ranges::find(buses, setting.toStdString(), &I2cBusInfo::node);
    return bus == buses.end() ? setting : BusName(*bus);
}

CBoardLine::CBoardLine(CEvalDlg& dlg) : QObject(&dlg), m_dlg(dlg), m_line(new QLabel(&dlg))
{
    m_line->setObjectName(QString::number(kId));
    m_line->setTextFormat(Qt::PlainText);
    m_line->setAlignment(Qt::AlignCenter);
    m_line->setGeometry(DialogUnits::ForFont(dlg.font()).Map(kX, kY, kWidth, kHeight));
    m_line->setAccessibleDescription(QStringLiteral("The board the panel talks to"));
    connect(&dlg, &CEvalDlg::adapterOpened, this, &CBoardLine::Show);
}

void CBoardLine::Show()
{
    const auto* adapters = m_dlg.findChild<const CAdapterMenu*>();
    const QString setting = adapters ? adapters->SettingInUse() : m_dlg.StartedOn().setting;
    const QString name = BoardName(setting, m_dlg.StartedOn().options.sysClassDir);
    m_line->setText(m_line->fontMetrics().elidedText(name, Qt::ElideMiddle, m_line->width()));
    // A dump file by its whole path.
    const QString whole = setting.startsWith(QLatin1String("sim:"))
        ? QStringLiteral("Simulated board from %1").arg(setting.mid(4))
        : name;
    m_line->setToolTip(QStringLiteral("The board the panel talks to: %1\nChoose another under "
                                      "Adapter in the window menu.")
                           .arg(whole));
}
