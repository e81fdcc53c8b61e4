#pragma once

#include "AdapterSelect.h"

#include <QString>

// What the panel starts on and how its Adapter list reaches the adapters.
struct AdapterStart {
    // The adapter in use, as ZR5130_ADAPTER spells it; empty when not known.
    QString setting;
    // Shown on the status line once the start-up is done; empty for none.
    QString statusNotice;
    AdapterOptions options = AdapterOptionsFromEnvironment();
};
