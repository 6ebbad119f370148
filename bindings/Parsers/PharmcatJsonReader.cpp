// bindings/Parsers/PharmcatJsonReader.cpp: the PharmCAT phenotype and report readers.
#include "support/import_runtime.h"
#include "support/json_convert.h"
#include "support/reader_class.h"

#include "orvelle/readers/pharmcat_json_reader.h"

using orvelle::IPgxReader;
using orvelle::PharmcatPhenotypeJsonReader;
using orvelle::PharmcatReportJsonReader;
namespace bind = orvelle::bind;

NB_MODULE(PharmcatJsonReader, m) {
  bind::import_runtime();
  bind::import_reader_base();

  nb::class_<PharmcatPhenotypeJsonReader, IPgxReader> phenotype(
      m, "PharmcatPhenotypeJsonParser", "Reads <sample>.pharmcat.phenotype.json.");
  bind::def_reader_init<PharmcatPhenotypeJsonReader>(phenotype);
  phenotype
      .def("parse", &PharmcatPhenotypeJsonReader::parse)
      // internal steps
      .def(
          "_extract_genes_by_source",
          [](const PharmcatPhenotypeJsonReader &self, nb::handle data) {
            orvelle::json::Document document = bind::from_python(data);
            return bind::to_python(self.extract_genes_by_source(document.root()));
          },
          nb::arg("data"))
      .def(
          "_iterate_genes",
          [](const PharmcatPhenotypeJsonReader &self, const std::string &phenotype_source,
             nb::handle genes) {
            orvelle::json::Document document = bind::from_python(genes);
            nb::list reports;
            for (const orvelle::json::Value *report :
                 self.iterate_genes(phenotype_source, document.root()))
              reports.append(bind::to_python(*report));
            return reports;
          },
          nb::arg("phenotype_source"), nb::arg("genes"))
      .def(
          "_to_raw_call",
          [](const PharmcatPhenotypeJsonReader &self, nb::handle gene_report,
             std::optional<std::string> phenotype_source) {
            orvelle::json::Document document = bind::from_python(gene_report);
            return self.to_raw_call(document.root(), phenotype_source);
          },
          nb::arg("gene_report"), nb::arg("phenotype_source").none())
      .def_static(
          "_haplotype_names",
          [](nb::handle diplotype) {
            return PharmcatPhenotypeJsonReader::haplotype_names(
                bind::from_python(diplotype).root());
          },
          nb::arg("diplotype"))
      .def_static(
          "_as_text",
          [](nb::handle value) {
            return PharmcatPhenotypeJsonReader::as_text(bind::from_python(value).root());
          },
          nb::arg("value").none());
  bind::set_source_name(phenotype, PharmcatPhenotypeJsonReader::SOURCE_NAME);
  phenotype.attr("_root_keys") = bind::text_tuple(PharmcatPhenotypeJsonReader::ROOT_KEYS);

  nb::class_<PharmcatReportJsonReader, PharmcatPhenotypeJsonReader> report(
      m, "PharmcatReportJsonParser", "Reads <sample>.pharmcat.report.json, with its versions.");
  bind::def_reader_init<PharmcatReportJsonReader>(report);
  report.def("read_versions", [](const PharmcatReportJsonReader &self) {
    return bind::to_python(self.read_versions()->root());
  });
  bind::set_source_name(report, PharmcatReportJsonReader::SOURCE_NAME);
}
