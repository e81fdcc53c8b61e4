#include "ActionMethods.h"

#include "ChipActions.h"
#include "Arguments.h"

#include <pybind11/stl.h>

#include <memory>

namespace py = pybind11;

void AddActionMethods(py::module_& module)
{
    py::class_<ChipSession, std::shared_ptr<ChipSession>> chip = module.attr("Chip");
    chip.def(
            "restore",
            [](ChipSession& session, const py::handle& dump) {
                const RegisterReadings readings = ReadingsArgument(dump);
                py::gil_scoped_release release;
                Restore(session, readings);
            },
            py::arg("dump"),
            "Writes a dump ({address: value}, from load_dump() or dump()) back as zr5130ctl "
            "restore does: every register the panel writes that it holds (never the status "
            "register 02 or the burn register 72), the configuration first and the brightness "
            "control last, each read back. Every one is tried; then the first that failed "
            "raises BusError, else the first that read back otherwise MismatchError, the "
            "message counting the others. A dump holding none of them, or a value that is not "
            "a byte, raises ValueError and nothing is written.")
        .def(
            "load",
            [](ChipSession& session, const py::handle& entry) {
                const std::string name = TextArgument(entry, "the configuration");
                py::gil_scoped_release release;
                return Load(session, name);
            },
            py::arg("entry"),
            "Makes the panel's Load of a Config list entry, 'E00' to 'E15', as zr5130ctl load "
            "does: register 01 with the backlight bit cleared, then the entry's preset (E00, "
            "E08 and E09 have one), each read back; the first that fails raises BusError or "
            "MismatchError naming what was written before it. Returns the panel's status text "
            "('Config E8 loaded'). An unknown entry raises ValueError, and a register 01 that "
            "cannot be read BusError, before anything is written.")
        .def(
            "burn",
            [](ChipSession& session, const py::handle& step, bool confirm) {
                const std::string name = TextArgument(step, "the burn step");
                py::gil_scoped_release release;
                return Burn(session, name, confirm);
            },
            py::arg("step"), py::kw_only(), py::arg("confirm") = false,
            "One step of the EEPROM burn, as zr5130ctl burn does: 'prepare' (then apply 6V to "
            "VLDO), 'complete' (then remove it). Writes 80 to the burn register 72, which is "
            "acknowledged rather than compared, reads 72 back and returns its value. Refused "
            "with ValueError, nothing written, unless confirm=True is given. Raises BusError "
            "when an access fails.");
}
