// bindings/Parsers/PharmcatReportTsvReader.cpp: the reader of PharmCAT's calls-only report.
#include "support/import_runtime.h"
#include "support/json_convert.h"
#include "support/reader_class.h"

#include "orvelle/readers/pharmcat_report_tsv_reader.h"

using orvelle::IPgxReader;
using orvelle::PharmcatReportTsvReader;
namespace bind = orvelle::bind;

NB_MODULE(PharmcatReportTsvReader, m) {
  bind::import_runtime();
  bind::import_reader_base();

  nb::class_<PharmcatReportTsvReader, IPgxReader> cls(
      m, "PharmcatReportTsvReader", "Reads PharmCAT's calls-only <base>.report.tsv.");
  bind::set_source_name(cls, PharmcatReportTsvReader::SOURCE_NAME);
  bind::def_sample_reader_init<PharmcatReportTsvReader>(
      cls, "With `sample`, only that sample's rows of a merged report are read.");
  cls.def("parse", &PharmcatReportTsvReader::parse);
  cls.def("read_versions", [](const PharmcatReportTsvReader &self) {
    return bind::to_python(self.read_versions()->root());
  });
  cls.def_prop_ro("sample_read", &PharmcatReportTsvReader::named_sample,
                  "After parse(): the sample whose rows were read from a merged report; None "
                  "for a report of one sample.");
}
