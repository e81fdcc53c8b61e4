#pragma once

#include "TvxAdapter.h"

#include <memory>
#include <string>

// Which adapter answers the tvx operations, chosen once from ZR5130_ADAPTER:
// unset or "sim" (simulated board), "sim:FILE" (simulated board loaded from a
// register image), "none" (no adapter connected), "/dev/i2c-N" (Linux bus).
struct AdapterChoice {
    std::unique_ptr<TvxAdapter> adapter;  // null for "none" and on error
    std::string notice;                   // one line for standard error, or empty
    std::string error;                    // non-empty: refuse to start (exit status 2)
};

AdapterChoice ChooseAdapter(const char* setting);
