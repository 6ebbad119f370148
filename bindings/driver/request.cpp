// bindings/driver/request.cpp: the host's request values read into the core's ConversionRequest.
#include "driver/request.h"

#include "support/path.h"

#include <string>

namespace orvelle::bind {
namespace {

namespace c = constants;

[[noreturn]] void wrong_kind(std::string_view key, const char *expected, nb::handle value) {
  nb::handle type_object(reinterpret_cast<PyObject *>(Py_TYPE(value.ptr())));
  std::string type = nb::cast<std::string>(type_object.attr("__name__"));
  throw nb::type_error(
      ("request key '" + std::string(key) + "' must be " + expected + ", not " + type).c_str());
}

bool is_true(nb::handle value) {
  int truth = PyObject_IsTrue(value.ptr());
  if (truth < 0)
    throw nb::python_error();
  return truth == 1;
}

// Calls `take` on every item of an iterable (a generator is walked once).
template <typename Take>
void for_each_item(std::string_view key, nb::handle value, const char *expected, Take take) {
  if (PyUnicode_Check(value.ptr()) || PyBytes_Check(value.ptr()))
    wrong_kind(key, expected, value);
  nb::object iterator = nb::steal(PyObject_GetIter(value.ptr()));
  if (!iterator.is_valid()) {
    PyErr_Clear();
    wrong_kind(key, expected, value);
  }
  while (PyObject *item = PyIter_Next(iterator.ptr()))
    take(nb::steal(item));
  if (PyErr_Occurred())
    throw nb::python_error();
}

} // namespace

std::string path_value(std::string_view key, nb::handle value) {
  if (auto text = path_text(value))
    return *text;
  wrong_kind(key, "a path (str or os.PathLike)", value);
}

std::vector<std::string> path_list(std::string_view key, nb::handle value) {
  std::vector<std::string> paths;
  for_each_item(key, value, "a list of paths", [&](nb::handle item) {
    auto text = path_text(item);
    if (!text)
      wrong_kind(key, "a list of paths (str or os.PathLike)", item);
    paths.push_back(std::move(*text));
  });
  return paths;
}

std::set<std::string> text_set(std::string_view key, nb::handle value) {
  std::set<std::string> texts;
  for_each_item(key, value, "a list of gene symbols", [&](nb::handle item) {
    if (!PyUnicode_Check(item.ptr()))
      wrong_kind(key, "a list of gene symbols (str)", item);
    texts.insert(nb::cast<std::string>(item));
  });
  return texts;
}

std::optional<RequestedSource> requested_source(nb::handle value) {
  if (!value.is_valid() || !is_true(value))
    return std::nullopt;
  RequestedSource requested;
  requested.text = nb::cast<std::string>(nb::str(value));
  if (PyUnicode_Check(value.ptr()))
    requested.original = requested.text;
  else if (PyBool_Check(value.ptr()))
    requested.original = value.ptr() == Py_True;
  else if (PyFloat_Check(value.ptr()))
    requested.original = PyFloat_AS_DOUBLE(value.ptr());
  else if (PyLong_Check(value.ptr())) {
    int overflow = 0;
    long long number = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
    if (overflow == 0)
      requested.original = static_cast<std::int64_t>(number);
    else
      requested.original = requested.text;
  } else {
    requested.original = requested.text; // quoted in the warning: a close stand-in
  }
  return requested;
}

ConversionRequest request_from_host(nb::handle json_request) {
  ConversionRequest request;
  if (json_request.is_none() || !is_true(json_request))
    return request;
  if (!PyMapping_Check(json_request.ptr()) || PySequence_Check(json_request.ptr()))
    throw nb::type_error("the request must be a dict of request keys");

  nb::object missing =
      nb::steal(PyObject_CallNoArgs(reinterpret_cast<PyObject *>(&PyBaseObject_Type)));
  nb::object get = json_request.attr("get");
  auto lookup = [&](std::string_view key) -> nb::object {
    nb::object value = get(host_str(key), missing);
    return value.is(missing) ? nb::object() : value;
  };

  if (nb::object v = lookup(c::INPUT_FILES); v.is_valid() && is_true(v))
    request.input_files = path_list(c::INPUT_FILES, v);
  if (nb::object v = lookup(c::INPUT_DIR); v.is_valid())
    request.input_dir = path_value(c::INPUT_DIR, v);
  if (nb::object v = lookup(c::OUTPUT_DIR); v.is_valid())
    request.output_dir = path_value(c::OUTPUT_DIR, v);
  if (nb::object v = lookup(c::OUTPUT_JSON); v.is_valid())
    request.output_json = path_value(c::OUTPUT_JSON, v);
  if (nb::object v = lookup(c::GZIP_OUTPUT); v.is_valid())
    request.gzip_output = is_true(v);
  if (nb::object v = lookup(c::WRITE_PROVENANCE); v.is_valid())
    request.write_provenance = is_true(v);
  if (nb::object v = lookup(c::RECOVER_DROPPED_GENES); v.is_valid())
    request.recover_dropped_genes = is_true(v);
  if (nb::object v = lookup(c::GENE_FILTER); v.is_valid() && is_true(v))
    request.gene_filter = text_set(c::GENE_FILTER, v);
  if (nb::object v = lookup(c::PHENOTYPE_SOURCE); v.is_valid())
    request.phenotype_source = requested_source(v);
  for (auto [key, into] :
       {std::pair{c::SAMPLE, &request.sample}, std::pair{c::SAMPLE_LABEL, &request.sample_label}})
    if (nb::object v = lookup(key); v.is_valid() && is_true(v)) {
      if (!PyUnicode_Check(v.ptr()))
        wrong_kind(key, "a sample name (str)", v);
      *into = nb::cast<std::string>(v);
    }
  return request;
}

} // namespace orvelle::bind
