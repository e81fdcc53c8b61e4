#pragma once

#include "AdapterSelect.h"

#include <string>

// The adapter chosen in the panel's Adapter list, kept in the user's
// settings file (see SettingsFile.h) under [General] as
//   adapter=i2c:CP2112 SMBus Bridge      a bus by the part of its name that
//                                        survives a replug, or
//   adapter=/dev/i2c-7                   a bus by its node, where another
//   adapterName=CP2112 SMBus Bridge on hidraw0   bus carries the same name,
//                                        with the adapter name it had, or
//   adapter=sim, sim:FILE or none.
// A bus remembered by its node is used again only while the node's adapter
// name is still the one it had: nothing runs on a bus the user did not
// choose. Used by the panel, zr5130ctl and the Python module.

// The adapter a user chose in the panel's Adapter list, as it is to be used now.
struct RecalledAdapter {
    // As ZR5130_ADAPTER spells it (for example "/dev/i2c-7" or "sim");
    // empty: nothing usable is remembered.
    std::string setting;
    // Non-empty: a remembered choice exists but is refused (its bus changed
    // name, the settings file is not a regular file, ...): one line saying
    // which and how to choose again.
    std::string problem;
    // The problem without how to choose again, for a caller that says that
    // in its own words.
    std::string refusal;
    // Non-empty: there is no settings file to remember in (neither
    // XDG_CONFIG_HOME nor HOME is an absolute path); one line to tell once.
    std::string note;
    // For a bus remembered by its node: the adapter name it must still carry
    // (see ChooseRecalledAdapter).
    std::string busName;
};
RecalledAdapter RecallAdapter(const AdapterOptions& options = AdapterOptionsFromEnvironment());

// ChooseAdapter for setting; a bus named by its node with busName is held to
// that name at every open (see LinuxI2cAdapter::RequireBusName).
AdapterChoice
ChooseRecalledAdapter(const std::string& setting, const std::string& busName,
                      const AdapterOptions& options = AdapterOptionsFromEnvironment(),
                      const std::string& source = "ZR5130_ADAPTER");

// Keeps setting (as ListAdapters spells it) as the user's choice; a bus node
// with the adapter name its bus has now. The rest of the settings file stays
// as it was. Returns why it is not kept (one line), or empty when it is.
std::string RememberAdapter(const std::string& setting,
                            const AdapterOptions& options = AdapterOptionsFromEnvironment());
