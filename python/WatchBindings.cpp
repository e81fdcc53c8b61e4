#include "WatchBindings.h"

#include "FieldTexts.h"
#include "HexInput.h"
#include "IsoTime.h"
#include "Session.h"
#include "Watch.h"

#include <pybind11/stl.h>

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace py = pybind11;

namespace {

std::string Seconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", seconds);
    return text;
}

double Interval(double seconds)
{
    if (!(seconds > 0) || !std::isfinite(seconds))
        throw std::invalid_argument("interval " + Seconds(seconds) +
                                    " is not a number of seconds above 0");
    return seconds;
}

std::optional<double> Timeout(std::optional<double> seconds)
{
    if (seconds && (!(*seconds >= 0) || !std::isfinite(*seconds)))
        throw std::invalid_argument("timeout " + Seconds(*seconds) +
                                    " is not a number of seconds (0 or more), nor None");
    return seconds;
}

std::string SampleRepr(const WatchSample& sample)
{
    const int64_t ms = std::llround(sample.time * 1000);
    return "<Sample " + IsoClock().Text(ms) + " " + HexByteText(sample.reg) + " = " +
        (sample.value ? HexByteText(*sample.value) : "--") + ">";
}

void AddClasses(py::module_& m)
{
    py::class_<WatchSample>(m, "Sample", "One read of one register by Chip.watch().")
        .def_readonly("time", &WatchSample::time,
                      "When it was read: seconds since the epoch, as time.time() gives them "
                      "(datetime.fromtimestamp(sample.time) for a date).")
        .def_readonly("register", &WatchSample::reg, "The register's address.")
        .def_readonly("value", &WatchSample::value,
                      "The value read, or None when the read failed.")
        .def_property_readonly(
            "fields",
            [](const WatchSample& sample) {
                py::dict fields;
                for (const auto& [name, value] : sample.fields) fields[py::str(name)] = value;
                return fields;
            },
            "The register's fields by name as read, in the map's order: for the status register "
            "0x02 its eight flags, 0 or 1 ({'Open': 0, ..., 'Over Voltage': 1, ...}); empty "
            "when the read failed.")
        .def("__repr__", SampleRepr);

    py::class_<ChipWatch, std::shared_ptr<ChipWatch>>(
        m, "Watch", "The samples of Chip.watch(), an iterator: for sample in chip.watch(): ...")
        .def("__iter__", [](const py::object& self) { return self; })
        .def("__next__", [](ChipWatch& watch) {
            std::optional<WatchSample> sample = watch.Next();
            if (!sample) throw py::stop_iteration();
            return *sample;
        });
}

void AddChipMethods(py::module_& m)
{
    auto chipClass = py::reinterpret_borrow<py::class_<ChipSession, std::shared_ptr<ChipSession>>>(
        m.attr("Chip"));
    chipClass.def(
        "watch",
        [](std::shared_ptr<ChipSession> self, double interval, const std::optional<py::dict>& until,
           std::optional<double> timeout) {
            return std::make_shared<ChipWatch>(
                std::move(self), Interval(interval), Timeout(timeout),
                ConditionsOf(until ? FieldTexts(until, py::kwargs()) : std::vector<chip::FieldText>{}));
        },
        py::arg("interval") = 0.1, py::arg("until") = py::none(), py::arg("timeout") = py::none(),
        ""
        "Reads the status register 0x02 every interval seconds and yields a Sample for each "
        "read: its time, register, value and fields by name (the eight status flags). A "
        "failed read is a sample whose value is None, and the watch goes on.\n\n"
        "until: fields and values as set() takes them, {\"over_voltage\": 1}, read-only "
        "fields too; their registers are read in place of 0x02, and the watch ends after the "
        "samples of the read in which every one holds. timeout: seconds, after which the watch "
        "ends with a last read; with until, by raising TimeoutError naming what was read "
        "last. Names and values are checked at once (KeyError, ValueError); the first read "
        "comes with the first sample.\n\n"
        "While the watch waits, between reads and on the bus, other threads run; Ctrl+C "
        "raises KeyboardInterrupt.");
    chipClass.def(
        "wait_for",
        [](std::shared_ptr<ChipSession> self, const std::optional<py::dict>& fields,
           std::optional<double> timeout, double interval, const py::kwargs& more) {
            std::vector<chip::FieldCondition> until = ConditionsOf(FieldTexts(fields, more));
            if (until.empty())
                throw std::invalid_argument("no field to wait for: chip.wait_for(over_voltage=0)");
            ChipWatch watch(std::move(self), Interval(interval), Timeout(timeout),
                            std::move(until));
            while (watch.Next()) {
            }
        },
        py::arg("fields") = py::none(), py::pos_only(), py::kw_only(),
        py::arg("timeout") = 2.0, py::arg("interval") = 0.1,
        ""
        "Returns once the chip shows every field at its value: chip.wait_for(over_voltage=0), "
        "chip.wait_for({\"Over Voltage\": 0}, timeout=5). Names and values as set() takes "
        "them, read-only fields too, checked before any read (KeyError, ValueError). The "
        "fields' registers are read every interval seconds, the first time at once; a read "
        "that fails does not end the wait. Raises TimeoutError, naming what was read last, "
        "when they do not all hold within timeout seconds (None: no limit). While it waits, "
        "other threads run; Ctrl+C raises KeyboardInterrupt.");
}

}  // namespace

void AddWatch(py::module_& module)
{
    AddClasses(module);
    AddChipMethods(module);
}
