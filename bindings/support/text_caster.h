// bindings/support/text_caster.h: std::string <-> str that keeps lone surrogates.
//
// The core holds texts as WTF-8, so a str with a lone surrogate (as the host's JSON reader
// makes from "\ud800", or os.fsdecode makes from undecodable bytes) crosses both ways intact.
// This replaces nanobind's own std::string caster; never include nanobind/stl/string.h.
#pragma once

#include <nanobind/nanobind.h>

#include <string>
#include <string_view>

namespace orvelle::bind {

/// A core text as a new str reference, lone surrogates kept; nullptr with the host's error set
/// when it is not WTF-8. For the C API's slots and casters, which must not throw.
inline PyObject *new_str(std::string_view text) noexcept {
  return PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "surrogatepass");
}

/// new_str as an object; the host's error is raised as nanobind::python_error.
inline nanobind::str host_str(std::string_view text) {
  PyObject *str = new_str(text);
  if (str == nullptr)
    throw nanobind::python_error();
  return nanobind::steal<nanobind::str>(str);
}

} // namespace orvelle::bind

NAMESPACE_BEGIN(NB_NAMESPACE)
NAMESPACE_BEGIN(detail)

template <> struct type_caster<std::string> {
  NB_TYPE_CASTER(std::string, const_name("str"))

  bool from_python(handle src, uint32_t, cleanup_list *) noexcept {
    if (!PyUnicode_Check(src.ptr()))
      return false;
    Py_ssize_t size = 0;
    if (const char *utf8 = PyUnicode_AsUTF8AndSize(src.ptr(), &size)) {
      value.assign(utf8, static_cast<size_t>(size));
      return true;
    }
    PyErr_Clear(); // a lone surrogate: take its 3-byte form
    PyObject *bytes = PyUnicode_AsEncodedString(src.ptr(), "utf-8", "surrogatepass");
    if (bytes == nullptr) {
      PyErr_Clear();
      return false;
    }
    value.assign(PyBytes_AS_STRING(bytes), static_cast<size_t>(PyBytes_GET_SIZE(bytes)));
    Py_DECREF(bytes);
    return true;
  }

  static handle from_cpp(const std::string &value, rv_policy, cleanup_list *) noexcept {
    return orvelle::bind::new_str(value);
  }
};

NAMESPACE_END(detail)
NAMESPACE_END(NB_NAMESPACE)
