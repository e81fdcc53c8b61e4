// zr5130: the ZR5130 from Python, on the device link and register map that
// the panel and zr5130ctl use.
#include "AdapterList.h"
#include "Dumps.h"
#include "FieldAccess.h"
#include "FieldObjects.h"
#include "FieldTexts.h"
#include "HexInput.h"
#include "LinuxI2cAdapter.h"
#include "PyErrors.h"
#include "RegisterMap.h"
#include "Session.h"
#include "WatchBindings.h"
#include "zr5130_version.h"

#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace py = pybind11;

namespace {

uint8_t RegisterArgument(int reg)
{
    if (reg < 0 || reg > 0xFF)
        throw std::invalid_argument("register " + std::to_string(reg) +
                                    " is not an address (0x00-0xFF)");
    return uint8_t(reg);
}

uint8_t ValueArgument(int value)
{
    if (value < 0 || value > 0xFF)
        throw std::invalid_argument("value " + std::to_string(value) +
                                    " is not a byte (0x00-0xFF)");
    return uint8_t(value);
}

std::string RegisterText(const std::optional<int>& value)
{
    return value ? HexByteText(unsigned(*value)) : "--";
}

// As zr5130ctl get prints it: PWM Frequency = "9616 Hz" (A5 bits 3-0 = 4).
std::string FieldRepr(const FieldReading& field)
{
    const bool named = field.meaning != std::to_string(field.number);
    return "<Field " + field.name + " = " + (named ? '"' + field.meaning + '"' : field.meaning) +
        " (" + field.bits + " = " + std::to_string(field.number) + ")>";
}

void AddFieldClasses(py::module_& m)
{
    py::class_<FieldFacts>(m, "FieldInfo",
                          "A field of the register map: where it sits and what its values mean.")
        .def_readonly("name", &FieldFacts::name, "The field's name, as the panel shows it.")
        .def_readonly("key", &FieldFacts::key,
                      "The name as typed for get() and set(): 'pwm-frequency'. Names are "
                      "printable ASCII and match ignoring case, blanks, '-' and '_'.")
        .def_readonly("register", &FieldFacts::reg,
                      "Its register's address; of the LED Current, A0 (the first written).")
        .def_readonly("registers", &FieldFacts::registers,
                      "Every register it has bits in, in the order set() writes them.")
        .def_readonly("bits", &FieldFacts::bits,
                      "Where its bits are: 'A5 bits 3-0', 'A1 bits 3-0, A0 bits 7-0'.")
        .def_readonly("masks", &FieldFacts::masks,
                      "Its bits as masks, {register: mask}: {0xA5: 0x0F}.")
        .def_readonly("maximum", &FieldFacts::maximum, "The largest number it holds.")
        .def_readonly("description", &FieldFacts::description, "What the field is for.")
        .def_readonly("values", &FieldFacts::values,
                      "The labels of its values, value n at index n, each of which set() takes "
                      "back (a label of several values aside); empty when the value is a plain "
                      "number.")
        .def_readonly("access", &FieldFacts::access,
                      "'read/write', 'read only' or 'EEPROM burn'; set() writes read/write "
                      "fields only.")
        .def("__repr__",
             [](const FieldFacts& f) { return "<FieldInfo " + f.name + " (" + f.bits + ")>"; });

    py::class_<FieldReading, FieldFacts>(m, "Field", "A field with the value the chip holds.")
        .def_readonly("number", &FieldReading::number, "The field's value as a number.")
        .def_readonly("meaning", &FieldReading::meaning,
                      "The value's name, or the number in decimal where the field names none.")
        .def("__repr__", FieldRepr);

    py::class_<RegisterDiff>(m, "RegisterDiff", "A register whose value differs: see diff().")
        .def_readonly("register", &RegisterDiff::reg, "The register's address.")
        .def_readonly("name", &RegisterDiff::name, "Its name in the map; '' when it has none.")
        .def_readonly("a", &RegisterDiff::a, "Its value in the first dump; None when missing.")
        .def_readonly("b", &RegisterDiff::b, "Its value in the second dump; None when missing.")
        .def_property_readonly(
            "fields",
            [](const RegisterDiff& d) {
                py::list fields;
                for (const FieldDiff& f : d.fields) fields.append(py::make_tuple(f.a, f.b));
                return fields;
            },
            "The fields that differ, each a pair (Field in a, Field in b); empty when a side "
            "lacks the register.")
        .def("__repr__", [](const RegisterDiff& d) {
            return "<RegisterDiff " + HexByteText(unsigned(d.reg)) +
                (d.name.empty() ? "" : " " + d.name) + ": " + RegisterText(d.a) + " -> " +
                RegisterText(d.b) + ">";
        });
}

void AddChipClass(py::module_& m)
{
    py::class_<ChipSession, std::shared_ptr<ChipSession>>(
        m, "Chip",
        "The ZR5130 on the adapter zr5130.open() chose. Use it in a with statement, or call "
        "close().\n\n"
        "Every failed access raises BusError naming the register; nothing is retried. Any "
        "number of chips may be open at once, each on its own adapter. A chip may be used "
        "from several threads: its calls take turns on its bus, and while one waits on the "
        "bus the interpreter runs other threads.")
        .def(
            "read", [](ChipSession& chip, int reg) { return chip.Read(RegisterArgument(reg)); },
            py::arg("register"), py::call_guard<py::gil_scoped_release>(),
            "Reads one register (0x00-0xFF) and returns its value. "
            "Raises BusError when the chip does not answer.")
        .def(
            "write",
            [](ChipSession& chip, int reg, int value) {
                const uint8_t address = RegisterArgument(reg);
                chip.Write(address, ValueArgument(value));
            },
            py::arg("register"), py::arg("value"), py::call_guard<py::gil_scoped_release>(),
            "Writes one register and reads it back. A register the map calls read-only (the "
            "status register 0x02) and the EEPROM burn register 0x72 are refused (ValueError) "
            "and nothing is written. Raises BusError when an access fails, MismatchError "
            "(naming the value written and the value read) when it reads back otherwise.")
        .def("get", &GetField, py::arg("name"), py::call_guard<py::gil_scoped_release>(),
             "Reads the field's registers and returns the field with "
             "its value: chip.get(\"pwm-frequency\").meaning, which set() takes back. Names "
             "are printable ASCII and match ignoring case, blanks, '-' and '_'; fields() lists "
             "them. An unknown name raises KeyError with the nearest one; a name with any "
             "other character raises KeyError without a guess.")
        .def(
            "set",
            [](ChipSession& chip, const std::optional<py::dict>& fields, const py::kwargs& more) {
                const std::vector<chip::FieldText> texts = FieldTexts(fields, more);
                py::gil_scoped_release release;
                SetFields(chip, texts);
            },
            py::arg("fields") = py::none(), py::pos_only(),
            ""
            "Writes fields by name: chip.set(pwm_frequency=\"9616 Hz\", led_current=0x123), "
            "or chip.set({\"PWM Frequency\": \"9616 Hz\"}). Names are read as get() reads "
            "them. A value is an int, or text read in this order, blanks around it ignored: "
            "a label of the field's values, case and the label's blanks ignored, whole or "
            "either side of its ' = ' (\"9616hz\"; \"011 = 20mA\", \"011\" or \"20mA\"); "
            "else a number without blanks inside, decimal or hex after 0x (\"0x123\"). What "
            "get() gives as meaning or number, set() takes back to the same bits.\n\n"
            "Every name and value is checked first: an unknown name raises KeyError with the "
            "nearest one, a label of several values (\"NA / NA\"), a value out of range, a "
            "read-only field or one given twice raises "
            "ValueError, and nothing is written. Then each register concerned is read once, "
            "written once with all its fields changed and every other bit kept (the LED "
            "Current: A0, then A1), and read back: MismatchError when it reads otherwise, "
            "BusError when an access fails; the registers after it are not written, and the "
            "error says which were written before it.")
        .def("dump", &ChipSession::Dump, py::call_guard<py::gil_scoped_release>(),
             "Reads every register of the map, in address "
             "order: {address: value}, None for a register that did not answer. A stuck bus "
             "raises BusError. format_dump() makes i2cdump's table of it.")
        .def(
            "trace",
            [](ChipSession& chip, const std::optional<std::filesystem::path>& path) {
                chip.Trace(path ? std::optional<std::string>(path->string()) : std::nullopt);
            },
            py::arg("path"), py::call_guard<py::gil_scoped_release>(),
            "Appends a line for every further register access to path, as "
            "ZR5130_TRACE does for the panel and zr5130ctl: 'R A5 3C ok', 'R A5 -- fail', "
            "'W A5 3C ok', 'W A5 3C fail'. path is a regular file or a terminal; None stops "
            "the trace. Raises OSError when the file cannot be opened.")
        .def_property_readonly("trace_path", &ChipSession::TracePath,
                               "The file the trace goes to, or None.")
        .def_property_readonly("adapter", &ChipSession::Adapter,
                               "The adapter, as open() and ZR5130_ADAPTER take it.")
        .def_property_readonly(
            "closed", [](const ChipSession& chip) { return !chip.IsOpen(); },
            "True once the chip was closed.")
        .def("close", &ChipSession::Close, py::call_guard<py::gil_scoped_release>(),
             "Stops the trace and lets the adapter go. Calls after it raise Error.")
        .def(
            "__enter__", [](std::shared_ptr<ChipSession> chip) { return chip; },
            "The chip itself, for a with statement.")
        .def(
            "__exit__",
            [](ChipSession& chip, const py::args&) {
                py::gil_scoped_release release;
                chip.Close();
            },
            "Closes the chip at the end of the with statement; exceptions go on.")
        .def("__repr__", [](const ChipSession& chip) {
            return "<zr5130.Chip on " + chip.Adapter() + (chip.IsOpen() ? "" : ", closed") + ">";
        });
}

void AddAdapterClass(py::module_& m)
{
    py::class_<AdapterListEntry>(m, "AdapterEntry", "One adapter of adapters().")
        .def_readonly("adapter", &AdapterListEntry::setting,
                      "The string open() and ZR5130_ADAPTER take: 'sim', 'i2c:CP2112 SMBus "
                      "Bridge', '/dev/i2c-0', 'sim:FILE', 'none'.")
        .def_readonly("name", &AdapterListEntry::text, "As the panel's Adapter list shows it.")
        .def_readonly("node", &AdapterListEntry::node, "'/dev/i2c-7' for a bus, '' otherwise.")
        .def_readonly("usb_bridge", &AdapterListEntry::usbBridge,
                      "True for a bus on a USB-to-I2C bridge.")
        .def("__repr__", [](const AdapterListEntry& e) {
            return "<AdapterEntry " + e.setting + ": " + e.text + ">";
        });
}

}  // namespace

