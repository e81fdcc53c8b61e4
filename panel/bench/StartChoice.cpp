#include "StartChoice.h"

#include "AdapterList.h"
#include "AdapterMemory.h"
#include "Quote.h"

#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <set>
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

QString Sentence(const std::string& text)
{
    QString sentence = QString::fromStdString(text);
    if (!sentence.isEmpty()) sentence[0] = sentence[0].toUpper();
    return sentence;
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

    const RecalledAdapter recalled = RecallAdapter(options);
    if (!recalled.note.empty() && FirstTime(recalled.note))
        std::fprintf(stderr, "zr5130-eval: %s\n", recalled.note.c_str());
    std::string refusal = recalled.refusal;
    if (!recalled.setting.empty()) {
        AdapterChoice choice = ChooseRecalledAdapter(recalled.setting, recalled.busName, options);
        if (choice.error.empty()) {
            start.choice = std::move(choice);
            start.start.setting = QString::fromStdString(recalled.setting);
            return start;
        }
        refusal = "remembered adapter " + Quoted(recalled.setting, kWholeText) +
                  " not used: " + WithoutSettingName(choice.error).toStdString();
    }
    FirstTime(refusal);  // told on the status line and standard error at start
    start.start.statusNotice =
        refusal.empty() ? BridgesFound(ListI2cBuses(options.sysClassDir))
                        : Sentence(refusal) + QStringLiteral("; on the simulated board until you "
                                                             "choose one under Adapter in the "
                                                             "window menu");
    start.choice = ChooseAdapter(kSimSetting, options);
    start.start.setting = QString::fromLatin1(kSimSetting);
    return start;
}

bool FirstTime(const std::string& line)
{
    static std::set<std::string> told;
    return told.insert(line).second;
}
