#include "AdapterSettings.h"

#include <QSettings>
#include <QStandardPaths>

#include <cstdio>

namespace {

const QString kAdapterKey = QStringLiteral("adapter");

bool g_problemTold = false;

// Reading and writing both end here, so the problem is told once whichever
// meets it first.
void CheckStatus(const QSettings& settings, const char* doing)
{
    if (settings.status() == QSettings::NoError || g_problemTold) return;
    g_problemTold = true;
    const char* why = settings.status() == QSettings::FormatError ? "it is not a settings file"
                                                                   : "no access";
    std::fprintf(stderr, "zr5130-eval: cannot %s %s (%s); the adapter choice is not remembered\n",
                 doing, settings.fileName().toLocal8Bit().constData(), why);
}

}  // namespace

QString AdapterSettingsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/zr5130/zr5130-eval.conf");
}

QString RememberedAdapter()
{
    const QSettings settings(AdapterSettingsPath(), QSettings::IniFormat);
    const QString setting = settings.value(kAdapterKey).toString();
    CheckStatus(settings, "read");
    return setting;
}

void RememberAdapter(const QString& setting)
{
    QSettings settings(AdapterSettingsPath(), QSettings::IniFormat);
    settings.setValue(kAdapterKey, setting);
    settings.sync();
    CheckStatus(settings, "write");
}