PYBIND11_MODULE(zr5130, m)
{
    m.doc() = "The ZR5130 LED backlight driver from Python, for bench scripts and notebooks.\n\n"
              "    import zr5130\n"
              "    with zr5130.open(\"sim\") as chip:      # or \"/dev/i2c-7\", \"i2c:CP2112\"\n"
              "        chip.write(0xA5, 0xE4)\n"
              "        print(hex(chip.read(0xA5)))\n\n"
              "The same device link, adapters, register map and trace as the panel (zr5130-eval) "
              "and zr5130ctl. Failures are exceptions: BusError (a register access, an OSError "
              "with errno), MismatchError (a write that reads back otherwise), DumpError (a "
              "register dump file), AdapterError, all kinds of Error; bad arguments raise "
              "ValueError or KeyError before anything is written. Nothing is printed: the cause "
              "is in the exception. Any number of chips may be open at once.";
    m.attr("__version__") = kZr5130Version;
    AddErrors(m);
    AddFieldClasses(m);
    AddChipClass(m);
    AddWatch(m);
    AddAdapterClass(m);

    m.def("open", &ChipSession::Open, py::arg("adapter") = py::none(),
          py::call_guard<py::gil_scoped_release>(),
          ""
          "Opens the chip on an adapter, chosen as zr5130ctl chooses it: adapter when given, "
          "else ZR5130_ADAPTER (empty counts as unset), else the choice remembered by the "
          "panel's Adapter list. None of them: AdapterError.\n\n"
          "adapter: 'sim' (the simulated board: a blank chip), 'sim:FILE' (the simulated "
          "board with the registers of an i2cdump file), '/dev/i2c-N', 'i2c:NAME' (the bus "
          "whose adapter name contains NAME), 'none'. adapters() lists them.\n\n"
          "A dump that cannot be read raises DumpError; an adapter that does not come up, "
          "AdapterError. Each call opens another chip, independent of those already open; a "
          "failed open leaves them as they were.");
    m.def(
        "adapters", [] { return ListAdapters(kSysClassI2cDev); },
        ""
        "What open() can take on this machine, as `zr5130ctl adapters` lists it: the "
        "simulated board, the Linux I2C buses (USB bridges first; read from sysfs, no bus "
        "is opened), a dump file, none.");
    m.def("fields", &AllFields,
          "Every field of the register map, register by "
          "register, highest bits first; the LED Current (A0 and A1 as one 12-bit value) "
          "after the fields of A0.");
    const std::string loadDumpDoc =
        "Reads a register dump as `i2cdump -y BUS " + HexAddress(chip::kChipAddress) +
        "` prints it (byte mode, any range): {address: value} for each register it holds; XX "
        "and registers outside its rows are left out. Raises DumpError naming the file and line.";
    m.def(
        "load_dump", [](const std::filesystem::path& path) { return LoadDump(path.string()); },
        py::arg("path"), loadDumpDoc.c_str());
    m.def("format_dump", &FormatDump, py::arg("registers"),
          ""
          "i2cdump's full byte table of {address: value}; XX for a register missing or None. "
          "The text loads back with load_dump() and as the adapter 'sim:FILE'.");
    m.def("diff", &Diff, py::arg("a"), py::arg("b"),
          ""
          "The registers whose values differ between two dicts {address: value} (from "
          "Chip.dump() or load_dump()), in address order, each with the fields that differ. A "
          "register of the map that one side lacks (or holds as None) is a difference; any "
          "other register is compared only where both hold it.");
}
