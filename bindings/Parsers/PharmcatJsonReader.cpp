// bindings/Parsers/PharmcatJsonReader.cpp: the PharmCAT phenotype and report readers.
#include "support/reader_class.h"

#include "orvelle/readers/pharmcat_json_reader.h"

using orvelle::IPgxReader;
using orvelle::PharmcatPhenotypeJsonParser;
using orvelle::PharmcatReportJsonParser;
namespace bind = orvelle::bind;

NB_MODULE(PharmcatJsonReader, m) {
  bind::import_runtime();
  bind::import_reader_base();

  nb::class_<PharmcatPhenotypeJsonParser, IPgxReader> phenotype(
      m, "PharmcatPhenotypeJsonParser", "Reads <sample>.pharmcat.phenotype.json.");
  bind::def_reader_init<PharmcatPhenotypeJsonParser>(phenotype);
  phenotype
      .def("parse", &PharmcatPhenotypeJsonParser::parse)
      // internal steps
      .def(
          "_extract_genes_by_source",
          [](const PharmcatPhenotypeJsonParser &self, nb::handle data) {
            orvelle::json::Document document = bind::from_python(data);
            return bind::to_python(self.extract_genes_by_source(document.root()));
          },
          nb::arg("data"))
      .def(
          "_iterate_genes",
          [](const PharmcatPhenotypeJsonParser &self, const std::string &phenotype_source,
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
          [](const PharmcatPhenotypeJsonParser &self, nb::handle gene_report,
             std::optional<std::string> phenotype_source) {
            orvelle::json::Document document = bind::from_python(gene_report);
            return self.to_raw_call(document.root(), phenotype_source);
          },
          nb::arg("gene_report"), nb::arg("phenotype_source").none())
      .def_static(
          "_haplotype_names",
          [](nb::handle diplotype) {
            return PharmcatPhenotypeJsonParser::haplotype_names(
                bind::from_python(diplotype).root());
          },
          nb::arg("diplotype"))
      .def_static(
          "_as_text",
          [](nb::handle value) {
            return PharmcatPhenotypeJsonParser::as_text(bind::from_python(value).root());
          },
          nb::arg("value").none());
  bind::set_source_name(phenotype, PharmcatPhenotypeJsonParser::SOURCE_NAME);
  phenotype.attr("_root_keys") = bind::text_tuple(PharmcatPhenotypeJsonParser::ROOT_KEYS);

  nb::class_<PharmcatReportJsonParser, PharmcatPhenotypeJsonParser> report(
      m, "PharmcatReportJsonParser", "Reads <sample>.pharmcat.report.json, with its versions.");
  bind::def_reader_init<PharmcatReportJsonParser>(report);
  report.def("read_versions", [](const PharmcatReportJsonParser &self) {
    return bind::to_python(self.read_versions()->root());
  });
  bind::set_source_name(report, PharmcatReportJsonParser::SOURCE_NAME);
}
