#include "PyErrors.h"

#include "Errors.h"
#include "LinuxI2cAdapter.h"
#include "RegisterMap.h"

#include <initializer_list>
#include <string>
#include <utility>

namespace py = pybind11;

namespace {

struct ErrorTypes {
    PyObject* error = nullptr;
    PyObject* adapter = nullptr;
    PyObject* bus = nullptr;
    PyObject* mismatch = nullptr;
    PyObject* dump = nullptr;
};
// Created once with the module and kept for the life of the interpreter.
ErrorTypes g_types;

PyObject* NewType(py::module_& module, const char* name, const char* doc, PyObject* bases)
{
    const std::string qualified = std::string("zr5130.") + name;
    PyObject* type = PyErr_NewExceptionWithDoc(qualified.c_str(), doc, bases, nullptr);
    if (!type) throw py::error_already_set();
    module.add_object(name, py::handle(type));
    return type;
}

// Raises type(message) with the attributes set.
void Raise(PyObject* type, const char* message,
           std::initializer_list<std::pair<const char*, py::object>> attributes)
{
    py::object error = py::reinterpret_borrow<py::object>(type)(message);
    for (const auto& [name, value] : attributes) error.attr(name) = value;
    PyErr_SetObject(type, error.ptr());
}

void Translate(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const MismatchFailure& e) {
        Raise(g_types.mismatch, e.what(),
              {{"register", py::int_(e.reg)},
               {"cause", py::str(e.cause)},
               {"errno", py::none()},
               {"wrote", py::int_(e.wrote)},
               {"read", py::int_(e.read)}});
    } catch (const BusFailure& e) {
        Raise(g_types.bus, e.what(),
              {{"register", py::int_(e.reg)},
               {"cause", py::str(e.cause)},
               {"errno", e.error ? py::object(py::int_(e.error)) : py::none()}});
    } catch (const DumpFailure& e) {
        Raise(g_types.dump, e.what(),
              {{"file", py::reinterpret_steal<py::object>(PyUnicode_DecodeFSDefaultAndSize(
                            e.file.data(), Py_ssize_t(e.file.size())))},
               {"line", e.line ? py::object(py::int_(e.line)) : py::none()}});
    } catch (const AdapterFailure& e) {
        PyErr_SetString(g_types.adapter, e.what());
    } catch (const ModuleFailure& e) {
        PyErr_SetString(g_types.error, e.what());
    } catch (const FileFailure& e) {
        PyErr_SetString(PyExc_OSError, e.what());
    } catch (const UnknownName& e) {
        PyErr_SetString(PyExc_KeyError, e.what());
    }
}

}  // namespace

void AddErrors(py::module_& module)
{
    g_types.error = NewType(module, "Error",
                            "Anything that went wrong on the chip's side: the base of the "
                            "module's own exceptions. Nothing is printed: the cause is in the "
                            "exception.",
                            PyExc_Exception);
    g_types.adapter =
        NewType(module, "AdapterError", "No adapter was chosen, or the one chosen did not come up.",
                g_types.error);
    const std::string busDoc = "A register access failed; an OSError.\n\n"
                               "register: the register's address (int)\n"
                               "errno: the kernel's error number where it gave one (errno.ENXIO: "
                               "no device answered, errno.EREMOTEIO, errno.ETIMEDOUT: the bus "
                               "timed out), else None\n"
                               "cause: why, for example 'no device answered at " +
                               HexAddress(chip::kChipAddress) + " on /dev/i2c-7'";
    py::tuple busBases = py::make_tuple(py::handle(g_types.error), py::handle(PyExc_OSError));
    g_types.bus = NewType(module, "BusError", busDoc.c_str(), busBases.ptr());
    g_types.mismatch = NewType(module, "MismatchError",
                               "A register was written and reads back otherwise.\n\n"
                               "register, cause: as for BusError (errno is None)\n"
                               "wrote: the value written; read: the value read back",
                               g_types.bus);
    py::tuple dumpBases = py::make_tuple(py::handle(g_types.error), py::handle(PyExc_ValueError));
    g_types.dump = NewType(module, "DumpError",
                           "A register dump that cannot be read.\n\n"
                           "file: the file's path\n"
                           "line: the line that is wrong (int), or None when the fault is not "
                           "in one line",
                           dumpBases.ptr());
    py::register_exception_translator(Translate);
}
