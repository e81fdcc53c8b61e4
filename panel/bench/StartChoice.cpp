#include "StartChoice.h"

#include "AdapterList.h"
#include "AdapterSettings.h"

#include <QStringList>

#include <algorithm>
#include <string_view>

namespace {

constexpr std::string_view kEnvironmentName = "ZR5130_ADAPTER";

// The adapter selection's message without the environment's name in front:
// "no I2C bus named like ...", "sim:FILE:2: ...".
QString WithoutSettingName(std::string error)
{
    if (error.starts_with(kEnvironmentName)) error.erase(0, kEnvironmentName.size());
    if (error.starts_with(": ")) error.erase(0, 2);
    if (error.starts_with('=')) error.erase(0, 1);
    return QString::fromStdString(error);
}

QString BridgesFound(const std::vector<I2cBusInfo>& buses)
{
    std::vector<I2cBusInfo> bridges;
    std::copy_if(buses.begin(), buses.end(), std::back_inserter(bridges),
                 [](const I2cBusInfo& bus) { return bus.usbBridge; });
    if (bridges.empty()) return {};
    const QString first = QStringLiteral("%1 (%2)").arg(QString::fromStdString(bridges[0].name),
                                                        QString::fromStdString(bridges[0].node));
    if (bridges.size() == 1)
        return QStringLiteral("Found %1: choose it under Adapter in the window menu").arg(first);
    return QStringLiteral("Found %1 and %2 more USB bridges: choose one under Adapter in the "
                          "window menu")
        .arg(first)
        .arg(bridges.size() - 1);
}

// Why a remembered adapter is not used now; empty when it can be.
QString RememberedProblem(const QString& remembered, const AdapterChoice& choice,
                          const std::vector<I2cBusInfo>& buses)
{
    if (!choice.error.empty()) return WithoutSettingName(choice.error);
    if (!remembered.startsWith(QLatin1Char('/'))) return {};
    const std::string node = remembered.toStdString();
    const bool there = std::any_of(buses.begin(), buses.end(),
                                   [&](const I2cBusInfo& bus) { return bus.node == node; });
    return there ? QString() : QStringLiteral("it is not among the I2C buses now");
}

}  // namespace

StartChoice ChooseStartAdapter(const char* environment, const AdapterOptions& options)
{
    StartChoice start;
    start.start.options = options;
    if (environment) {
        start.choice = ChooseAdapter(environment, options);
        start.start.setting = *environment ? QString::fromLocal8Bit(environment)
                                           : QString::fromLatin1(kSimSetting);
        return start;
    }

    const std::vector<I2cBusInfo> buses = ListI2cBuses(options.sysClassDir);
    const QString remembered = RememberedAdapter();
    if (!remembered.isEmpty()) {
        AdapterChoice choice = ChooseAdapter(remembered.toStdString().c_str(), options);
        const QString problem = RememberedProblem(remembered, choice, buses);
        if (problem.isEmpty()) {
            start.choice = std::move(choice);
            start.start.setting = remembered;
            return start;
        }
        start.start.statusNotice =
            QStringLiteral("Remembered adapter %1 not used: %2; on the simulated board until you "
                           "choose one under Adapter in the window menu")
                .arg(remembered, problem);
    } else {
        start.start.statusNotice = BridgesFound(buses);
    }
    start.choice = ChooseAdapter(kSimSetting, options);
    start.start.setting = QString::fromLatin1(kSimSetting);
    return start;
}
