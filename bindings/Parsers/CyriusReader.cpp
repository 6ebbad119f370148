// bindings/Parsers/CyriusReader.cpp: the Cyrius TSV and JSON reader.
#include "support/import_runtime.h"
#include "support/reader_class.h"

#include "orvelle/readers/cyrius_reader.h"

using orvelle::CyriusReader;
using orvelle::IPgxReader;
namespace bind = orvelle::bind;

NB_MODULE(CyriusReader, m) {
  bind::import_runtime();
  bind::import_reader_base();

  nb::class_<CyriusReader, IPgxReader> cls(
      m, "CyriusReader",
      "Reads Cyrius's <prefix>.tsv or <prefix>.json: CYP2D6, one call a sample.");
  bind::set_source_name(cls, CyriusReader::SOURCE_NAME);
  bind::def_sample_reader_init<CyriusReader>(cls,
                                             "With `sample`, only that sample's call is read.");
  cls.def("parse", &CyriusReader::parse);
  cls.def_static(
      "is_cyrius_table",
      [](const std::vector<std::string> &header) { return CyriusReader::is_cyrius_table(header); },
      nb::arg("header"));
}
