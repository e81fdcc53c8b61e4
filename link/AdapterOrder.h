#pragma once

#include "AdapterSelect.h"

#include <cstdlib>
#include <optional>
#include <string>

inline constexpr const char* kAdapterVariable = "ZR5130_ADAPTER";

// An adapter setting and where it came from, as messages name it.
struct AdapterSetting {
    // As ZR5130_ADAPTER spells it; empty: none chosen.
    std::string setting;
    // Where it came from: the argument's name ("--adapter", "adapter"),
    // "ZR5130_ADAPTER" or "the remembered adapter".
    std::string source;
    bool remembered = false;
    // For a remembered bus node: the adapter name it must still carry.
    std::string busName;
    // Non-empty: a remembered choice exists but is refused, and why.
    std::string refusal;
    // Non-empty: there is no settings file to remember in.
    std::string note;
};

inline constexpr const char* kRememberedAdapter = "the remembered adapter";

// The adapter order of every program: the argument when given, else
// ZR5130_ADAPTER (environment; empty counts as unset), else the adapter
// remembered from the panel's Adapter list, if it is still the one chosen.
// What to do when none is chosen is each program's own: the panel starts on
// the simulated board, zr5130ctl and Python refuse.
AdapterSetting FindAdapterSetting(const std::optional<std::string>& argument,
                                  const std::string& argumentName,
                                  const char* environment = std::getenv(kAdapterVariable),
                                  const AdapterOptions& options = AdapterOptionsFromEnvironment());

// How messages name the adapter of setting: "the simulated board" for sim,
// the setting itself otherwise, quoted when a terminal would act on some of
// it.
std::string AdapterShownName(const std::string& setting);
