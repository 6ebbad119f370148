// bindings/Parsers/IPgxReader.cpp: the abstract reader base; host subclasses implement parse.
#include "support/import_runtime.h"
#include "support/json_convert.h"
#include "support/nb.h"
#include "support/path.h"

#include "orvelle/readers/ipgx_reader.h"

#include <nanobind/trampoline.h>

using orvelle::IPgxReader;

namespace {

struct HostReader : IPgxReader {
  NB_TRAMPOLINE(IPgxReader);
  std::vector<orvelle::RawCall> parse() override { NB_OVERRIDE_PURE(parse); }
};

// The host refuses to build a class whose abstract method has no implementation; the check is
// made here because the base's type is not made by the host's ABCMeta.
void refuse_abstract(nb::handle self, nb::handle base) {
  nb::handle type = nb::handle(reinterpret_cast<PyObject *>(Py_TYPE(self.ptr())));
  if (!type.attr("parse").is(base.attr("parse")))
    return;
  std::string name = nb::cast<std::string>(type.attr("__name__"));
  nb::object version = nb::module_::import_("sys").attr("version_info");
  bool modern = PyObject_RichCompareBool(version.ptr(), nb::make_tuple(3, 12).ptr(), Py_GE) == 1;
  throw nb::type_error(("Can't instantiate abstract class " + name +
                        (modern ? " without an implementation for abstract method 'parse'"
                                : " with abstract method parse"))
                           .c_str());
}

} // namespace

NB_MODULE(IPgxReader, m) {
  orvelle::bind::import_runtime();
  nb::module_::import_("OrvellePgxParser.Models.RawCall");

  nb::class_<IPgxReader, HostReader> cls(m, "IPgxReader", "The contract of every input reader.");
  cls.def(
         "__init__",
         [base = nb::handle(cls)](IPgxReader *self, nb::handle file_path) {
           // The host object that owns `self`, as a trampoline finds it.
           refuse_abstract(nb::detail::trampoline(self).base(), base);
           // Instances of a class with a trampoline are sized for the trampoline.
           new (static_cast<void *>(self)) HostReader(orvelle::bind::file_path_argument(file_path));
         },
         nb::arg("file_path").none())
      .def_prop_ro("file_path", &IPgxReader::file_path)
      .def_prop_ro(
          "unknown_genes", &IPgxReader::unknown_genes,
          "After parse(): the gene cells of the table rows skipped as naming no known gene.")
      .def("parse", &IPgxReader::parse)
      .def("_load_json",
           [](const IPgxReader &self) { return orvelle::bind::to_python(self.load_json().root()); })
      .def_static(
          "_log_skip",
          [](const std::string &gene, const std::string &reason) {
            IPgxReader::log_skip(gene, reason);
          },
          nb::arg("gene"), nb::arg("reason"));
  cls.attr("source_name") = orvelle::bind::host_str(IPgxReader::SOURCE_NAME);

  // Register with the host's abstract base classes, so issubclass(IPgxReader, abc.ABC) holds.
  nb::module_::import_("abc").attr("ABC").attr("register")(cls);
}
