#include "FieldValue.h"

#include "Likeness.h"

#include <string_view>

namespace py = pybind11;

namespace {

// The presentation types of format() that take a number.
constexpr std::string_view kNumberTypes = "bcdoxXneEfFgG%";

// A text that is not UTF-8 (a lone surrogate) means nothing, so it equals no field.
bool MeansText(const FieldReading& field, const py::str& text)
{
    PyObject* bytes = PyUnicode_AsUTF8String(text.ptr());
    if (!bytes) {
        PyErr_Clear();
        return false;
    }
    const std::string typed = py::reinterpret_steal<py::bytes>(bytes);
    return chip::ValueKey(typed) == chip::ValueKey(field.meaning);
}

// True, False, or NotImplemented for what a field is not compared with.
py::object Equals(const FieldReading& field, const py::object& other)
{
    if (py::isinstance<py::int_>(other))
        return py::bool_(other.cast<py::int_>().equal(py::int_(field.number)));
    if (py::isinstance<py::str>(other)) return py::bool_(MeansText(field, other));
    if (py::isinstance<FieldReading>(other)) {
        const auto& that = other.cast<const FieldReading&>();
        return py::bool_(that.key == field.key && that.number == field.number);
    }
    return py::reinterpret_borrow<py::object>(Py_NotImplemented);
}

py::object Format(const FieldReading& field, const std::string& formatSpec)
{
    const bool number = !formatSpec.empty() && kNumberTypes.find(formatSpec.back()) != std::string_view::npos;
    const py::object shown = number ? py::object(py::int_(field.number)) : py::str(field.meaning);
    return py::module_::import("builtins").attr("format")(shown, formatSpec);
}

}  // namespace

void AddValueBehaviour(py::class_<FieldReading, FieldFacts>& field)
{
    field
        .def(
            "__bool__", [](const FieldReading& f) { return f.number != 0; },
            "False when the number is 0: `if chip.get(\"open\"):` tests the flag.")
        .def(
            "__int__", [](const FieldReading& f) { return f.number; }, "The number.")
        .def(
            "__index__", [](const FieldReading& f) { return f.number; },
            "The number, for hex(), bin() and indexing.")
        .def("__eq__", Equals, py::is_operator(),
             "Equal to its number (f == 4), to its meaning with case and blanks ignored "
             "(f == \"9616hz\"), and to a Field of the same field and number.")
        .def(
            "__ne__",
            [](const FieldReading& f, const py::object& other) {
                const py::object equal = Equals(f, other);
                return equal.is(py::reinterpret_borrow<py::object>(Py_NotImplemented))
                    ? equal
                    : py::bool_(!equal.cast<bool>());
            },
            py::is_operator())
        .def("__format__", Format, py::arg("format_spec"),
             "A number format (d, x, 04X, b, ...) formats the number; any other, the meaning.")
        .def(
            "__str__", [](const FieldReading& f) { return f.meaning; },
            "The meaning: the value's name, or the number in decimal.")
        .attr("__hash__") = py::none();
}
