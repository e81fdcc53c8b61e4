#pragma once

#include "AdapterStart.h"

struct StartChoice {
    AdapterChoice choice;  // an error only from ZR5130_ADAPTER (or ZR5130_SIM_STATUS)
    AdapterStart start;
};

// ZR5130_ADAPTER when it is set, for this start only; otherwise the adapter
// remembered from the Adapter list. A remembered one that cannot be used,
// and a first start, run on the simulated board: the panel never opens a bus
// that nobody chose. A first start with a USB bridge present names it in the
// status notice.
StartChoice ChooseStartAdapter(const char* environment, const AdapterOptions& options);
