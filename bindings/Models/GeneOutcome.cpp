// bindings/Models/GeneOutcome.cpp: one gene's result; public, mutable fields.
#include "support/nb.h"

#include "orvelle/constants.h"
#include "orvelle/records/gene_outcome.h"

using orvelle::GeneOutcome;
namespace c = orvelle::constants;

namespace {

nb::str key(std::string_view name) { return nb::str(name.data(), name.size()); }

nb::dict to_result(const GeneOutcome &self) {
  nb::dict result;
  result[key(c::ID)] = self.gene;
  result[key(c::NAME)] = self.gene;
  result[key(c::STAR_ALLELE)] = self.star_allele;
  result[key(c::ACTIVITY)] = self.activity;
  return result;
}

nb::dict to_provenance(const GeneOutcome &self) {
  nb::dict provenance;
  provenance[key(c::ID)] = self.gene;
  provenance[key(c::SOURCE)] = self.source;
  provenance[key(c::PROVENANCE_PHENOTYPE_SOURCE)] = self.phenotype_source;
  provenance[key(c::WARNINGS)] = self.warnings;
  return provenance;
}

std::string repr(const GeneOutcome &self) {
  auto r = [](auto &&value) { return nb::cast<std::string>(nb::repr(nb::cast(value))); };
  return "GeneOutcome(gene=" + r(self.gene) + ", star_allele=" + r(self.star_allele) +
         ", activity=" + r(self.activity) + ", source=" + r(self.source) + ")";
}

} // namespace

NB_MODULE(GeneOutcome, m) {
  orvelle::bind::import_runtime();
  using Opt = std::optional<std::string>;

  nb::class_<GeneOutcome>(m, "GeneOutcome", "One gene's result in the platform's terms.")
      .def(nb::init<Opt, Opt, Opt, Opt, Opt>(), nb::arg("gene").none(),
           nb::arg("star_allele").none() = nb::none(), nb::arg("activity").none() = nb::none(),
           nb::arg("source").none() = nb::none(), nb::arg("phenotype_source").none() = nb::none())
      // fields
      .def_rw("gene", &GeneOutcome::gene)
      .def_rw("star_allele", &GeneOutcome::star_allele, nb::arg().none())
      .def_rw("activity", &GeneOutcome::activity, nb::arg().none())
      .def_rw("source", &GeneOutcome::source, nb::arg().none())
      .def_rw("phenotype_source", &GeneOutcome::phenotype_source, nb::arg().none())
      .def_rw("warnings", &GeneOutcome::warnings)
      // operations
      .def(
          "add_warning",
          [](GeneOutcome &self, const Opt &warning) {
            if (warning)
              self.add_warning(*warning);
          },
          nb::arg("warning").none())
      .def("to_result", &to_result)
      .def("to_provenance", &to_provenance)
      .def("__repr__", &repr);
}
