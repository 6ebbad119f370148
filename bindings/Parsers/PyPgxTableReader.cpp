// bindings/Parsers/PyPgxTableReader.cpp: the PyPGx per-gene sample table reader.
#include "support/csv_rows.h"
#include "support/import_runtime.h"
#include "support/reader_class.h"

#include "orvelle/readers/pypgx_table_reader.h"

using orvelle::IPgxReader;
using orvelle::PyPgxTableReader;
namespace bind = orvelle::bind;

NB_MODULE(PyPgxTableReader, m) {
  bind::import_runtime();
  bind::import_reader_base();

  nb::class_<PyPgxTableReader, IPgxReader> cls(
      m, "PyPgxTableReader", "Reads a PyPGx sample table (data.tsv, one gene per file).");
  bind::set_source_name(cls, PyPgxTableReader::SOURCE_NAME);
  cls.attr("GENOTYPE_COLUMN") = bind::host_str(PyPgxTableReader::GENOTYPE_COLUMN);
  cls.attr("PHENOTYPE_COLUMN") = bind::host_str(PyPgxTableReader::PHENOTYPE_COLUMN);
  cls.attr("HAPLOTYPE_COLUMNS") = bind::text_tuple(PyPgxTableReader::HAPLOTYPE_COLUMNS);
  cls.attr("GENE_COLUMNS") = bind::text_tuple(PyPgxTableReader::GENE_COLUMNS);

  bind::def_sample_reader_init<PyPgxTableReader>(
      cls, "With `sample`, only that sample's rows of a table of several samples are read.");
  cls.def_prop_ro(
      "sample", [](const PyPgxTableReader &self) { return self.sample(); },
      "The sample whose rows are read; None: every row.");
  bind::def_streaming_parse<PyPgxTableReader>(cls);
  cls.def_static(
         "is_pypgx_table",
         [](const std::vector<std::string> &header) {
           return PyPgxTableReader::is_pypgx_table(header);
         },
         nb::arg("header"))
      // internal steps
      .def("_read_rows",
           [](const PyPgxTableReader &self) { return bind::to_python(self.read_rows()); })
      .def("_gene_from_file_name", &PyPgxTableReader::gene_from_file_name)
      .def_static(
          "_value",
          [](nb::handle row, const std::vector<std::string> &columns) {
            const std::vector<std::string_view> names(columns.begin(), columns.end());
            return PyPgxTableReader::value(bind::dict_row_from_python(row), names);
          },
          nb::arg("row"), nb::arg("columns"));
}
