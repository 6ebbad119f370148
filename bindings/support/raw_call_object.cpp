// bindings/support/raw_call_object.cpp: finding, making and reading host RawCall objects.
#include "support/raw_call_object.h"

#include <new>

namespace orvelle::bind {

PyTypeObject *raw_call_type() noexcept {
  // One per module that uses it, found under the GIL and kept for the process's lifetime.
  static PyTypeObject *type = nullptr;
  if (type != nullptr)
    return type;
  PyObject *module = PyImport_ImportModule("OrvellePgxParser.Models.RawCall");
  if (module == nullptr)
    return nullptr;
  PyObject *found = PyObject_GetAttrString(module, "RawCall");
  Py_DECREF(module);
  if (found == nullptr)
    return nullptr;
  if (!PyType_Check(found)) {
    Py_DECREF(found);
    PyErr_SetString(PyExc_TypeError, "OrvellePgxParser.Models.RawCall.RawCall is not a type");
    return nullptr;
  }
  type = reinterpret_cast<PyTypeObject *>(found);
  return type;
}

PyObject *new_raw_call() noexcept {
  PyTypeObject *type = raw_call_type();
  if (type == nullptr)
    return nullptr;
  PyObject *object = type->tp_alloc(type, 0);
  if (object != nullptr)
    new (&reinterpret_cast<RawCallObject *>(object)->call) RawCall();
  return object;
}

RawCall *raw_call_of(PyObject *object) noexcept {
  PyTypeObject *type = raw_call_type();
  if (type == nullptr) {
    PyErr_Clear();
    return nullptr;
  }
  if (!PyObject_TypeCheck(object, type))
    return nullptr;
  return &reinterpret_cast<RawCallObject *>(object)->call;
}

} // namespace orvelle::bind
