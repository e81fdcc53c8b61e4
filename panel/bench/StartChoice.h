#pragma once

#include "AdapterStart.h"

#include <string>

struct StartChoice {
    AdapterChoice choice;  // an error only from ZR5130_ADAPTER (or ZR5130_SIM_STATUS)
    AdapterStart start;
};

// ZR5130_ADAPTER when it is set, for this start only; otherwise the adapter
// remembered from the Adapter list (see AdapterMemory.h). A remembered one
// that cannot be used, and a first start, run on the simulated board: the
// panel never opens a bus that nobody chose. The status notice says why a
// remembered one is not used, or names the USB bridge found on a first
// start.
StartChoice ChooseStartAdapter(const char* environment, const AdapterOptions& options);

// True the first time it is given line: a settings problem met again and
// again (each choice in the Adapter list) is told once.
bool FirstTime(const std::string& line);
