// bindings/Parsers/AldyReader.cpp: the Aldy .aldy reader.
#include "support/import_runtime.h"
#include "support/reader_class.h"

#include "orvelle/readers/aldy_reader.h"

using orvelle::AldyReader;
using orvelle::IPgxReader;
namespace bind = orvelle::bind;

NB_MODULE(AldyReader, m) {
  bind::import_runtime();
  bind::import_reader_base();

  nb::class_<AldyReader, IPgxReader> cls(m, "AldyReader",
                                         "Reads Aldy's <input>.<gene>.aldy: one call a gene.");
  bind::set_source_name(cls, AldyReader::SOURCE_NAME);
  bind::def_reader_init<AldyReader>(cls);
  cls.def("parse", &AldyReader::parse);
  cls.def_static(
      "is_aldy_table",
      [](const std::vector<std::string> &header) { return AldyReader::is_aldy_table(header); },
      nb::arg("header"));
}
