// bindings/Parsers/StellarPgxSummaryReader.cpp: the StellarPGx cohort summary reader.
#include "support/import_runtime.h"
#include "support/reader_class.h"

#include "orvelle/readers/stellarpgx_summary_reader.h"

using orvelle::IPgxReader;
using orvelle::StellarPgxSummaryReader;
namespace bind = orvelle::bind;

NB_MODULE(StellarPgxSummaryReader, m) {
  bind::import_runtime();
  bind::import_reader_base();

  nb::class_<StellarPgxSummaryReader, IPgxReader> cls(
      m, "StellarPgxSummaryReader",
      "Reads StellarPGx's cohort summary (<run>_summary.txt): one call a sample, the gene from "
      "the file's name or folder.");
  bind::set_source_name(cls, StellarPgxSummaryReader::SOURCE_NAME);
  bind::def_sample_reader_init<StellarPgxSummaryReader>(
      cls, "With `sample`, only that sample's call is read.");
  cls.def("parse", &StellarPgxSummaryReader::parse);
  cls.def("gene", &StellarPgxSummaryReader::gene,
          "The gene the file's name, else its folder, names; ValueError when none or two.");
}
