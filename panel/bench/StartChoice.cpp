#include "StartChoice.h"

#include "AdapterList.h"
#include "AdapterMemory.h"
#include "AdapterOrder.h"
#include "Quote.h"

#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <set>

namespace {

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

// The panel's policy in the adapter order: ZR5130_ADAPTER set, even empty, is
// this start's own choice (empty: the simulated board); with no choice at
// all, the simulated board.
StartChoice ChooseStartAdapter(const char* environment, const AdapterOptions& options)
{
    StartChoice start;
    start.start.options = options;
    const std::optional<std::string> emptyIsSim =
        environment && !*environment ? std::optional<std::string>(kSimSetting) : std::nullopt;
    const AdapterSetting chosen =
        FindAdapterSetting(emptyIsSim, kAdapterVariable, environment, options);
    if (!chosen.remembered) {
        start.choice = ChooseAdapter(chosen.setting.c_str(), options);
        start.start.setting = QString::fromLocal8Bit(chosen.setting.c_str());
        return start;
    }

    if (!chosen.note.empty() && FirstTime(chosen.note))
        std::fprintf(stderr, "zr5130-eval: %s\n", chosen.note.c_str());
    std::string refusal = chosen.refusal;
    if (!chosen.setting.empty()) {
        AdapterChoice choice =
            ChooseRecalledAdapter(chosen.setting, chosen.busName, options, chosen.source);
        if (choice.error.empty()) {
            start.choice = std::move(choice);
            start.start.setting = QString::fromStdString(chosen.setting);
            return start;
        }
        const std::string why =
            choice.errorSetting == chosen.source ? choice.errorDetail : choice.error;
        refusal = "remembered adapter " + Quoted(chosen.setting, kWholeText) + " not used: " + why;
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
