// bindings/Parsers/StellarPgxAllelesReader.cpp: the StellarPGx .alleles report reader.
#include "support/import_runtime.h"
#include "support/reader_class.h"

#include "orvelle/readers/stellarpgx_alleles_reader.h"

using orvelle::IPgxReader;
using orvelle::StellarPgxAllelesReader;
namespace bind = orvelle::bind;

NB_MODULE(StellarPgxAllelesReader, m) {
  bind::import_runtime();
  bind::import_reader_base();

  nb::class_<StellarPgxAllelesReader, IPgxReader> cls(
      m, "StellarPgxAllelesReader", "Reads StellarPGx's <sample>_<gene>.alleles: one call.");
  bind::set_source_name(cls, StellarPgxAllelesReader::SOURCE_NAME);
  bind::def_reader_init<StellarPgxAllelesReader>(cls);
  cls.def("parse", &StellarPgxAllelesReader::parse);
}
