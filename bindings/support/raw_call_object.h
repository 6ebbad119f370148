// bindings/support/raw_call_object.h: the host's RawCall objects, and their caster.
//
// nanobind files every instance of a bound class in a process-wide pointer map: two hash-table
// misses per object made, one more per object freed. A table reader hands back a hundred
// thousand calls at once, so RawCall is a plain host type instead (made in Models/RawCall.cpp)
// that holds the core record inline and costs one allocation. The caster below lets it cross
// the binding like a bound class: by reference into the host object when read, moved (or
// copied) into a new host object when returned.
#pragma once

#include <nanobind/nanobind.h>

#include "orvelle/records/raw_call.h"

#include <type_traits>

namespace orvelle::bind {

/// The layout of a host RawCall object.
struct RawCallObject {
  PyObject_HEAD RawCall call;
};

/// The host type Models.RawCall.RawCall (imported on first use), or nullptr with the host's
/// error set.
PyTypeObject *raw_call_type() noexcept;

/// A new host RawCall holding an empty call, or nullptr with the host's error set.
PyObject *new_raw_call() noexcept;

/// The record inside a host RawCall (or an instance of a subclass), or nullptr for any other
/// object.
RawCall *raw_call_of(PyObject *object) noexcept;

} // namespace orvelle::bind

NAMESPACE_BEGIN(NB_NAMESPACE)
NAMESPACE_BEGIN(detail)

template <> struct type_caster<orvelle::RawCall> {
  using Value = orvelle::RawCall;
  static constexpr auto Name = const_name("OrvellePgxParser.Models.RawCall.RawCall");
  template <typename T> using Cast = precise_cast_t<T>;

  bool from_python(handle src, uint32_t, cleanup_list *) noexcept {
    value_ = orvelle::bind::raw_call_of(src.ptr());
    return value_ != nullptr;
  }

  template <typename Call>
  requires std::is_same_v<std::remove_cvref_t<Call>, Value>
  static handle from_cpp(Call &&call, rv_policy, cleanup_list *) noexcept {
    PyObject *object = orvelle::bind::new_raw_call();
    if (object == nullptr)
      return object;
    try {
      reinterpret_cast<orvelle::bind::RawCallObject *>(object)->call = std::forward<Call>(call);
    } catch (const std::bad_alloc &) {
      Py_DECREF(object);
      return PyErr_NoMemory();
    }
    return object;
  }

  static handle from_cpp(const Value *call, rv_policy policy, cleanup_list *cleanup) noexcept {
    return call ? from_cpp(*call, policy, cleanup) : none().release();
  }

  template <typename T> bool can_cast() const noexcept {
    return std::is_pointer_v<T> || value_ != nullptr;
  }

  operator Value *() { return value_; }
  operator Value &() { return *value_; }

private:
  Value *value_ = nullptr;
};

NAMESPACE_END(detail)
NAMESPACE_END(NB_NAMESPACE)
