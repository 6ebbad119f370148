// bindings/Models/GeneOutcome.cpp: one gene's result; public, mutable fields.
#include "support/gene_result.h"
#include "support/import_runtime.h"
#include "support/nb.h"

#include "orvelle/records/gene_outcome.h"
#include "orvelle/text/host_text.h"

using orvelle::GeneOutcome;

namespace {

std::string repr(const GeneOutcome &self) {
  auto r = orvelle::text::quoted_or_none;
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
      .def("to_result", &orvelle::bind::result_object)
      .def("to_provenance", &orvelle::bind::provenance_object)
      .def("__repr__", &repr);
}
