// bindings/support/json_convert.cpp: JSON values <-> host objects.
#include "support/json_convert.h"

#include <string_view>
#include <vector>

namespace orvelle::bind {
namespace {

// A new reference from the C API, or the host's error raised.
nb::object checked(PyObject *object) {
  if (object == nullptr)
    throw nb::python_error();
  return nb::steal(object);
}

// Host objects may nest as deep as the host allows; the host's own recursion limit guards
// the C++ stack while they are walked.
class RecursionGuard {
public:
  explicit RecursionGuard(const char *where) {
    if (Py_EnterRecursiveCall(where) != 0)
      throw nb::python_error();
  }
  ~RecursionGuard() { Py_LeaveRecursiveCall(); }
  RecursionGuard(const RecursionGuard &) = delete;
  RecursionGuard &operator=(const RecursionGuard &) = delete;
};

} // namespace

// Recursion is bounded: parsed trees nest at most json::max_depth deep, and built ones no
// deeper than the host objects they came from.
nb::object to_python(const json::Value &value) {
  switch (value.kind()) {
  case json::Kind::null:
    return nb::none();
  case json::Kind::boolean:
    return nb::bool_(value.as_bool());
  case json::Kind::integer:
    return nb::int_(value.as_int());
  case json::Kind::big_integer: {
    std::string digits(value.as_string());
    return checked(PyLong_FromString(digits.c_str(), nullptr, 10)); // the host's digit limit too
  }
  case json::Kind::real:
    return nb::float_(value.as_real());
  case json::Kind::string:
    return host_str(value.as_string());
  case json::Kind::array: {
    nb::list list;
    for (const json::Value &item : value.items())
      list.append(to_python(item));
    return list;
  }
  case json::Kind::object: {
    nb::dict dict;
    for (const json::Member &member : value.members())
      dict[host_str(member.key)] = to_python(member.value);
    return dict;
  }
  }
  return nb::none();
}

namespace {

json::Value build(json::DocumentBuilder &builder, nb::handle object) {
  if (object.is_none())
    return json::Value();
  if (PyBool_Check(object.ptr()))
    return json::Value::boolean(object.ptr() == Py_True);
  if (PyLong_Check(object.ptr())) {
    int overflow = 0;
    long long small = PyLong_AsLongLongAndOverflow(object.ptr(), &overflow);
    if (overflow == 0 && !(small == -1 && PyErr_Occurred()))
      return json::Value::integer(small);
    PyErr_Clear();
    return builder.big_integer(nb::cast<std::string>(nb::str(object)));
  }
  if (PyFloat_Check(object.ptr()))
    return json::Value::real(PyFloat_AS_DOUBLE(object.ptr()));
  if (PyUnicode_Check(object.ptr()))
    return builder.string(nb::cast<std::string>(object));
  if (PyList_Check(object.ptr()) || PyTuple_Check(object.ptr())) {
    RecursionGuard guard(" while converting a list to JSON");
    std::vector<json::Value> items;
    for (nb::handle item : object)
      items.push_back(build(builder, item));
    return builder.array(items);
  }
  if (PyDict_Check(object.ptr())) {
    RecursionGuard guard(" while converting a dict to JSON");
    std::vector<json::Member> members;
    for (auto [key, item] : nb::borrow<nb::dict>(object)) {
      if (!PyUnicode_Check(key.ptr()))
        throw nb::type_error("JSON object keys must be str");
      members.push_back({builder.key(nb::cast<std::string>(key)), build(builder, item)});
    }
    return builder.object(members);
  }
  throw nb::type_error(("not a JSON value: " + nb::cast<std::string>(nb::repr(object))).c_str());
}

} // namespace

json::Document from_python(nb::handle object) {
  json::DocumentBuilder builder;
  json::Value root = build(builder, object);
  return builder.finish(root);
}

} // namespace orvelle::bind
