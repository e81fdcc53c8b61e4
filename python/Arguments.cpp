#include "Arguments.h"

#include "Shown.h"

#include <pybind11/stl.h>

#include <stdexcept>

namespace py = pybind11;

namespace {

std::string TypeName(const py::handle& value)
{
    return py::str(value.get_type().attr("__name__"));
}

std::string Encoded(const py::handle& text, const char* errors)
{
    PyObject* bytes = PyUnicode_AsEncodedString(text.ptr(), "utf-8", errors);
    if (!bytes) throw py::error_already_set();
    return py::reinterpret_steal<py::bytes>(bytes);
}

}  // namespace

std::string TextArgument(const py::handle& text, const std::string& what)
{
    if (!py::isinstance<py::str>(text))
        throw py::type_error(what + " must be a str, not " + TypeName(text));
    return Encoded(text, "surrogatepass");
}

std::optional<std::string> AdapterArgument(const py::handle& adapter)
{
    if (adapter.is_none()) return std::nullopt;
    if (!py::isinstance<py::str>(adapter))
        throw py::type_error("the adapter must be a str, not " + TypeName(adapter) +
                             "; give one as zr5130.adapters() lists them");
    PyObject* bytes = PyUnicode_EncodeFSDefault(adapter.ptr());
    if (!bytes) {
        PyErr_Clear();
        throw std::invalid_argument("the adapter " + Shown(Encoded(adapter, "surrogatepass")) +
                                    " holds characters no file name can; give one as "
                                    "zr5130.adapters() lists them");
    }
    std::string setting = py::reinterpret_steal<py::bytes>(bytes);
    if (setting.find('\0') != std::string::npos)
        throw std::invalid_argument("the adapter " + Shown(setting) +
                                    " holds a NUL character; give one as zr5130.adapters() "
                                    "lists them");
    return setting;
}

RegisterReadings ReadingsArgument(const py::handle& mapping)
{
    return py::dict(py::reinterpret_borrow<py::object>(mapping)).cast<RegisterReadings>();
}
