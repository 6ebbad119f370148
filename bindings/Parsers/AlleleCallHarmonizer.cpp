// bindings/Parsers/AlleleCallHarmonizer.cpp: the call normaliser. The tables read as dicts
// and can be replaced by assigning a dict (a new dict on every read, so changing a read dict
// changes nothing); unmapped_terms reads as a new set on every read and can be assigned.
// _from_tables builds one over given tables without loading the packaged ones.
#include "support/import_runtime.h"
#include "support/json_convert.h"
#include "support/nb.h"

#include "orvelle/normalize/call_normalizer.h"
#include "orvelle/normalize/suballele.h"

using orvelle::CallNormalizer;
using orvelle::GeneOutcome;
using orvelle::RawCall;
namespace bind = orvelle::bind;
namespace normalize = orvelle::normalize;

namespace {

using Opt = std::optional<std::string>;

CallNormalizer::Table table_of(nb::handle dict) {
  return std::make_shared<const orvelle::json::Document>(bind::from_python(dict));
}

nb::set unmapped_terms(const CallNormalizer &self) {
  nb::set terms;
  for (const std::string &term : self.unmapped_terms())
    terms.add(nb::cast(term));
  return terms;
}

void set_unmapped_terms(CallNormalizer &self, nb::iterable terms) {
  CallNormalizer::UnmappedTerms replacement;
  for (nb::handle term : terms)
    replacement.insert(nb::cast<std::string>(term));
  self.unmapped_terms() = std::move(replacement);
}

std::vector<std::string> split(const std::string &diplotype) {
  std::vector<std::string> pieces;
  for (std::string_view piece : CallNormalizer::split(diplotype))
    pieces.emplace_back(piece);
  return pieces;
}

} // namespace

NB_MODULE(AlleleCallHarmonizer, m) {
  bind::import_runtime();
  nb::module_::import_("OrvellePgxParser.Models.GeneOutcome");
  nb::module_::import_("OrvellePgxParser.Models.RawCall");

  // The core matches natively; the host's own compiled pattern is kept for reference.
  m.attr("_SUBALLELE") =
      nb::module_::import_("re").attr("compile")(bind::host_str(normalize::SUBALLELE_PATTERN));

  nb::class_<CallNormalizer>(m, "AlleleCallHarmonizer",
                             "Applies structural rules and term mappings to a raw call.")
      .def(nb::init<>())
      .def_static(
          "_from_tables",
          [](nb::handle rules, nb::handle phenotype_terms, nb::handle genotype_terms) {
            return CallNormalizer(table_of(rules), table_of(phenotype_terms),
                                  table_of(genotype_terms));
          },
          nb::arg("rules").none(), nb::arg("phenotype_terms").none(),
          nb::arg("genotype_terms").none(),
          "A normaliser over the given tables instead of the packaged ones (tests, fuzzing).")
      // fields
      .def_prop_rw(
          "rules", [](const CallNormalizer &self) { return bind::to_python(self.rules()); },
          [](CallNormalizer &self, nb::handle dict) { self.set_rules(table_of(dict)); },
          nb::arg().none())
      .def_prop_rw(
          "phenotype_terms",
          [](const CallNormalizer &self) { return bind::to_python(self.phenotype_terms()); },
          [](CallNormalizer &self, nb::handle dict) { self.set_phenotype_terms(table_of(dict)); },
          nb::arg().none())
      .def_prop_rw(
          "genotype_terms",
          [](const CallNormalizer &self) { return bind::to_python(self.genotype_terms()); },
          [](CallNormalizer &self, nb::handle dict) { self.set_genotype_terms(table_of(dict)); },
          nb::arg().none())
      .def_prop_rw("unmapped_terms", &unmapped_terms, &set_unmapped_terms)
      .def_prop_ro("mapping_versions",
                   [](const CallNormalizer &self) {
                     return bind::to_python(self.mapping_versions().root());
                   })
      // operations
      .def("normalize", &CallNormalizer::normalize, nb::arg("call"))
      .def("is_passthrough", &CallNormalizer::is_passthrough, nb::arg("source").none())
      .def("is_no_call", &CallNormalizer::is_no_call, nb::arg("value").none())
      .def("log_unmapped", &CallNormalizer::log_unmapped)
      // internal operations
      .def(
          "_passthrough",
          [](const CallNormalizer &self, const RawCall &call, nb::handle result) {
            self.passthrough(call, nb::cast<GeneOutcome &>(result));
            return nb::borrow(result);
          },
          nb::arg("call"), nb::arg("result"))
      .def(
          "_is_genotype_guided",
          [](const CallNormalizer &self, const std::string &gene) {
            return self.is_genotype_guided(gene);
          },
          nb::arg("gene"))
      .def(
          "_is_hla",
          [](const CallNormalizer &self, const std::string &gene) { return self.is_hla(gene); },
          nb::arg("gene"))
      .def_static("_split", &split, nb::arg("diplotype"))
      .def(
          "_strip_suballele",
          [](const CallNormalizer &self, const std::string &allele) {
            return std::string(self.strip_suballele(allele));
          },
          nb::arg("allele"))
      .def("_star_allele", &CallNormalizer::star_allele, nb::arg("call"), nb::arg("result"))
      .def("_hla_star_allele", &CallNormalizer::hla_star_allele, nb::arg("call"))
      .def("_map_phenotypes", &CallNormalizer::map_phenotypes, nb::arg("call"), nb::arg("result"),
           nb::arg("join_all") = false)
      .def(
          "_lookup_phenotype",
          [](const CallNormalizer &self, const std::string &gene,
             const std::string &phenotype) -> nb::object {
            const orvelle::json::Value *term = self.lookup_phenotype(gene, phenotype);
            return term != nullptr ? bind::to_python(*term) : nb::none();
          },
          nb::arg("gene"), nb::arg("phenotype"))
      .def("_genotype_guided_star_allele", &CallNormalizer::genotype_guided_star_allele,
           nb::arg("call"), nb::arg("result"))
      .def(
          "_genotype_guided_activity",
          [](CallNormalizer &self, const std::string &gene, GeneOutcome &result) {
            return self.genotype_guided_activity(gene, result);
          },
          nb::arg("gene"), nb::arg("result"));
}
