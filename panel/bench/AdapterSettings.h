#pragma once

#include <QString>

// The adapter the user chose last in the Adapter list, kept in the user's
// settings file: $XDG_CONFIG_HOME/zr5130/zr5130-eval.conf (~/.config when
// XDG_CONFIG_HOME is unset), the file Qt's per-user settings of organisation
// "zr5130" and application "zr5130-eval" would use. A file that cannot be
// read or written is told once on standard error and otherwise ignored.

QString AdapterSettingsPath();
// As ZR5130_ADAPTER spells it; empty when nothing was chosen yet.
QString RememberedAdapter();
void RememberAdapter(const QString& setting);
