// bindings/Parsers/PgxReaderFactory.cpp: the reader factory; hands out the concrete reader
// classes of the other reader modules.
#include "support/nb.h"

#include "orvelle/readers/pgx_reader_factory.h"

#include <nanobind/stl/unique_ptr.h>

using orvelle::PgxReaderFactory;

NB_MODULE(PgxReaderFactory, m) {
  orvelle::bind::import_runtime();
  // The classes of the readers it returns.
  for (const char *reader : {"PharmcatJsonReader", "StarPhaseJsonReader", "StarPhaseTsvReader",
                             "PyPgxTableReader", "DiplotypeSheetReader"})
    nb::module_::import_((std::string("OrvellePgxParser.Parsers.") + reader).c_str());

  nb::class_<PgxReaderFactory>(m, "PgxReaderFactory",
                               "Dispatch on file name first, then on content.")
      .def_static("get_parser", &PgxReaderFactory::get_parser, nb::arg("file_path"))
      .def_static("_is_pypgx_tsv", &PgxReaderFactory::is_pypgx_tsv, nb::arg("file_path"))
      .def_static("_sniff", &PgxReaderFactory::sniff, nb::arg("file_path"));
}
