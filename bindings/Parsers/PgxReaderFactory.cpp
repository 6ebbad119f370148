// bindings/Parsers/PgxReaderFactory.cpp: the reader factory; hands out the concrete reader
// classes of the other reader modules.
#include "support/import_runtime.h"
#include "support/nb.h"
#include "support/path.h"

#include "orvelle/readers/pgx_reader_factory.h"

#include <nanobind/stl/unique_ptr.h>

using orvelle::PgxReaderFactory;
using orvelle::bind::file_path_argument;

NB_MODULE(PgxReaderFactory, m) {
  orvelle::bind::import_runtime();
  // The classes of the readers it returns: the package imports every reader module.
  nb::module_::import_("OrvellePgxParser.Parsers");

  nb::class_<PgxReaderFactory>(m, "PgxReaderFactory",
                               "Dispatch on file name first, then on content.")
      .def_static(
          "get_parser",
          [](nb::handle file_path) {
            return PgxReaderFactory::reader_for(file_path_argument(file_path));
          },
          nb::arg("file_path"))
      .def_static(
          "_is_pypgx_tsv",
          [](nb::handle file_path) {
            return PgxReaderFactory::is_pypgx_tsv(file_path_argument(file_path));
          },
          nb::arg("file_path"))
      .def_static(
          "_sniff",
          [](nb::handle file_path) {
            return PgxReaderFactory::sniff(file_path_argument(file_path));
          },
          nb::arg("file_path"));
}
