// bindings/Parsers/DiplotypeSheetReader.cpp: the user Gene/Diplotype table reader.
#include "support/csv_rows.h"
#include "support/import_runtime.h"
#include "support/json_convert.h"
#include "support/reader_class.h"

#include "orvelle/readers/diplotype_sheet_reader.h"

using orvelle::DiplotypeSheetReader;
using orvelle::IPgxReader;
namespace bind = orvelle::bind;

namespace {

// The row's columns as a JSON object: text names only (None names the overflow cells of a
// long CSV line, which no alias matches; other names are taken as their str()).
orvelle::json::Document named_columns(nb::handle row) {
  nb::dict named;
  for (auto [key, value] : nb::cast<nb::dict>(row))
    if (!key.is_none())
      named[nb::str(key)] = value;
  return bind::from_python(named);
}

} // namespace

NB_MODULE(DiplotypeSheetReader, m) {
  bind::import_runtime();
  bind::import_reader_base();

  nb::class_<DiplotypeSheetReader, IPgxReader> cls(m, "DiplotypeSheetReader",
                                                   "Reads a user-supplied Gene/Diplotype table.");
  bind::set_source_name(cls, DiplotypeSheetReader::SOURCE_NAME);
  cls.attr("GENE_ALIASES") = bind::text_tuple(DiplotypeSheetReader::GENE_ALIASES);
  cls.attr("DIPLOTYPE_ALIASES") = bind::text_tuple(DiplotypeSheetReader::DIPLOTYPE_ALIASES);
  cls.attr("PHENOTYPE_ALIASES") = bind::text_tuple(DiplotypeSheetReader::PHENOTYPE_ALIASES);

  bind::def_reader_init<DiplotypeSheetReader>(cls);
  bind::def_streaming_parse<DiplotypeSheetReader>(cls);
  // internal steps
  cls.def("_read_csv",
          [](const DiplotypeSheetReader &self) { return bind::to_python(self.read_csv()); })
      .def(
          "_read_json",
          [](const DiplotypeSheetReader &self) { return bind::to_python(self.read_json().root()); })
      .def_static(
          "_flatten",
          [](nb::handle mapping) {
            orvelle::json::Document document = bind::from_python(mapping);
            return bind::to_python(DiplotypeSheetReader::flatten(document.root()).root());
          },
          nb::arg("mapping"))
      .def_static(
          "_pick",
          [](nb::handle row, const std::vector<std::string> &aliases) {
            const std::vector<std::string_view> names(aliases.begin(), aliases.end());
            orvelle::json::Document columns = named_columns(row);
            return DiplotypeSheetReader::pick(columns.root().members(), names);
          },
          nb::arg("row"), nb::arg("aliases"));
}
