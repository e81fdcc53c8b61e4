#include "FieldTexts.h"

#include <string>

namespace py = pybind11;

namespace {

std::string ValueText(const std::string& name, const py::handle& value)
{
    if (py::isinstance<py::bool_>(value)) return value.cast<bool>() ? "1" : "0";
    if (py::isinstance<py::int_>(value)) return py::str(value);
    if (py::isinstance<py::str>(value)) return value.cast<std::string>();
    throw py::type_error("the value of " + name + " is a " +
                         std::string(py::str(value.get_type().attr("__name__"))) +
                         "; give a number or a meaning as text");
}

}  // namespace

std::vector<chip::FieldText> FieldTexts(const std::optional<py::dict>& fields,
                                        const py::kwargs& more)
{
    std::vector<chip::FieldText> texts;
    for (const py::dict& dict : {fields.value_or(py::dict()), py::dict(more)})
        for (const auto& [name, value] : dict) {
            const std::string field = py::str(name);
            texts.push_back({field, ValueText(field, value)});
        }
    return texts;
}
