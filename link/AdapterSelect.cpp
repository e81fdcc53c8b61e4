#include "AdapterSelect.h"

#include "LinuxI2cAdapter.h"
#include "RegisterImage.h"
#include "SimBoard.h"

#include <string_view>

namespace {

constexpr std::string_view kSimPrefix = "sim:";

}  // namespace

AdapterChoice ChooseAdapter(const char* setting)
{
    AdapterChoice choice;
    const std::string_view value = setting ? setting : "";

    if (value.empty() || value == "sim") {
        choice.adapter = std::make_unique<SimBoard>();
        choice.notice =
            "zr5130-eval: using the simulated board; set ZR5130_ADAPTER=/dev/i2c-N for real "
            "hardware (or none, or sim:FILE)";
        return choice;
    }

    if (value.starts_with(kSimPrefix)) {
        const std::string path(value.substr(kSimPrefix.size()));
        if (path.empty()) {
            choice.error = "ZR5130_ADAPTER=sim: needs a register dump file (sim:FILE)";
            return choice;
        }
        RegisterImage image;
        if (std::string error; !LoadRegisterImage(path, image, error)) {
            choice.error = "ZR5130_ADAPTER=sim:" + error;
            return choice;
        }
        auto board = std::make_unique<SimBoard>();
        board->Load(image);
        choice.adapter = std::move(board);
        choice.notice = "zr5130-eval: using the simulated board with the registers of " + path;
        return choice;
    }

    if (value.starts_with('/')) {
        const std::string node(value);
        choice.adapter = MakeLinuxI2cAdapter(node);
        choice.notice = "zr5130-eval: using the I2C bus " + node;
        return choice;
    }

    if (value == "none") {
        choice.notice = "zr5130-eval: no adapter connected (ZR5130_ADAPTER=none)";
        return choice;
    }

    choice.error = "ZR5130_ADAPTER: unknown adapter '" + std::string(value) +
                   "' (use sim, sim:FILE, none or /dev/i2c-N)";
    return choice;
}
